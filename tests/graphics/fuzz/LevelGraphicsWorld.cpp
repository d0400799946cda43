#include "LevelGraphicsWorld.h"

#include "BackgroundRenderer.h"
#include "Graphics.h"
#include "GraphicsPrototypes.h"
#include "HeadlessTextures.h"
#include "TextureManager.h"

#include <glad/gl.h>

#include <cstdint>

namespace
{
// The texture registry outlives the worlds, as it does in the game.
void RegisterTexturesOnce()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    InstallHeadlessTextures();
    TextureManager::Init();
    const std::uint8_t pixel[4] = {255, 255, 255, 255};
    for (const char* name : LevelGraphicsWorld::kTextureNames)
        TextureManager::CreateTexture(name, 1, 1, pixel, GL_RGBA);
}
} // namespace

LevelGraphicsWorld::LevelGraphicsWorld() : world(std::make_unique<FuzzWorld>())
{
    StartGraphics();
}

LevelGraphicsWorld::~LevelGraphicsWorld()
{
    world.reset();
    StopGraphics();
}

void LevelGraphicsWorld::Restart()
{
    world->Restart();
    StopGraphics();
    StartGraphics();
}

void LevelGraphicsWorld::StartGraphics()
{
    RegisterTexturesOnce();
    graphics = std::make_unique<Graphics>();
    graphics->Init();
    RegisterGraphicsPrototypes();
    // A renderer without a window installs no background hooks of its own.
    InstallBackgroundLevelHooks();
}

void LevelGraphicsWorld::StopGraphics()
{
    RemoveBackgroundLevelHooks();
    graphics->Exit();
    graphics.reset();
}
