#include "WindowProvider.h"
#include "InputTestSupport.h"
#include "OffscreenGL.h"
#include "StickyKeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace
{
using namespace input_test;
using ::testing::ElementsAre;

constexpr std::uint32_t kUserStickyKeys = 0x1F;

// A window provider of its own per test, started under the offscreen driver, with an input system.
class WindowTest : public InputTest
{
  protected:
    void SetUp() override
    {
        InputTest::SetUp();
        PrepareOffscreenGL();
        StickyKeys::ResetStandIn(kUserStickyKeys);
        window = std::make_unique<WindowProvider>();
        try
        {
            window->Init();
        }
        catch (const std::exception& error)
        {
            window.reset();
            GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(error.what());
        }
    }
    void TearDown() override
    {
        if (window)
            window->Exit();
        window.reset();
        InputTest::TearDown();
    }

    void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    void PushKey(bool down, SDL_Keycode key, bool repeat = false)
    {
        SDL_Event event{};
        event.key = KeyEvent(down, key, repeat);
        event.key.windowID = MainWindowId();
        Push(event);
    }

    void PushWindowEvent(SDL_WindowEventID id)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = id;
        event.window.windowID = MainWindowId();
        Push(event);
    }

    std::uint32_t MainWindowId() const { return WindowProvider::GetMainWindow()->windowId; }
    bool ShownBySystem() const
    {
        return (SDL_GetWindowFlags(WindowProvider::GetMainWindow()->window) & SDL_WINDOW_SHOWN) != 0;
    }

    std::unique_ptr<WindowProvider> window;
};
using WindowPump = WindowTest;
using WindowVisibility = WindowTest;
using WindowStickyKeys = WindowTest;
using DroppedFiles = WindowTest;

TEST_F(WindowPump, RoutesKeysTextAndWheelWithoutWritingOutOfRange)
{
    PushKey(true, SDLK_UP);
    PushKey(true, SDLK_UP, true);
    PushKey(true, SDLK_UP, true);
    PushKey(false, SDLK_UP);
    PushKey(true, 0x436);
    PushKey(false, 0x436);
    PushKey(true, static_cast<SDL_Keycode>(0x7FFFFFFF));
    PushKey(true, static_cast<SDL_Keycode>(0x80000000));
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "\xC3\xA9", sizeof(text.text.text));
    Push(text);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 3;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    Push(wheel);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);

    window->Update(0.0f);
    EXPECT_EQ(std::count(input->keysTriggered.begin(), input->keysTriggered.end(), SDLK_UP), 1);
    EXPECT_EQ(std::count(input->keysReleased.begin(), input->keysReleased.end(), SDLK_UP), 1);
    EXPECT_TRUE(input->IsKeyTriggered(0x436));
    EXPECT_EQ(input->mouseWheel, -3);
    EXPECT_FALSE(ImGui::GetIO().KeysDown[SDLK_UP & ~0x40000000]);
    EXPECT_EQ(ImGui::GetIO().InputQueueCharacters.Size, 1);

    window->Update(0.0f);
    EXPECT_TRUE(input->keysTriggered.empty());
    EXPECT_TRUE(input->keysReleased.empty());
    EXPECT_EQ(input->mouseWheel, -3);
}

TEST_F(WindowPump, KeyStateReachesTheEditorsEvenForRepeats)
{
    PushKey(true, SDLK_a);
    window->Update(0.0f);
    EXPECT_TRUE(ImGui::GetIO().KeysDown[SDLK_a]);
    EXPECT_TRUE(input->IsKeyTriggered(SDLK_a));

    // The editors lost the key (as when their focus moved) while the game still holds it: the repeats
    // give the game nothing new but mark the key held for the editors again.
    ImGui::GetIO().KeysDown[SDLK_a] = false;
    PushKey(true, SDLK_a, true);
    PushKey(true, SDLK_a, true);
    window->Update(0.0f);
    EXPECT_TRUE(ImGui::GetIO().KeysDown[SDLK_a]);
    EXPECT_TRUE(input->keysTriggered.empty());
    EXPECT_EQ(std::count(input->keysDown.begin(), input->keysDown.end(), SDLK_a), 1);

    PushKey(false, SDLK_a);
    window->Update(0.0f);
    EXPECT_FALSE(ImGui::GetIO().KeysDown[SDLK_a]);
    EXPECT_TRUE(input->IsKeyReleased(SDLK_a));
}

TEST_F(WindowVisibility, StartsHiddenUntilAskedToShow)
{
    window->Update(0.0f);
    EXPECT_FALSE(WindowProvider::IsWindowVisible(0));
    EXPECT_FALSE(ShownBySystem());

    WindowProvider::SetWindowVisible(0, true);
    window->Update(0.0f);
    EXPECT_TRUE(WindowProvider::IsWindowVisible(0));
    EXPECT_TRUE(ShownBySystem());
}

TEST_F(WindowVisibility, SystemHidingAWantedWindowShowsItAgain)
{
    WindowProvider::SetWindowVisible(0, true);
    window->Update(0.0f);
    SDL_HideWindow(WindowProvider::GetMainWindow()->window);
    window->Update(0.0f);
    EXPECT_TRUE(ShownBySystem());
}

TEST_F(WindowVisibility, ClosingHidesAndAsksButTheProgramRunsOn)
{
    WindowProvider::SetWindowVisible(0, true);
    window->Update(0.0f);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    window->Update(0.0f);
    EXPECT_TRUE(WindowProvider::IsCloseRequested(0));
    EXPECT_FALSE(WindowProvider::IsWindowVisible(0));
    EXPECT_FALSE(ShownBySystem());

    WindowProvider::ShowAndMaximize();
    window->Update(0.0f);
    EXPECT_TRUE(WindowProvider::IsWindowVisible(0));
    EXPECT_TRUE(WindowProvider::IsCloseRequested(0));
}

TEST_F(WindowVisibility, WindowEventsKeepTheRecordCurrent)
{
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_LEAVE);
    window->Update(0.0f);
    const WindowRecord& record = *WindowProvider::GetMainWindow();
    EXPECT_TRUE(record.minimised);
    EXPECT_FALSE(record.focused);
    EXPECT_FALSE(record.mouseInside);
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(SDL_WINDOWEVENT_ENTER);
    window->Update(0.0f);
    EXPECT_FALSE(record.minimised);
    EXPECT_TRUE(record.focused);
    EXPECT_TRUE(record.mouseInside);
}

TEST_F(WindowVisibility, FullScreenOffTakesTheDesktopSize)
{
    SDL_DisplayMode mode;
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
    WindowProvider::SetFullscreen(0, false);
    window->Update(0.0f);
    EXPECT_EQ(WindowProvider::GetWindowWidth(0), mode.w);
    EXPECT_EQ(WindowProvider::GetWindowHeight(0), mode.h);
    EXPECT_EQ(WindowProvider::GetHalfWidth(), mode.w / 2);
    EXPECT_FALSE(WindowProvider::IsFullscreen(0));

    WindowProvider::SetFullscreen(0, true);
    EXPECT_TRUE(WindowProvider::IsFullscreen(0));
}

TEST_F(WindowVisibility, BadIndicesGiveNothing)
{
    for (int index : {-1, 1, 7})
    {
        EXPECT_EQ(WindowProvider::GetWindowWidth(index), 0);
        EXPECT_EQ(WindowProvider::GetWindowHeight(index), 0);
        EXPECT_EQ(WindowProvider::GetGLContext(index), nullptr);
        EXPECT_FALSE(WindowProvider::IsFullscreen(index));
        EXPECT_FALSE(WindowProvider::IsWindowVisible(index));
        WindowProvider::SetWindowVisible(index, true);
        WindowProvider::SetFullscreen(index, true);
        WindowProvider::MakeCurrent(index);
    }
    EXPECT_NE(WindowProvider::GetGLContext(0), nullptr);
}

TEST_F(WindowVisibility, WithoutAProviderTheMainWindowIsNull)
{
    window->Exit();
    window.reset();
    EXPECT_EQ(WindowProvider::GetMainWindow(), nullptr);
    EXPECT_EQ(WindowProvider::GetHalfWidth(), 0);
    EXPECT_EQ(WindowProvider::GetHalfHeight(), 0);
}

TEST_F(WindowPump, TypedCharactersLastOneFrameWhenNoEditorDraws)
{
    for (const char* typed : {"a", "b", "c"})
    {
        SDL_Event text{};
        text.type = SDL_TEXTINPUT;
        SDL_strlcpy(text.text.text, typed, sizeof(text.text.text));
        Push(text);
        window->Update(0.0f);
        ASSERT_EQ(ImGui::GetIO().InputQueueCharacters.Size, 1) << typed;
        EXPECT_EQ(ImGui::GetIO().InputQueueCharacters[0], static_cast<ImWchar>(typed[0]));
    }
    window->Update(0.0f);
    EXPECT_EQ(ImGui::GetIO().InputQueueCharacters.Size, 0);
}

TEST_F(WindowStickyKeys, SavedSwitchedOffAndRestoredOnce)
{
    using StickyKeys::Call;
    window->Exit();
    window.reset();
    const std::vector<Call>& calls = StickyKeys::RecordedCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_FALSE(calls[0].isSet);
    EXPECT_TRUE(calls[1].isSet);
    EXPECT_EQ(calls[1].setting.flags, 0x12u);
    EXPECT_EQ(calls[1].setting.size, 8u);
    EXPECT_TRUE(calls[2].isSet);
    EXPECT_EQ(calls[2].setting.flags, kUserStickyKeys);
}

TEST_F(WindowStickyKeys, RestoredByTheDestructorWhenExitNeverRan)
{
    window.reset();
    const std::vector<StickyKeys::Call>& calls = StickyKeys::RecordedCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].setting.flags, kUserStickyKeys);
}

TEST_F(WindowStickyKeys, AFailedReadWritesNothing)
{
    window->Exit();
    window.reset();
    StickyKeys::ResetStandIn(kUserStickyKeys, false);
    window = std::make_unique<WindowProvider>();
    window->Init();
    window->Exit();
    window.reset();
    const std::vector<StickyKeys::Call>& calls = StickyKeys::RecordedCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FALSE(calls[0].isSet);
}

class DropJournal
{
  public:
    DropJournal()
    {
        PlatformHooks::loadGUIDs = [this](const FilePathParts& parts)
        { calls.push_back("guids " + JoinPath(parts)); };
        PlatformHooks::loadBank = [this](const FilePathParts& parts)
        { calls.push_back("bank " + JoinPath(parts)); };
        PlatformHooks::importTexture = [this](const std::string& name, const FilePathParts& parts)
        { calls.push_back("texture " + name + " " + JoinPath(parts)); };
    }
    std::vector<std::string> calls;
};

TEST_F(DroppedFiles, ReachTheirHandlersByExactExtension)
{
    DropJournal journal;
    for (const char* path :
         {"/drop/GUIDs.txt", "C:\\drop\\a.bank", "/drop/b.png", "/drop/guids.txt", "/drop/x.PNG",
          "/drop/song.ogg", "/drop/sound.wav", "/drop/folder/", "/drop/README", "ab", "/drop/notes.txt"})
    {
        SDL_Event event{};
        event.type = SDL_DROPFILE;
        event.drop.file = SDL_strdup(path);
        event.drop.windowID = MainWindowId();
        Push(event);
    }
    window->Update(0.0f);
#ifdef _WIN32
    const char* windowsBank = "bank C:/drop/a.bank";
#else
    const char* windowsBank = "bank C:\\drop\\a.bank"; // "\\" is part of a file name here
#endif
    EXPECT_THAT(journal.calls, ElementsAre("guids /drop/GUIDs.txt", windowsBank, "texture b /drop/b.png"));
}

// SDL's strings are ours to free on every road: no hook, dragged text, a folder, a throwing importer.
TEST_F(DroppedFiles, FreeSdlsStringOnEveryRoadAndIgnoreFolders)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("glimmock_drops_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "x.png");
    std::filesystem::create_directories(folder / "y.bank");
    const auto drop = [this](Uint32 type, const std::string& text)
    {
        SDL_Event event{};
        event.type = type;
        event.drop.file = SDL_strdup(text.c_str());
        event.drop.windowID = MainWindowId();
        Push(event);
    };
    // The event queue keeps its own blocks once used; count SDL's allocations from after that.
    drop(SDL_DROPTEXT, "warm-up");
    drop(SDL_DROPTEXT, "warm-up");
    window->Update(0.0f);
    const int allocations = SDL_GetNumAllocations();

    drop(SDL_DROPFILE, "/drop/a.bank");
    drop(SDL_DROPTEXT, "dragged words");
    window->Update(0.0f);
    EXPECT_EQ(SDL_GetNumAllocations(), allocations) << "without hooks";

    DropJournal journal;
    drop(SDL_DROPFILE, (folder / "x.png").string());
    drop(SDL_DROPFILE, (folder / "y.bank").string());
    window->Update(0.0f);
    EXPECT_TRUE(journal.calls.empty()) << "a folder is never imported";
    EXPECT_EQ(SDL_GetNumAllocations(), allocations) << "dropped folders";

    PlatformHooks::importTexture = [](const std::string&, const FilePathParts&) {
        throw std::runtime_error("importer failed");
    };
    drop(SDL_DROPFILE, "/drop/b.png");
    EXPECT_THROW(window->Update(0.0f), std::runtime_error);
    EXPECT_EQ(SDL_GetNumAllocations(), allocations) << "a throwing importer";
    std::filesystem::remove_all(folder);
}
} // namespace

namespace
{
TEST(WindowStartUp, FailureThrowsTheSdlTextAndLeavesNothingToRestore)
{
    PrepareOffscreenGL();
    StickyKeys::ResetStandIn(kUserStickyKeys);
    setenv("SDL_VIDEODRIVER", "nosuchdriver", 1);
    std::string message;
    {
        WindowProvider window;
        try
        {
            window.Init();
        }
        catch (const std::runtime_error& error)
        {
            message = error.what();
        }
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_THAT(message, ::testing::HasSubstr("nosuchdriver"));
    EXPECT_TRUE(StickyKeys::RecordedCalls().empty());
    EXPECT_EQ(WindowProvider::GetMainWindow(), nullptr);
}
} // namespace
