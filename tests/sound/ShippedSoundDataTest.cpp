#include "Engine.h"
#include "FrameRateManager.h"
#include "PlaceholderSystem.h"
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "SoundTestSupport.h"
#include "audio/BankFormat.h"
#include "audio/WaveDecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

    audio::BankFile Bank(const char* bankFile)
    {
        std::ifstream file(fs::path("fmod/bank_file_drop") / bankFile, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                              std::istreambuf_iterator<char>());
        audio::BankFile bank;
        EXPECT_EQ(audio::ReadBank(bytes.data(), bytes.size(), &bank), audio::Result::Ok);
        return bank;
    }

    audio::EventRecord Record(const char* bankFile, const std::string& path)
    {
        const audio::BankFile bank = Bank(bankFile);
        for (const audio::EventRecord& event : bank.events)
            if (event.path == path)
                return event;
        ADD_FAILURE() << path << " is not in " << bankFile;
        return {};
    }

    // Renders one event alone from its start, on an instance of its own that is stopped at once afterwards.
    std::vector<float> RenderAlone(const char* name, double seconds, std::optional<float> parameter = {})
    {
        audio::EventInstance instance;
        SoundSystem::GetSoundInstance(name)->description.createInstance(&instance);
        if (parameter)
            instance.setParameterValueByIndex(0, *parameter);
        instance.start();
        std::vector<float> out(2 * static_cast<std::size_t>(seconds * audio::kMixRate));
        system->GetAudioSystem()->Render(out.data(), static_cast<int>(out.size() / 2));
        instance.stop(audio::StopMode::Immediate);
        instance.release();
        system->GetAudioSystem()->update();
        return out;
    }

    // Renders seconds more of whatever is playing and appends it.
    void RenderOn(std::vector<float>& out, double seconds)
    {
        const std::size_t begin = out.size();
        out.resize(begin + 2 * static_cast<std::size_t>(seconds * audio::kMixRate));
        system->GetAudioSystem()->Render(out.data() + begin, static_cast<int>((out.size() - begin) / 2));
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
    audio::ParameterDescription parameter;
    for (const char* name : {"BallBounce", "BalloonBallBounce", "LightBallBounce"})
    {
        SoundInstance* bounce = SoundSystem::GetSoundInstance(name);
        ASSERT_TRUE(bounce->hasParameter) << name;
        EXPECT_EQ(bounce->parameterValue, 0.0f) << name;
        bounce->description.getParameterByIndex(0, &parameter);
        EXPECT_EQ(parameter.name, "Intensity") << name;
        EXPECT_EQ(parameter.maximum, 1.0f) << name;
        const double soft = Rms(RenderAlone(name, 0.05));
        EXPECT_GT(soft, 0.01) << name << " is audible at intensity 0";
        EXPECT_GT(Rms(RenderAlone(name, 0.05, 1.0f)), 1.5 * soft) << name << " is louder at intensity 1";
    }

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

// The figures the mix's headroom rests on.
constexpr float kLimiterKnee = 0.7071f;
constexpr double kMusicSeconds = 8.0; // one loop of every music track

TEST_F(ShippedSoundData, EveryEventAloneIsAudibleAndPeaksWellBelowFullScale)
{
    for (const auto& entry : system->GetSoundTable())
    {
        const bool music = !entry.second->oneShot;
        // Variants are picked at random: eight plays hear every one of the quotes.
        const int plays = entry.first == "GoalQuotes" ? 8 : 1;
        float peak = 0.0f;
        for (int play = 0; play < plays; ++play)
            for (float sample : RenderAlone(entry.first.c_str(), music ? kMusicSeconds : 5.0))
                peak = std::max(peak, std::fabs(sample));
        EXPECT_GE(peak, 0.05f) << entry.first;
        // Under the knee, so the limiter never touches a sound alone and this is its peak as mixed.
        EXPECT_LT(peak, kLimiterKnee) << entry.first;
    }
}

TEST_F(ShippedSoundData, EveryClipStartsAndEndsNearSilenceSoNoneClicks)
{
    for (const char* bankFile : {"SFX.bank", "VO.bank", "Music.bank"})
    {
        const audio::BankFile bank = Bank(bankFile);
        for (std::size_t i = 0; i < bank.waves.size(); ++i)
        {
            audio::Wave wave;
            ASSERT_EQ(audio::DecodeWave(bank.waves[i].data(), bank.waves[i].size(), &wave),
                      audio::Result::Ok);
            EXPECT_LT(std::fabs(wave.samples.front()), 0.05f) << bankFile << " wave " << i << " starts";
            EXPECT_LT(std::fabs(wave.samples.back()), 0.05f) << bankFile << " wave " << i << " ends";
        }
    }
}

TEST_F(ShippedSoundData, LevelTracksMatchInLoudnessAndEveryIntensityStepChangesTheMix)
{
    // The default, then the values the level music eases to as rounds finish.
    const std::vector<float> steps = {0.0f, 0.6f, 1.6f, 2.6f, 3.2f, 4.0f};
    std::vector<double> fullRms;
    for (const char* name : {"LevelMusic1", "LevelMusic2", "LevelMusic3"})
    {
        std::vector<float> previous = RenderAlone(name, 2.0, steps[0]);
        for (std::size_t i = 1; i < steps.size(); ++i)
        {
            const std::vector<float> current = RenderAlone(name, 2.0, steps[i]);
            std::vector<float> change(current.size());
            for (std::size_t k = 0; k < current.size(); ++k)
                change[k] = current[k] - previous[k];
            // A change under a tenth of the mix (-20 dB) would go unheard under the music itself.
            EXPECT_GT(Rms(change), 0.1 * std::max(Rms(current), Rms(previous)))
                << name << " from " << steps[i - 1] << " to " << steps[i];
            previous = current;
        }
        fullRms.push_back(20.0 * std::log10(Rms(RenderAlone(name, kMusicSeconds, 4.0f))));
    }
    const auto [quietest, loudest] = std::minmax_element(fullRms.begin(), fullRms.end());
    EXPECT_LT(*loudest - *quietest, 1.0) << "the three tracks are RMS-matched";
    EXPECT_NEAR(*loudest, -20.0, 1.0);
}

TEST_F(ShippedSoundData, TheLoudestMomentOfAGoalStaysBelowFullScaleBeforeTheLimiter)
{
    // The goal's effects as the game times them: a full-speed bounce, the goal a quarter second later,
    // the goal quote a little over a second after that.
    SoundSystem::GetSoundInstance("BallBounce")->SetParameter(1.0f);
    std::vector<float> effects;
    SoundSystem::PlaySound("BallBounce");
    RenderOn(effects, 0.25);
    SoundSystem::PlaySound("GoalScore1");
    RenderOn(effects, 1.05);
    SoundSystem::GetSoundInstance("GoalQuotes")->Play();
    RenderOn(effects, 2.0);
    float effectsPeak = 0.0f;
    for (float sample : effects)
        effectsPeak = std::max(effectsPeak, std::fabs(sample));

    for (const char* name : {"LevelMusic1", "LevelMusic2", "LevelMusic3"})
    {
        float musicPeak = 0.0f;
        for (float sample : RenderAlone(name, kMusicSeconds, 4.0f))
            musicPeak = std::max(musicPeak, std::fabs(sample));
        // Each part alone stays under the knee, so the limiter left it as mixed, and the mix is a sum: the
        // goal can fall anywhere in the loop and its sum still peaks at most at the two peaks together.
        EXPECT_LT(musicPeak, kLimiterKnee) << name;
        EXPECT_LT(effectsPeak, kLimiterKnee);
        EXPECT_LT(musicPeak + effectsPeak, 1.0f) << name;
    }
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
