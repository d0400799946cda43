#include "PlayHarness.h"

#include "CCSM.h"
#include "CCSMFactory.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStartup.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "GameStats.h"
#include "Graphics.h"
#include "InputRecording.h"
#include "InputSystem.h"
#include "LevelFile.h"
#include "MenuHooks.h"
#include "OffscreenGL.h"
#include "Random.h"
#include "RigidBody.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "SystemSlots.h"
#include "Transform.h"
#include "TypeIds.h"
#include "VirtualController.h"
#include "WindowAccess.h"
#include "WindowProvider.h"
#include "WindowRecord.h"
#include "audio/AudioSystem.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <limits>

namespace
{
bool drawing = false;
double gameTime = 0.0;

// The renderer draws only the windows it sees as visible: it sees them only during a Shot.
void DrawOnlyWhenAsked()
{
    WindowAccess& access = GetWindowAccess();
    access.visible = [wantedVisible = access.visible](std::size_t window) {
        return drawing && wantedVisible(window);
    };
}

void PushKeyEvent(bool down, std::int32_t key)
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

void KeepWindowSize()
{
    if (WindowRecord* window = WindowProvider::GetMainWindow();
        window != nullptr && window->window != nullptr)
        SDL_SetWindowSize(window->window, PlayHarness::kWidth, PlayHarness::kHeight);
}

// The camera takes the window's size while presenting, for the frames after: one empty frame presented
// at start sizes it to the harness's window, which every step keeps.
void SizeCamera()
{
    if (gGraphics == nullptr)
        return;
    KeepWindowSize();
    const bool wasVisible = WindowProvider::IsWindowVisible(0);
    WindowProvider::SetWindowVisible(0, true);
    drawing = true;
    gGraphics->Update(0.0f);
    drawing = false;
    WindowProvider::SetWindowVisible(0, wasVisible);
}

SDL_GameController* SlotController(int slot)
{
    if (gInputSystem == nullptr || slot < 0 || slot > 1)
        return nullptr;
    return gInputSystem->controllers[slot].controller;
}
} // namespace

EventSpy::EventSpy()
{
    Listen();
}

EventSpy::~EventSpy() = default;

void EventSpy::Listen()
{
    for (std::int32_t type = 1; type <= static_cast<std::int32_t>(evModuleLoaded); ++type)
        Subscribe(type);
}

void EventSpy::OnNotify(Event* event)
{
    if (event == nullptr)
        return;
    types.push_back(event->EventType);
    if (const auto* bounce = dynamic_cast<const BallBounceEvent*>(event))
        bounces.push_back(bounce->velocity);
}

int EventSpy::Count(std::uint32_t type) const
{
    int count = 0;
    for (std::uint32_t seen : types)
        count += seen == type ? 1 : 0;
    return count;
}

void EventSpy::Clear()
{
    types.clear();
    bounces.clear();
}

PlayHarness::~PlayHarness()
{
    Stop();
}

bool PlayHarness::Start(std::string& reason)
{
    return Start(reason, Options{});
}

bool PlayHarness::Start(std::string& reason, Options options)
{
    PrepareOffscreenGL();
    // The offscreen window never has the focus, and SDL drops controller input of unfocused programs.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    gameTime = 0.0;
    passes = 0;
    updates = 0;
    manualAudio = options.manualAudio;
    audio::SetNextClock([] { return gameTime; });
    if (manualAudio)
        audio::SetNextOutput(audio::OutputKind::Manual);
    try
    {
        const bool ownFactories = std::any_of(options.factories.begin(), options.factories.end(),
                                              [](const SystemFactory& factory) { return bool(factory); });
        engine = StartGame(ownFactories ? std::move(options.factories) : MakeGameSystemFactories());
    }
    catch (const std::exception& error)
    {
        reason = error.what();
        engine.reset();
        return false;
    }
    engine->SetClock([] { return gameTime; });
    DrawOnlyWhenAsked();
    if (WindowRecord* window = WindowProvider::GetMainWindow();
        window == nullptr || window->context == nullptr)
    {
        reason = "no main window";
        Stop();
        return false;
    }
    SizeCamera();
    if (options.holdScreens)
        RequestGameState(-1);
    spy = std::make_unique<EventSpy>();
    return true;
}

void PlayHarness::Stop()
{
    if (!engine)
        return;
    UnplugControllers();
    spy.reset();
    ShutDownGame(*engine);
    engine.reset();
    audio::ResetNextOutput();
    SetSoundPlayLogging(false);
    ClearSoundPlayLog();
}

void PlayHarness::ResetWorld(std::uint64_t seed)
{
    // No key stays held or queued from the test before.
    SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);
    if (gInputSystem != nullptr)
    {
        gInputSystem->keysDown.clear();
        gInputSystem->ClearFrameLists();
    }
    MenuHooks::CloseAllMenus();
    if (FrameRateManager::IsPaused())
        FrameRateManager::TogglePause();
    SetRecording(false);
    if (gGameObjectFactory != nullptr)
    {
        gGameObjectFactory->QueueDestroyAll();
        gGameObjectFactory->DestroyQueuedObjects();
        gGameObjectFactory->DestroyAllPrefabs();
    }
    if (gCCSMFactory != nullptr)
        gCCSMFactory->ReplaceTables({});
    SetLevelModuleNames({});
    FrameRateManager::Reset();
    SeedRandom(seed);
    CurrentBounceSound = nullptr;
    spy->Listen();
    spy->Clear();
    ClearSoundPlayLog();
    audio.clear();
}

void PlayHarness::Step(int n)
{
    for (int i = 0; i < n; ++i)
    {
        ++passes;
        gameTime = static_cast<double>(passes) * kStep;
        engine->RunFramePass();
        ++updates;
        if (manualAudio && gSoundSystem != nullptr && gSoundSystem->GetAudioSystem() != nullptr)
        {
            const std::size_t start = audio.size();
            audio.resize(start + 2 * kFramesPerStep);
            gSoundSystem->GetAudioSystem()->Render(audio.data() + start, kFramesPerStep);
        }
        KeepWindowSize();
    }
}

std::vector<std::uint8_t> PlayHarness::Shot(const std::string& name)
{
    KeepWindowSize();
    WindowProvider::SetWindowVisible(0, true);
    drawing = true;
    Step();
    drawing = false;
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

void PlayHarness::Press(std::int32_t key)
{
    PushKeyEvent(true, key);
}

void PlayHarness::Release(std::int32_t key)
{
    PushKeyEvent(false, key);
}

void PlayHarness::PushWindowClose()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    if (WindowRecord* window = WindowProvider::GetMainWindow())
        event.window.windowID = window->windowId;
    SDL_PushEvent(&event);
}

void PlayHarness::PlugController()
{
    const int deviceIndex = AttachVirtualController();
    if (deviceIndex >= 0)
        virtualDevices.push_back(deviceIndex);
}

void PlayHarness::UnplugControllers()
{
    while (SDL_NumJoysticks() > 0 && !virtualDevices.empty())
    {
        SDL_JoystickDetachVirtual(0);
        virtualDevices.pop_back();
    }
}

void PlayHarness::SetRightStick(int slot, std::int16_t x, std::int16_t y)
{
    SDL_GameController* controller = SlotController(slot);
    SetVirtualAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX, x);
    SetVirtualAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY, y);
}

void PlayHarness::SetButton(int slot, int button, bool down)
{
    SetVirtualButton(SlotController(slot), static_cast<SDL_GameControllerButton>(button), down);
}

std::int32_t PlayHarness::CurrentState() const
{
    return gGameStateManager != nullptr ? gGameStateManager->GetCurrentIndex() : -1;
}

const std::uint8_t* PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y)
{
    return pixels.data() + (static_cast<std::size_t>(y) * PlayHarness::kWidth + x) * 4;
}

GameObject* Named(const std::string& name)
{
    return gGameObjectFactory != nullptr ? gGameObjectFactory->GetObjectByName(name) : nullptr;
}

Vector3 PositionOf(const std::string& name)
{
    GameObject* object = Named(name);
    const auto* transform =
        object != nullptr ? object->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
    return transform != nullptr ? transform->GetTranslation() : Vector3{NAN, NAN, NAN};
}

Vector3 VelocityOf(const std::string& name)
{
    const RigidBody* body = GetRigidBody(Named(name));
    return body != nullptr ? body->GetVelocity() : Vector3{NAN, NAN, NAN};
}

float StatOf(const std::string& name, const std::string& stat)
{
    GameObject* object = Named(name);
    const auto* stats =
        object != nullptr ? object->GetComponentAs<GameStats>(ComponentTypeId::kGameStats) : nullptr;
    if (stats == nullptr || !stats->HasStat(stat))
        return std::numeric_limits<float>::quiet_NaN();
    return stats->GetStats().at(stat);
}

std::vector<std::uint32_t> StackOf(const std::string& name)
{
    GameObject* object = Named(name);
    const auto* machine = object != nullptr ? object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM) : nullptr;
    if (machine == nullptr)
        return {};
    return {machine->GetStateStack().begin(), machine->GetStateStack().end()};
}

std::unique_ptr<PlayHarness> PlayTest::harness;
std::string PlayTest::startFailure;

void PlayTest::SetUpTestSuite()
{
    harness = std::make_unique<PlayHarness>();
    startFailure.clear();
    if (!harness->Start(startFailure))
        harness.reset();
}

void PlayTest::TearDownTestSuite()
{
    harness.reset();
}

void PlayTest::SetUp()
{
    if (!harness)
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(startFailure);
    harness->ResetWorld();
}
