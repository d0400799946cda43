#include "GraphicsHooks.h"

#include "DebugDraw.h"
#include "Graphics.h"
#include "MaterialEditor.h"
#include "MaterialXml.h"
#include "MetaHooks.h"
#include "PlatformHooks.h"
#include "TextureManager.h"
#include "WindowAccess.h"
#include "WindowProvider.h"

#include <SDL.h>

namespace
{
// Passes the debug shapes other subsystems queue on to the renderer's debug queues.
class GraphicsDebugDraw : public DebugDraw
{
  public:
    void Line(const Vector3& p, const Vector3& q, const Vector4& colour) override
    {
        if (gGraphics != nullptr)
            gGraphics->DrawDebugLine(Vector2(p.x, p.y), Vector2(q.x, q.y), colour);
    }
    void Point(const Vector3& p, float sizePx, const Vector4& colour) override
    {
        if (gGraphics != nullptr)
            gGraphics->DrawDebugPoint(Vector2(p.x, p.y), sizePx, colour);
    }
};

GraphicsDebugDraw gDebugDrawSink;

WindowRecord* Record(std::size_t index)
{
    if (gWindowProvider == nullptr || index >= gWindowProvider->windows.size())
        return nullptr;
    return gWindowProvider->windows[index].get();
}
} // namespace

namespace GraphicsHooks
{
void ConnectWindowProvider()
{
    if (gWindowProvider == nullptr)
        return;
    WindowAccess& access = GetWindowAccess();
    access.count = []
    { return gWindowProvider != nullptr ? gWindowProvider->windows.size() : std::size_t{0}; };
    access.context = [](std::size_t index) { return WindowProvider::GetGLContext(static_cast<int>(index)); };
    access.makeCurrent = [](std::size_t index) { WindowProvider::MakeCurrent(static_cast<int>(index)); };
    access.size = [](std::size_t index, int& width, int& height)
    {
        width = WindowProvider::GetWindowWidth(static_cast<int>(index));
        height = WindowProvider::GetWindowHeight(static_cast<int>(index));
    };
    access.visible = [](std::size_t index)
    { return WindowProvider::IsWindowVisible(static_cast<int>(index)); };
    access.swap = [](std::size_t index)
    {
        if (WindowRecord* record = Record(index); record != nullptr && record->window != nullptr)
            SDL_GL_SwapWindow(record->window);
    };
}

void Install()
{
    PlatformHooks::importTexture = [](const std::string& name, const FilePathParts& parts)
    { TextureManager::ImportTexture(name, JoinPath(parts)); };
    MetaHooks::saveMaterial = [](LevelOArchive& archive, const Material& material)
    { SaveMaterialBlock(archive, material); };
    MetaHooks::loadMaterial = [](LevelIArchive& archive, Material& material)
    { material = LoadMaterialBlock(archive); };
    MetaHooks::editMaterial = [](Material& material) { return EditMaterial(material); };
    MetaHooks::editTexture = [](const std::string& label, std::string& textureName)
    { return EditTextureChoice(label, textureName); };
    SetDebugDraw(&gDebugDrawSink);
}

void Remove()
{
    PlatformHooks::importTexture = nullptr;
    MetaHooks::saveMaterial = nullptr;
    MetaHooks::loadMaterial = nullptr;
    MetaHooks::editMaterial = nullptr;
    MetaHooks::editTexture = nullptr;
    if (&GetDebugDraw() == &gDebugDrawSink)
        SetDebugDraw(nullptr);
}
} // namespace GraphicsHooks
