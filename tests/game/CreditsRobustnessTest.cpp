#include "CreditsScreen.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "InputRecording.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "TextureManager.h"
#include "WindowProvider.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

// The credits with their image and music missing from the data, and with bad levels and recordings:
// every visit still runs its course into the main menu.
namespace
{
namespace fs = std::filesystem;

const fs::path kImage = "Assets/credits.png";
const fs::path kMusicBank = "fmod/bank_file_drop/Music.bank";
const fs::path kLevel = "Levels/LEVEL_1.xml";

// Moves a file of the program's data copy aside for as long as the object lives.
class FileAside
{
  public:
    explicit FileAside(fs::path file) : path(std::move(file))
    {
        if (fs::exists(path))
            fs::rename(path, Aside());
    }
    ~FileAside()
    {
        std::error_code error;
        fs::remove(path, error);
        if (fs::exists(Aside()))
            fs::rename(Aside(), path, error);
    }
    FileAside(const FileAside&) = delete;
    FileAside& operator=(const FileAside&) = delete;

  private:
    fs::path Aside() const { return fs::path(path).concat(".aside"); }
    fs::path path;
};

class CreditsRobustness : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        // The textures and banks are read once, when the game starts.
        imageAside = std::make_unique<FileAside>(kImage);
        musicAside = std::make_unique<FileAside>(kMusicBank);
        harness = std::make_unique<PlayHarness>();
        ::testing::internal::CaptureStdout();
        if (!harness->Start(startFailure))
            harness.reset();
        startOutput = ::testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite()
    {
        harness.reset();
        musicAside.reset();
        imageAside.reset();
    }
    void SetUp() override
    {
        if (!harness)
            GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(startFailure);
        RequestGameState(GameStateIndex::MainMenu);
        Game().Step();
        Game().ResetWorld();
        CreditsScreen::ResetRunValues();
        SoundSystem::SetMasterVolume(1.0f);
        fs::remove(GetReplayLogPath());
    }
    static PlayHarness& Game() { return *harness; }

    static CreditsScreen& Credits()
    {
        return static_cast<CreditsScreen&>(gGameStateManager->GetState(GameStateIndex::CreditsScreen));
    }

    // A whole visit, left alone: true when it ends in the main menu after the usual 2552 scrolling and
    // 120 or 121 fading updates, with the screen current until then and the volume restored.
    static bool VisitEndsNaturally()
    {
        RequestGameState(GameStateIndex::CreditsScreen);
        int updates = 0;
        while (GetRequestedGameState() != GameStateIndex::MainMenu && updates < 3000)
        {
            Game().Step();
            ++updates;
            EXPECT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen) << "update " << updates;
            if (Game().CurrentState() != GameStateIndex::CreditsScreen)
                return false;
        }
        Game().Step();
        EXPECT_TRUE(updates == 2552 + 120 || updates == 2552 + 121) << updates;
        EXPECT_EQ(SoundSystem::GetMasterVolume(), 1.0f);
        return Game().CurrentState() == GameStateIndex::MainMenu;
    }

    static inline std::unique_ptr<PlayHarness> harness;
    static inline std::unique_ptr<FileAside> imageAside;
    static inline std::unique_ptr<FileAside> musicAside;
    static inline std::string startFailure;
    static inline std::string startOutput;
};
} // namespace

// Without the image the column shows the placeholder, with its message; without the music the fade
// still lowers the master volume; without a recording the reader says so and the arena stands.
TEST_F(CreditsRobustness, MissingImageMusicAndRecordingStillRunTheirCourse)
{
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    RequestGameState(GameStateIndex::CreditsScreen);
    Game().Step();
    const std::string output = ::testing::internal::GetCapturedStdout();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("Could not locate texture credits!"), std::string::npos) << output;
    EXPECT_NE(errors.find("Couldn't open " + GetReplayLogPath() + " for read"), std::string::npos) << errors;
    const SoundInstance* music = SoundSystem::GetSoundInstance(CreditsScreen::kMusic);
    EXPECT_TRUE(music == nullptr || music->FindPlayingChannel() == nullptr) << "no bank, no music";

    GameObject* column = gGameObjectFactory->GetObject(Credits().GetCreditsObjectId());
    ASSERT_NE(column, nullptr);
    const Renderer* renderer = GetRenderer(*column);
    EXPECT_EQ(renderer->material.data.GetUInt("texture"), &TextureManager::GetTexture(CreditsScreen::kTexture));

    float lowest = 1.0f;
    for (int update = 0; update < 2700 && GetRequestedGameState() != GameStateIndex::MainMenu; ++update)
    {
        Game().Step();
        lowest = std::min(lowest, SoundSystem::GetMasterVolume());
    }
    EXPECT_LT(lowest, 0.1f) << "the fade lowers the volume";
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 1.0f);
    Game().Step();
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
    EXPECT_FALSE(IsReplaying());
}

// A hand-written recording with Escape, START, F11 and LShift+4 in it replays only LShift: the window
// keeps its size and the credits run to their end. A missing level leaves the built arena; a corrupt one
// prints one error and Init still finishes.
TEST_F(CreditsRobustness, BadRecordingsAndACorruptLevelCannotCutAVisitShort)
{
    {
        std::ofstream file(GetReplayLogPath(), std::ios::trunc);
        file << "garbage line\n0 768 1 27 0\n1 1617 1 6 0\n2 768 1 1073741892 0\n3 768 1 1073742049 0\n"
                "4 768 1 52 0\n5 769 0 52 0\n6 769 0 1073742049 0\n7 768 1 54 0\n"
                "99999999999 768 1 97 0\n";
    }
    const bool fullscreen = WindowProvider::IsFullscreen(0);
    EXPECT_TRUE(VisitEndsNaturally());
    EXPECT_EQ(WindowProvider::IsFullscreen(0), fullscreen);

    // An earlier run's file is replayed as it is: the same file again gives the same visit.
    EXPECT_TRUE(VisitEndsNaturally());

    // Without the level file the arena built in code stands behind the credits.
    {
        FileAside missing(kLevel);
        RequestGameState(GameStateIndex::CreditsScreen);
        Game().Step();
        EXPECT_NE(Named("Player 1"), nullptr);
        EXPECT_FALSE(gGameObjectFactory->GetObjectsWithTag(kTagBall).empty());
        RequestGameState(GameStateIndex::MainMenu);
        Game().Step();
        EXPECT_TRUE(VisitEndsNaturally());
    }

    FileAside level(kLevel);
    fs::create_directories(kLevel.parent_path());
    {
        std::ofstream file(kLevel, std::ios::trunc);
        file << "<?xml version=\"1.0\"?>\n<not a level";
    }
    ::testing::internal::CaptureStdout();
    RequestGameState(GameStateIndex::CreditsScreen);
    Game().Step();
    const std::string output = ::testing::internal::GetCapturedStdout();
    std::size_t errors = 0;
    for (std::size_t at = output.find("ERROR: level LEVEL_1 failed to load: "); at != std::string::npos;
         at = output.find("ERROR: level LEVEL_1 failed to load: ", at + 1))
        ++errors;
    EXPECT_EQ(errors, 1u) << output;
    EXPECT_NE(Credits().GetCreditsObjectId(), 0u) << "Init finished its steps";
    EXPECT_NE(Credits().GetMenuManagerObjectId(), 0u);
    RequestGameState(GameStateIndex::MainMenu);
    Game().Step();
    EXPECT_TRUE(VisitEndsNaturally());
}
