#include "DrawingFixture.h"

#include "BackgroundRenderer.h"
#include "Light.h"
#include "ParticleComponent.h"
#include "PostProcessingEffect.h"
#include "Renderer.h"
#include "TextRenderer.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <typeinfo>

namespace
{
using DrawingEditors = DrawingTest;
} // namespace

TEST_F(DrawingEditors, EveryEditorDrawsInAHeadlessFrame)
{
    // A context of the test's own; the window's is put back afterwards.
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGuiContext* context = ImGui::CreateContext();
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(640.0f, 480.0f);
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    Light light;
    light.SetDataVersion(Light::kClassVersion);
    Renderer renderer;
    renderer.SetDataVersion(Renderer::kClassVersion);
    ParticleComponent particles;
    particles.SetDataVersion(ParticleComponent::kClassVersion);
    TextRenderer text;
    text.SetDataVersion(TextRenderer::kClassVersion);

    ImGui::NewFrame();
    ImGui::Begin("Editors");
    light.DrawEditor();
    renderer.DrawEditor();
    particles.DrawEditor();
    text.DrawEditor();
    // Every effect of the chain shows at least one widget.
    for (auto& effect : graphics->GetEffects())
    {
        PostProcessingEffect& editing = *effect;
        const float before = ImGui::GetCursorPosY();
        editing.DrawEditor();
        EXPECT_GT(ImGui::GetCursorPosY(), before) << typeid(editing).name();
    }
    ImGui::End();
    ImGui::EndFrame();
    // Nothing was clicked, so nothing changed.
    EXPECT_EQ(light.size, Vector2(250.0f, 250.0f));
    EXPECT_EQ(text.GetText(), "Your text");
    EXPECT_EQ(particles.GetEmitter().Settings().emissionRate, 50.0f);
    ImGui::DestroyContext(context);
    ImGui::SetCurrentContext(previous);
}
