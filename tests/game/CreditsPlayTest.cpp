#include "CreditsGradeReadBack.h"

#include "CreditsScreen.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "InputRecording.h"
#include "MatchScenario.h"
#include "MenuSystem.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "SoundInstance.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

#include <SDL.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

// The credits screen in the running game: its timeline, its ways out, the fade it keeps for the run,
// its grade, its objects and its picture.
namespace
{

class CreditsPlay : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        harness = std::make_unique<PlayHarness>();
        if (!harness->Start(startFailure))
            harness.reset();
    }
    static void TearDownTestSuite() { harness.reset(); }
    void SetUp() override
    {
        if (!harness)
            GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(startFailure);
        // Leave whatever screen the test before ended on, before the world is emptied.
        RequestGameState(GameStateIndex::MainMenu);
        Game().Step();
        Game().ResetWorld();
        CreditsScreen::ResetRunValues();
        SoundSystem::SetMasterVolume(1.0f);
        std::filesystem::remove(GetReplayLogPath());
        SetSoundPlayLogging(true);
    }
    void TearDown() override { SetSoundPlayLogging(false); }
    static PlayHarness& Game() { return *harness; }

    static CreditsScreen& Credits()
    {
        return static_cast<CreditsScreen&>(gGameStateManager->GetState(GameStateIndex::CreditsScreen));
    }
    static GameObject* Column() { return gGameObjectFactory->GetObject(Credits().GetCreditsObjectId()); }
    static Transform& ColumnTransform()
    {
        return *Column()->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    }
    static float ColumnY() { return ColumnTransform().GetTranslation().y; }
    static Vector4 ColumnTint() { return GetRenderer(*Column())->tint; }

    // Enters the credits: the entry update runs Load, Init and the first Update.
    static void EnterCredits()
    {
        RequestGameState(GameStateIndex::CreditsScreen);
        Game().Step();
        ASSERT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    }
    // Puts the column just short of its fade: the fifth update from here is the first fading one.
    static void SkipToTheFade() { ColumnTransform().SetTranslation(Vector3{0.0f, 1270.0f, 1.0f}); }
    // Steps until the first fading update has run; false when none came within the limit.
    static bool StepIntoTheFade(int limit = 10)
    {
        for (int step = 0; step < limit; ++step)
        {
            Game().Step();
            if (ColumnTint().x < 1.0f)
                return true;
        }
        return false;
    }

    static bool IsPlaying(const char* name)
    {
        const SoundInstance* sound = SoundSystem::GetSoundInstance(name);
        return sound != nullptr && sound->FindPlayingChannel() != nullptr;
    }
    static bool MusicPlaying() { return IsPlaying(CreditsScreen::kMusic); }
    static bool Played(const std::string& name)
    {
        const auto& played = SoundPlayLog();
        return std::find(played.begin(), played.end(), name) != played.end();
    }

    static inline std::unique_ptr<PlayHarness> harness;
    static inline std::string startFailure;
};

Vector4 Times(Vector4 colour, float factor)
{
    return Vector4{colour.x * factor, colour.y * factor, colour.z * factor, colour.w * factor};
}
} // namespace

// At 1/60 s an update scrolls exactly one unit: 2552 scrolling updates, then the fade multiplies the tint
// and the master volume by 0.98 per update until its timer passes 2 s, and the main menu follows.
TEST_F(CreditsPlay, TheColumnScrollsOneUnitAnUpdateThenFadesIntoTheMainMenu)
{
    SoundSystem::SetMasterVolume(0.8f);
    EnterCredits();
    EXPECT_TRUE(Played(CreditsScreen::kMusic));
    EXPECT_TRUE(MusicPlaying());
    EXPECT_TRUE(IsReplaying() || !std::filesystem::exists(GetReplayLogPath()));
    int wrongSteps = 0;
    for (int update = 1; update <= 2552; ++update)
    {
        if (update > 1)
            Game().Step();
        if (ColumnY() != CreditsScreen::kStartY + static_cast<float>(update) || ColumnTint().w != 1.0f)
            ++wrongSteps;
    }
    EXPECT_EQ(wrongSteps, 0);
    EXPECT_EQ(ColumnY(), 1274.0f);
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.8f);

    Vector4 tint{1.0f, 1.0f, 1.0f, 1.0f};
    float volume = 0.8f;
    int endingUpdate = 0;
    for (int fading = 1; fading <= 130 && endingUpdate == 0; ++fading)
    {
        Game().Step();
        if (GetRequestedGameState() == GameStateIndex::MainMenu)
        {
            endingUpdate = fading;
            break;
        }
        tint = Times(tint, 0.98f);
        volume *= 0.98f;
        ASSERT_EQ(ColumnTint(), tint) << "fading update " << fading;
        ASSERT_EQ(SoundSystem::GetMasterVolume(), volume) << "fading update " << fading;
        EXPECT_EQ(ColumnY(), 1274.0f);
    }
    EXPECT_TRUE(endingUpdate == 120 || endingUpdate == 121) << endingUpdate;
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    EXPECT_EQ(ColumnTint(), (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(ColumnY(), CreditsScreen::kStartY);
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.8f);
    EXPECT_EQ(Credits().GetFadeTimer(), 0.0f);
    EXPECT_FALSE(MusicPlaying());
    EXPECT_FALSE(IsReplaying());

    Game().Step();
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
    EXPECT_EQ(Credits().GetCreditsObjectId(), 0u);
}

// Escape while scrolling or fading, or START on either of two controllers, ends the screen in that very
// update with the volume restored; no menu opens and nothing pauses on the way.
TEST_F(CreditsPlay, EscapeOrStartEndsTheScreenAtOnceWithTheVolumeRestored)
{
    struct Exit
    {
        const char* how;
        bool fading;
        int controller; // -1: Escape
    };
    Game().PlugController();
    Game().PlugController();
    for (const Exit& exit : {Exit{"Escape scrolling", false, -1}, Exit{"Escape fading", true, -1},
                             Exit{"START 1", false, 0}, Exit{"START 2", true, 1}})
    {
        SCOPED_TRACE(exit.how);
        SoundSystem::SetMasterVolume(0.7f);
        EnterCredits();
        if (exit.fading)
        {
            SkipToTheFade();
            ASSERT_TRUE(StepIntoTheFade());
            Game().Step(19);
            ASSERT_LT(SoundSystem::GetMasterVolume(), 0.7f * 0.7f);
        }
        else
        {
            Game().Step(99);
            ASSERT_EQ(ColumnY(), CreditsScreen::kStartY + 100.0f);
        }

        if (exit.controller < 0)
            Game().Press(SDLK_ESCAPE);
        else
            Game().SetButton(exit.controller, 6, true);
        Game().Step();
        EXPECT_EQ(GetRequestedGameState(), GameStateIndex::MainMenu);
        EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.7f);
        EXPECT_EQ(ColumnTint(), (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));
        // The update goes on after the ending, so the column has already scrolled once from its start.
        EXPECT_EQ(ColumnY(), CreditsScreen::kStartY + 1.0f);
        EXPECT_FALSE(MusicPlaying());
        EXPECT_TRUE(gMenuSystem->GetMenuStack().empty());
        EXPECT_FALSE(FrameRateManager::IsPaused());

        Game().Step();
        EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
        EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.7f) << "Exit leaves the volume alone";
        EXPECT_FALSE(FrameRateManager::IsPaused());
        if (exit.controller < 0)
            Game().Release(SDLK_ESCAPE);
        else
            Game().SetButton(exit.controller, 6, false);
        Game().Step();
    }
    Game().UnplugControllers();
    Game().Step();
}

// The fade colour and volume are kept for the run: a second visit fades on from where the first left
// off, leaving through another screen keeps the volume faded until a later ending, and the reset gives
// the first-visit fade back.
TEST_F(CreditsPlay, ASecondVisitFadesOnFromTheFirstAndAnotherExitLeavesTheVolumeFaded)
{
    EnterCredits();
    SkipToTheFade();
    int fadingUpdates = 0;
    while (GetRequestedGameState() != GameStateIndex::MainMenu && fadingUpdates < 200)
    {
        Game().Step();
        if (ColumnTint().x < 1.0f || GetRequestedGameState() == GameStateIndex::MainMenu)
            ++fadingUpdates;
    }
    ASSERT_TRUE(fadingUpdates == 120 || fadingUpdates == 121) << fadingUpdates;
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 1.0f);
    Game().Step();

    EnterCredits();
    SkipToTheFade();
    ASSERT_TRUE(StepIntoTheFade());
    const float kept = std::pow(0.98f, 121.0f);
    EXPECT_NEAR(ColumnTint().x, kept, 0.02f * kept);
    EXPECT_NEAR(ColumnTint().w, kept, 0.02f * kept);
    EXPECT_NEAR(SoundSystem::GetMasterVolume(), kept, 0.02f * kept);

    // A live LShift+4 leaves for the first victory screen with the volume still faded.
    Game().Step(10);
    const float faded = SoundSystem::GetMasterVolume();
    Game().Press(kLeftShiftKey);
    Game().Press(SDLK_4);
    Game().Step();
    Game().Release(SDLK_4);
    Game().Release(kLeftShiftKey);
    Game().Step();
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel1);
    EXPECT_NEAR(SoundSystem::GetMasterVolume(), faded * 0.98f, 1e-6f);
    EXPECT_FALSE(MusicPlaying());

    // The next ending restores the volume saved on the first visit.
    EnterCredits();
    Game().Press(SDLK_ESCAPE);
    Game().Step();
    Game().Release(SDLK_ESCAPE);
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 1.0f);
    Game().Step();

    CreditsScreen::ResetRunValues();
    EnterCredits();
    SkipToTheFade();
    ASSERT_TRUE(StepIntoTheFade());
    EXPECT_EQ(ColumnTint().x, 0.98f);
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.98f);
}

// The credits grade is on from Init, through the descriptors by XML name; every way out puts the match
// grade back; an effect of another class is never touched.
TEST_F(CreditsPlay, TheCreditsGradeHoldsWhileTheyRunAndEveryExitRestoresTheMatchGrade)
{
    struct TestOnlyEffect : PostProcessingEffect
    {
        TestOnlyEffect() : PostProcessingEffect(1) {}
        void Apply(Camera&) override {}
        bool PassesImageThrough(Camera&) override { return true; }
        float strength = 3.5f;
    };
    auto& effects = gGraphics->GetEffects();
    effects.push_back(std::make_unique<TestOnlyEffect>());
    const auto* testOnly = static_cast<const TestOnlyEffect*>(effects.back().get());

    const auto expectGrade = [](const credits_test::FieldValues& column, const char* when)
    {
        const credits_test::FieldValues chain = credits_test::ReadChain(*gGraphics);
        EXPECT_EQ(chain.size(), 19u) << when;
        credits_test::ExpectColumn(chain, column, when);
    };
    EnterCredits();
    expectGrade(credits_test::CreditsColumn(), "after Init");
    SkipToTheFade();
    while (GetRequestedGameState() != GameStateIndex::MainMenu && Credits().GetFadeTimer() < 3.0f)
        Game().Step();
    expectGrade(credits_test::MatchColumn(), "after the natural end");
    Game().Step();

    EnterCredits();
    expectGrade(credits_test::CreditsColumn(), "second visit");
    Game().Press(kLeftShiftKey);
    Game().Press(SDLK_4);
    Game().Step();
    Game().Release(SDLK_4);
    Game().Release(kLeftShiftKey);
    Game().Step();
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel1);
    expectGrade(credits_test::MatchColumn(), "after Exit to another screen");
    EXPECT_EQ(testOnly->strength, 3.5f);

    effects.pop_back();
}

// The column and the screen's manager as Init makes them, whatever the window's width; Exit forgets them.
TEST_F(CreditsPlay, TheColumnIsSixHundredFortyUnitsWideInEveryWindowAndBehindNothingOfTheArena)
{
    WindowRecord* window = WindowProvider::GetMainWindow();
    ASSERT_NE(window, nullptr);
    for (int width : {640, 1280})
    {
        SCOPED_TRACE(width);
        SDL_SetWindowSize(window->window, width, width * 3 / 4);
        int shownWidth = 0;
        SDL_GetWindowSize(window->window, &shownWidth, nullptr);
        ASSERT_EQ(shownWidth, width);
        gMenuSystem->menusEnabled = true;
        EnterCredits();

        GameObject* column = Column();
        ASSERT_NE(column, nullptr);
        EXPECT_EQ(column->name, CreditsScreen::kImageName);
        EXPECT_EQ(ColumnTransform().GetScale(), (Vector3{640.0f, 2557.0f, 0.0f}));
        const Renderer* renderer = GetRenderer(*column);
        EXPECT_EQ(renderer->depth, -1.0f);
        EXPECT_EQ(renderer->material.name, "basic");
        EXPECT_EQ(renderer->material.data.GetUInt("texture"), &TextureManager::GetTexture("credits"));
        EXPECT_EQ(Credits().GetCachedRenderer(), renderer);
        EXPECT_EQ(Credits().GetCachedTransform(), &ColumnTransform());

        GameObject* manager = gGameObjectFactory->GetObject(Credits().GetMenuManagerObjectId());
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(manager->name, CreditsScreen::kManagerName);
        ASSERT_FALSE(StackOf(CreditsScreen::kManagerName).empty());
        EXPECT_EQ(StackOf(CreditsScreen::kManagerName).back(), 6u);

        EXPECT_FALSE(gMenuSystem->menusEnabled);
        EXPECT_TRUE(gMenuSystem->GetMenuStack().empty());
        // No round starts behind the credits, so the round text stays blank.
        GameObject* eventText = Named("EventText");
        ASSERT_NE(eventText, nullptr);
        ASSERT_NE(GetTextRenderer(*eventText), nullptr);
        EXPECT_EQ(GetTextRenderer(*eventText)->GetText(), "");

        Credits().Exit();
        EXPECT_EQ(Credits().GetCreditsObjectId(), 0u);
        EXPECT_EQ(Credits().GetMenuManagerObjectId(), 0u);
        EXPECT_EQ(Credits().GetCachedTransform(), nullptr);
        EXPECT_EQ(Credits().GetCachedRenderer(), nullptr);
        RequestGameState(GameStateIndex::MainMenu);
        Game().Step();
    }
}

// A column destroyed under the screen is never touched again: the screen still ends on Escape.
TEST_F(CreditsPlay, AColumnDestroyedUnderTheScreenIsLeftAlone)
{
    EnterCredits();
    const std::uint32_t id = Credits().GetCreditsObjectId();
    gGameObjectFactory->QueueDestroy(id);
    Game().Step(3);
    EXPECT_EQ(Credits().GetCachedTransform(), nullptr);
    Game().Press(SDLK_ESCAPE);
    Game().Step();
    Game().Release(SDLK_ESCAPE);
    EXPECT_EQ(GetRequestedGameState(), GameStateIndex::MainMenu);
    Game().Step();
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
}

// What the player sees: the column, 640 units wide in a 900-unit view, centred, rising 120 units (85
// pixels at 640 x 480) between 1 s and 3 s; the real image shows its title in the lower half.
TEST_F(CreditsPlay, TheColumnRisesCentredInFrontOfTheArena)
{
    const std::vector<std::uint8_t> green(4 * 4, 0);
    std::vector<std::uint8_t> opaqueGreen = green;
    for (std::size_t i = 0; i < opaqueGreen.size(); i += 4)
    {
        opaqueGreen[i + 1] = 255;
        opaqueGreen[i + 3] = 255;
    }
    Texture& greenTexture = TextureManager::CreateTexture("CreditsTestGreen", 2, 2, opaqueGreen.data(), GL_RGBA);

    EnterCredits();
    Game().Step(59);
    GetRenderer(*Column())->SetUInt("texture", &greenTexture);
    const auto columnEdges = [](const std::vector<std::uint8_t>& shot, int& left, int& right, int& top)
    {
        // The graded green of the column itself, not the bloom's paler halo around it.
        const auto isGreen = [](const std::uint8_t* pixel)
        { return pixel[1] > 200 && pixel[0] < 30 && pixel[2] < 30; };
        left = PlayHarness::kWidth;
        right = -1;
        const int row = PlayHarness::kHeight - 20;
        for (int x = 0; x < PlayHarness::kWidth; ++x)
            if (isGreen(PixelAt(shot, x, row)))
            {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        // Measured left of the middle, clear of the arena's text and the goals' emitters.
        top = PlayHarness::kHeight;
        for (int y = PlayHarness::kHeight - 1; y >= 0; --y)
            if (isGreen(PixelAt(shot, 160, y)))
                top = y;
            else
                break;
    };
    int left = 0;
    int right = 0;
    int topAtOne = 0;
    const std::vector<std::uint8_t> greenShot = Game().Shot("credits_green_1s");
    columnEdges(greenShot, left, right, topAtOne);
    EXPECT_NEAR(right - left + 1, 455, 2);
    EXPECT_NEAR((left + right) / 2.0, PlayHarness::kWidth / 2.0, 2.0);

    // The column covers the arena's blocks and players: at each centre inside it, away from the goals'
    // emitters and the arena's text, the pixel is the column's graded green (17, 255, 17 unlit).
    const float columnTop = ColumnY() + CreditsScreen::kImageHeight / 2.0f;
    int covered = 0;
    for (Tag tag : {kTagPlatform, kTagPlayer})
        for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(tag))
        {
            const Vector3 centre = object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
            const bool nearText = std::abs(centre.x) < 160.0f && std::abs(centre.y) < 40.0f;
            if (std::abs(centre.x) > 270.0f || centre.y > columnTop - 20.0f || centre.y < -320.0f || nearText)
                continue;
            ++covered;
            const std::uint8_t* pixel = PixelOfWorld(greenShot, centre.x, centre.y);
            // The arena's lights still brighten it a little; a sprite on top would not be green at all.
            EXPECT_TRUE(pixel[1] >= 245 && pixel[0] <= 45 && pixel[2] <= 45)
                << object->name << ": " << int(pixel[0]) << "," << int(pixel[1]) << "," << int(pixel[2]);
        }
    EXPECT_GE(covered, 3) << "blocks and players inside the column";
    Game().Step(119);
    int topAtThree = 0;
    columnEdges(Game().Shot("credits_green_3s"), left, right, topAtThree);
    EXPECT_NEAR(topAtOne - topAtThree, 85, 3);

    GetRenderer(*Column())->SetUInt("texture", &TextureManager::GetTexture("credits"));
    const std::vector<std::uint8_t> real = Game().Shot("credits_3s");
    int magenta = 0;
    int lightInLowerHalf = 0;
    for (int y = 0; y < PlayHarness::kHeight; ++y)
        for (int x = 0; x < PlayHarness::kWidth; ++x)
        {
            const std::uint8_t* pixel = PixelAt(real, x, y);
            if (pixel[0] > 200 && pixel[2] > 200 && pixel[1] < 60)
                ++magenta;
            if (y > PlayHarness::kHeight / 2 && pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200)
                ++lightInLowerHalf;
        }
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(lightInLowerHalf, 500) << "the title's letters";
}

// The end of the game's road: a key on the victory screen starts the credits, whose end leads to the main
// menu with its music and the master volume as it was before.
TEST_F(CreditsPlay, AKeyOnTheVictoryScreenRollsTheCreditsIntoTheMainMenu)
{
    SoundSystem::SetMasterVolume(0.9f);
    RequestGameState(GameStateIndex::WinScreenLevel1);
    Game().Step(30);
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::WinScreenLevel1);
    Game().Press(SDLK_a);
    Game().Step();
    Game().Release(SDLK_a);
    Game().Step();
    ASSERT_EQ(Game().CurrentState(), GameStateIndex::CreditsScreen);
    EXPECT_TRUE(MusicPlaying());
    EXPECT_FALSE(IsPlaying("EndMusic"));

    ClearSoundPlayLog();
    int updates = 0;
    while (Game().CurrentState() == GameStateIndex::CreditsScreen && updates < 3000)
    {
        Game().Step();
        ++updates;
    }
    // About 44.5 s: 2552 scrolling updates and 2 s of fading, the entry update counted above.
    EXPECT_NEAR(updates, 2552 + 121, 2);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::MainMenu);
    EXPECT_TRUE(Played("MenuMusic"));
    EXPECT_TRUE(IsPlaying("MenuMusic"));
    EXPECT_FALSE(MusicPlaying());
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.9f);
    EXPECT_TRUE(gMenuSystem->menusEnabled);
}
