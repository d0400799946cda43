#include "Engine.h"
#include "FrameRateManager.h"
#include "PlaceholderSystem.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "SoundTestSupport.h"
#include "audio/BankFormat.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace
{
// Every sound name the game plays; a misspelt or missing one would leave a gate or a screen waiting.
const std::vector<const char*> kEffects = {
    "PlayerJump",    "PlayerLand",        "GetBall",         "BallToss",      "BallSteal",
    "BallBounce",    "BalloonBallBounce", "LightBallBounce", "LavaBurn",      "PlayerDie",
    "PlayerRespawn", "RoundEnd",          "GoalScore1",      "MenuDown",      "MenuUp",
    "MenuSelect",    "GamePause",         "GameResume",      "TorvaneSplash", "GameTeamSplash"};
const std::vector<const char*> kVoices = {
    "ReadyVO",        "GoVO",           "ThirtySec",    "TenSec",         "CountdownFive",
    "CountdownFour",  "CountdownThree", "CountdownTwo", "CountdownOne",   "RoundOne",
    "RoundTwo",       "RoundThree",     "RoundFour",    "RoundFive",      "FirstGoalOrange",
    "FirstGoalBlue",  "GoalQuotes",     "BlueGainLead", "OrangeGainLead", "BlueHoldLead",
    "OrangeHoldLead", "TiedPoints",     "Blowout",      "OrangeWin",      "BlueWin",
    "Tiebreaker",     "Title"};
const std::vector<const char*> kMusic = {"LevelMusic1", "LevelMusic2", "LevelMusic3",
                                         "MenuMusic",   "EndMusic",    "CreditsMusic"};

class ShippedSoundData : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetSoundGlobals();
        workingDirectory.emplace(SOUND_TEST_DATA_DIR);
        audio::SetNextOutput(audio::OutputKind::Manual);
        system = std::make_unique<SoundSystem>();
        ::testing::internal::CaptureStdout();
        system->Init();
        printed = ::testing::internal::GetCapturedStdout();
        audio::ResetNextOutput();
    }
    void TearDown() override
    {
        system->Exit();
        system.reset();
        workingDirectory.reset();
        ResetSoundGlobals();
    }

    int LengthMs(const char* name)
    {
        int length = -1;
        SoundSystem::GetSoundInstance(name)->description.getLength(&length);
        return length;
    }

    audio::EventRecord Record(const char* bankFile, const std::string& path)
    {
        std::ifstream file(fs::path("fmod/bank_file_drop") / bankFile, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                              std::istreambuf_iterator<char>());
        audio::BankFile bank;
        EXPECT_EQ(audio::ReadBank(bytes.data(), bytes.size(), &bank), audio::Result::Ok);
        for (const audio::EventRecord& event : bank.events)
            if (event.path == path)
                return event;
        ADD_FAILURE() << path << " is not in " << bankFile;
        return {};
    }

    std::optional<ScopedWorkingDirectory> workingDirectory;
    std::unique_ptr<SoundSystem> system;
    std::string printed;
};
} // namespace

TEST_F(ShippedSoundData, LoadsWithoutAnyErrorLine)
{
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(system->GetMasterBank().isValid());
    EXPECT_TRUE(system->GetStringsBank().isValid());
    EXPECT_EQ(system->GetBanks().size(), 3u);
    EXPECT_EQ(system->GetSoundTable().size(), 53u);
}

TEST_F(ShippedSoundData, EveryNameTheGamePlaysHasAnEventAndOnlyTheMusicLoops)
{
    int notOneShot = 0;
    for (const auto* list : {&kEffects, &kVoices})
        for (const char* name : *list)
        {
            SoundInstance* instance = SoundSystem::GetSoundInstance(name);
            ASSERT_NE(instance, nullptr) << name;
            EXPECT_TRUE(instance->description.isValid()) << name;
            EXPECT_TRUE(instance->oneShot) << name;
        }
    for (const char* name : kMusic)
    {
        SoundInstance* instance = SoundSystem::GetSoundInstance(name);
        ASSERT_NE(instance, nullptr) << name;
        EXPECT_TRUE(instance->description.isValid()) << name;
        EXPECT_FALSE(instance->oneShot) << name;
    }
    for (const auto& entry : system->GetSoundTable())
        notOneShot += entry.second != nullptr && !entry.second->oneShot;
    EXPECT_EQ(notOneShot, 6);
}

TEST_F(ShippedSoundData, LengthsThatGameplayWaitsOnStayInTheirLimits)
{
    EXPECT_GE(LengthMs("BallSteal"), 300);
    EXPECT_LE(LengthMs("BallSteal"), 600);
    for (const char* name : {"BallBounce", "BalloonBallBounce", "LightBallBounce"})
        EXPECT_LE(LengthMs(name), 300) << name;
    EXPECT_GE(LengthMs("LavaBurn"), 500);
    EXPECT_LE(LengthMs("LavaBurn"), 1500);
    EXPECT_LE(LengthMs("TorvaneSplash"), 5500);
    EXPECT_LE(LengthMs("GameTeamSplash"), 6500);
    EXPECT_LE(LengthMs("ReadyVO"), 900);
    EXPECT_GE(LengthMs("GoVO"), 400);
    EXPECT_LE(LengthMs("GoVO"), 1000);
    EXPECT_LE(LengthMs("ThirtySec"), 1500);
    EXPECT_LE(LengthMs("TenSec"), 1500);
    for (const char* name :
         {"CountdownFive", "CountdownFour", "CountdownThree", "CountdownTwo", "CountdownOne"})
        EXPECT_LE(LengthMs(name), 900) << name;
    EXPECT_GE(LengthMs("Title"), 600);
    EXPECT_LE(LengthMs("Title"), 1400);
}

TEST_F(ShippedSoundData, ParametersVariantsAndFadesMatchWhatTheScriptsExpect)
{
    SoundInstance* light = SoundSystem::GetSoundInstance("LightBallBounce");
    ASSERT_TRUE(light->hasParameter);
    EXPECT_EQ(light->parameterValue, 0.0f);
    audio::ParameterDescription parameter;
    light->description.getParameterByIndex(0, &parameter);
    EXPECT_EQ(parameter.name, "Intensity");
    EXPECT_EQ(parameter.maximum, 1.0f);
    light->Play();
    std::vector<float> out(2 * 2400);
    system->GetAudioSystem()->Render(out.data(), 2400);
    EXPECT_GT(Rms(out), 0.01) << "audible at intensity 0";

    for (const char* name : {"LevelMusic1", "LevelMusic2", "LevelMusic3"})
    {
        SoundInstance* music = SoundSystem::GetSoundInstance(name);
        ASSERT_TRUE(music->hasParameter) << name;
        music->description.getParameterByIndex(0, &parameter);
        EXPECT_EQ(parameter.name, "Intensity");
        EXPECT_EQ(parameter.minimum, 0.0f);
        EXPECT_EQ(parameter.maximum, 4.0f);
        EXPECT_EQ(parameter.defaultValue, 0.0f);
        const audio::EventRecord record = Record("Music.bank", std::string("event:/Music/") + name);
        EXPECT_EQ(record.layers.size(), 3u) << name;
        EXPECT_NEAR(record.fadeOut, 1.0f, 0.25f) << name;
    }
    const audio::EventRecord quotes = Record("VO.bank", "event:/VO/GoalQuotes");
    ASSERT_EQ(quotes.layers.size(), 1u);
    EXPECT_GE(quotes.layers[0].waves.size(), 3u);
    EXPECT_LE(quotes.layers[0].waves.size(), 4u);
}

TEST(SoundInTheEngine, TheEngineStartsTheSoundSystemAndItsPauseTogglePlaysThePauseSounds)
{
    ResetSoundGlobals();
    FrameRateManager::Reset();
    ScopedWorkingDirectory workingDirectory(SOUND_TEST_DATA_DIR);
    audio::SetNextOutput(audio::OutputKind::Manual);
    SystemFactories factories;
    for (int slot = 0; slot < kEngineSlotCount; ++slot)
        factories[slot] = [] { return std::make_unique<PlaceholderSystem>(estSystemBase); };
    factories[slotSound] = [] { return std::make_unique<SoundSystem>(); };
    {
        Engine engine(factories);
        engine.Init();
        audio::ResetNextOutput();
        ASSERT_NE(gSoundSystem, nullptr);
        FrameRateManager::TogglePause();
        EXPECT_NE(SoundSystem::GetSoundInstance("GamePause")->FindPlayingChannel(), nullptr);
        FrameRateManager::TogglePause();
        EXPECT_NE(SoundSystem::GetSoundInstance("GameResume")->FindPlayingChannel(), nullptr);
        engine.Update(1.0f / 60.0f);
        engine.Shutdown();
    }
    EXPECT_EQ(gSoundSystem, nullptr);
    FrameRateManager::TogglePause(); // no sound system: nothing plays, nothing breaks
    FrameRateManager::Reset();
    ResetSoundGlobals();
}
