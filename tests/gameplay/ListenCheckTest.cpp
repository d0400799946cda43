#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelMusicScript.h"
#include "OffscreenGL.h"
#include "PlayArena.h"
#include "PlayHarness.h"
#include "SoundPlayLog.h"
#include "SoundSystem.h"
#include "VoiceOverScripts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A seeded round of the real game with the shipped banks, heard through the Manual output: the round call,
// the music, the first goal's line a second after the goal and the lead line at time-up. The mix is saved
// as screenshots/listen_check.wav for a person to listen to.
namespace
{
constexpr int kSampleRate = 48000;

void WriteWav(const std::filesystem::path& path, const std::vector<float>& stereo)
{
    std::vector<std::int16_t> samples(stereo.size());
    std::transform(stereo.begin(), stereo.end(), samples.begin(),
                   [](float s) { return static_cast<std::int16_t>(std::clamp(s, -1.0f, 1.0f) * 32767.0f); });
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    put32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(2);
    put32(kSampleRate);
    put32(kSampleRate * 4);
    put16(4);
    put16(16);
    out.write("data", 4);
    put32(dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
}

// Root mean square of the stereo mix between two step counts.
double Level(const std::vector<float>& stereo, int fromStep, int toStep)
{
    const std::size_t begin = static_cast<std::size_t>(fromStep) * 2 * PlayHarness::kFramesPerStep;
    const std::size_t end =
        std::min(stereo.size(), static_cast<std::size_t>(toStep) * 2 * PlayHarness::kFramesPerStep);
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i)
        sum += static_cast<double>(stereo[i]) * stereo[i];
    return end > begin ? std::sqrt(sum / static_cast<double>(end - begin)) : 0.0;
}

class ListenCheck : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        harness = std::make_unique<PlayHarness>();
        PlayHarness::Options options;
        options.manualAudio = true;
        if (!harness->Start(startFailure, std::move(options)))
            harness.reset();
    }
    static void TearDownTestSuite() { harness.reset(); }
    void SetUp() override
    {
        if (!harness)
            GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(startFailure);
        harness->ResetWorld(5);
        SetSoundPlayLogging(true);
        ClearSoundPlayLog();
    }
    void TearDown() override { SetSoundPlayLogging(false); }

    // The lines and tracks this check is about, in the order they started. The manager's "RoundEnd" cue is
    // left out: it answers the same event as the lead line, in observer order, which is no order at all.
    static std::vector<std::string> Heard()
    {
        std::vector<std::string> heard;
        for (const std::string& name : SoundPlayLog())
            if (name.rfind("LevelMusic", 0) == 0 || (name.rfind("Round", 0) == 0 && name != "RoundEnd") ||
                name.rfind("FirstGoal", 0) == 0 || name.find("Lead") != std::string::npos ||
                name == "TiedPoints")
                heard.push_back(name);
        return heard;
    }

    static std::unique_ptr<PlayHarness> harness;
    static std::string startFailure;
};
std::unique_ptr<PlayHarness> ListenCheck::harness;
std::string ListenCheck::startFailure;

TEST_F(ListenCheck, ARoundSoundsItsCallMusicGoalLineAndLead)
{
    PlayHarness& game = *harness;
    const TestArena arena = BuildTestArena();
    GameObject* manager = gGameObjectFactory->GetObject(arena.manager);
    ASSERT_NE(manager, nullptr);
    VoiceOverScripts voice;
    manager->AddScript(voice);
    LevelMusicScript music;
    manager->AddScript(music);
    game.Step(10);

    RoundStartEvent round;
    EventManager::Dispatch(&round);
    LevelStartEvent start;
    EventManager::Dispatch(&start);
    ASSERT_FALSE(CurrentMusicName.empty());
    game.Step(90);
    game.Shot("listen_check_round");
    const int goalStep = game.Updates();
    GoalScoreEvent goal(1.0f);
    EventManager::Dispatch(&goal);
    int lineStep = 0;
    for (int step = 0; step < 120 && lineStep == 0; ++step)
    {
        game.Step();
        const std::vector<std::string> heard = Heard();
        if (std::find(heard.begin(), heard.end(), "FirstGoalOrange") != heard.end())
            lineStep = game.Updates();
    }
    EXPECT_EQ(lineStep - goalStep, 61) << "the goal line a little over a second after the goal";
    game.Step(120);
    GoalScoreEvent timeUp(0.0f);
    EventManager::Dispatch(&timeUp);
    game.Step(150);

    // The next round's call comes from the manager's own round start.
    EXPECT_EQ(Heard(), (std::vector<std::string>{"RoundOne", CurrentMusicName, "FirstGoalOrange",
                                                 "OrangeGainLead", "RoundTwo"}));
    const std::vector<float>& mix = game.AudioFrames();
    std::filesystem::create_directories("screenshots");
    WriteWav("screenshots/listen_check.wav", mix);
    std::string played;
    for (const std::string& name : SoundPlayLog())
        played += " " + name;
    std::printf("listen check: goal at step %d, line at step %d, %zu frames; played:%s\n", goalStep, lineStep,
                mix.size() / 2, played.c_str());
    EXPECT_GT(Level(mix, 12, 60), 0.001) << "the round call and the music sound";
    EXPECT_GT(Level(mix, goalStep + 20, goalStep + 55), 0.001) << "the music goes on";
}
} // namespace
