#include "GameBoot.h"

#include "GameStartup.h"
#include "GameStateManager.h"
#include "OffscreenGL.h"
#include "SystemManager.h"
#include "SystemSlots.h"
#include "WindowAccess.h"
#include "WindowProvider.h"
#include "WindowRecord.h"
#include "audio/AudioSystem.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <exception>
#include <filesystem>

namespace
{
bool drawing = false;

// The renderer draws only the windows it sees as visible: it sees them only during a DrawnStep.
void DrawOnlyWhenAsked()
{
    WindowAccess& access = GetWindowAccess();
    access.visible = [wantedVisible = access.visible](std::size_t window)
    { return drawing && wantedVisible(window); };
}
} // namespace

GameBoot::~GameBoot()
{
    Stop();
}

bool GameBoot::Start(std::string& reason)
{
    PrepareOffscreenGL();
    gameTime = 0.0;
    updates = 0;
    audio::SetNextClock([this] { return gameTime; });
    try
    {
        engine = StartGame(MakeGameSystemFactories());
    }
    catch (const std::exception& error)
    {
        reason = error.what();
        engine.reset();
        return false;
    }
    engine->SetClock([this] { return gameTime; });
    DrawOnlyWhenAsked();
    if (WindowRecord* window = WindowProvider::GetMainWindow();
        window == nullptr || window->context == nullptr)
    {
        reason = "no main window";
        Stop();
        return false;
    }
    return true;
}

void GameBoot::Step(float dt)
{
    gameTime += dt;
    engine->Update(dt);
    PhysicsUpdate(dt);
    ++updates;
    latestDrawn = drawing;
    if (WindowRecord* window = WindowProvider::GetMainWindow();
        window != nullptr && window->window != nullptr)
        SDL_SetWindowSize(window->window, kWidth, kHeight);
}

void GameBoot::DrawnStep(float dt)
{
    drawing = true;
    Step(dt);
    drawing = false;
}

void GameBoot::Stop()
{
    if (!engine)
        return;
    ShutDownGame(*engine);
    engine.reset();
    audio::ResetNextOutput();
}

std::int32_t GameBoot::CurrentState() const
{
    return gGameStateManager != nullptr ? gGameStateManager->GetCurrentIndex() : -1;
}

std::vector<std::uint8_t> GameBoot::Screenshot(const std::string& name) const
{
    if (!latestDrawn)
        ADD_FAILURE() << "screenshot " << name << " of an update that drew nothing";
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(kWidth) * kHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    std::vector<std::uint8_t> pixels(raw.size());
    const std::size_t row = static_cast<std::size_t>(kWidth) * 4;
    for (int y = 0; y < kHeight; ++y)
        std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>((kHeight - 1 - y) * row), row,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y * row));

    std::error_code error;
    std::filesystem::create_directories("screenshots", error);
    if (SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            pixels.data(), kWidth, kHeight, 32, static_cast<int>(row), SDL_PIXELFORMAT_RGBA32))
    {
        IMG_SavePNG(surface, ("screenshots/" + name + ".png").c_str());
        SDL_FreeSurface(surface);
    }
    return pixels;
}

const std::uint8_t* PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y)
{
    return pixels.data() + (static_cast<std::size_t>(y) * GameBoot::kWidth + x) * 4;
}

void PushKey(bool down, std::int32_t key)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    if (WindowRecord* window = WindowProvider::GetMainWindow())
        event.key.windowID = window->windowId;
    SDL_PushEvent(&event);
}

void PushWindowClose()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    if (WindowRecord* window = WindowProvider::GetMainWindow())
        event.window.windowID = window->windowId;
    SDL_PushEvent(&event);
}
