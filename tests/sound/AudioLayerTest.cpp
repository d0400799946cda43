#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

using audio::PlaybackState;
using audio::Result;

namespace
{
constexpr std::uint32_t kHalfSecond = 1; // one-shot, 0.5 s of 0.25
constexpr std::uint32_t kLoop = 2;       // looping, fades out over 0.5 s
constexpr std::uint32_t kCurve = 3;      // parameter 0..1, gain 0 at 0 and 1 at 1

constexpr int kWaveRate = 8000;

audio::BankFile TestBank()
{
    audio::BankFile bank;
    bank.id = TestGuid(100);
    bank.waves.push_back(MakeWav(kWaveRate, 1, kWaveRate / 2, 0.25f));  // 0: 0.5 s mono
    bank.waves.push_back(MakeWav(kWaveRate, 2, kWaveRate / 10, 0.25f)); // 1: 0.1 s stereo
    bank.events.push_back(MakeEvent(kHalfSecond, "event:/SFX/Half", {{0}}));
    audio::EventRecord loop = MakeEvent(kLoop, "event:/Music/Loop", {{1}}, true);
    loop.fadeOut = 0.5f;
    bank.events.push_back(loop);
    audio::EventRecord curve = MakeEvent(kCurve, "event:/SFX/Curve", {{0}});
    curve.hasParameter = true;
    curve.parameter = {"Intensity", 0.0f, 1.0f, 0.0f};
    curve.layers[0].gain = {{0.0f, 0.0f}, {1.0f, 1.0f}};
    bank.events.push_back(curve);
    return bank;
}

PlaybackState StateOf(const audio::EventInstance& instance)
{
    PlaybackState state = PlaybackState::Sustaining;
    instance.getPlaybackState(&state);
    return state;
}

class AudioLayerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        audio::Bank bank;
        ASSERT_EQ(audio.Load(TestBank(), &bank), Result::Ok);
    }

    audio::EventInstance Started(std::uint32_t event)
    {
        audio::EventInstance instance;
        EXPECT_EQ(audio.Event(event).createInstance(&instance), Result::Ok);
        EXPECT_EQ(instance.start(), Result::Ok);
        return instance;
    }

    ManualAudio audio;
};
} // namespace

TEST_F(AudioLayerTest, NewInstanceIsStoppedAtUnitVolumeAndPitchWithItsDefaultParameter)
{
    audio::EventInstance instance;
    ASSERT_EQ(audio.Event(kCurve).createInstance(&instance), Result::Ok);
    float volume = 0, pitch = 0, parameter = -1;
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopped);
    instance.getVolume(&volume);
    instance.getPitch(&pitch);
    instance.getParameterValueByIndex(0, &parameter);
    EXPECT_EQ(volume, 1.0f);
    EXPECT_EQ(pitch, 1.0f);
    EXPECT_EQ(parameter, 0.0f);
}

TEST_F(AudioLayerTest, StartingBecomesPlayingAtNextUpdateAndStoppedAtTheUpdateAfterItsVoicesEnd)
{
    audio::EventInstance instance = Started(kHalfSecond);
    EXPECT_EQ(StateOf(instance), PlaybackState::Starting);
    audio.system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Playing);
    audio.system->AdvanceTime(0.4);
    audio.system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Playing);
    audio.system->AdvanceTime(0.2);
    EXPECT_EQ(StateOf(instance), PlaybackState::Playing) << "states change only at update";
    audio.system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopped);
}

TEST_F(AudioLayerTest, StartRestartsFromStoppingAndFromStopped)
{
    audio::EventInstance instance = Started(kLoop);
    audio.system->update();
    instance.stop(audio::StopMode::AllowFadeout);
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopping);
    instance.start();
    EXPECT_EQ(StateOf(instance), PlaybackState::Starting);
    instance.stop(audio::StopMode::Immediate);
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopped);
    instance.start();
    audio.system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Playing);
}

TEST_F(AudioLayerTest, LoopsNeverStopAndAFadeOutPassesThroughStopping)
{
    audio::EventInstance instance = Started(kLoop);
    for (int i = 0; i < 50; ++i)
    {
        audio.system->AdvanceTime(0.2);
        audio.system->update();
    }
    EXPECT_EQ(StateOf(instance), PlaybackState::Playing);

    instance.stop(audio::StopMode::AllowFadeout);
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopping);
    audio.system->AdvanceTime(0.3);
    audio.system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopping) << "the fade takes 0.5 s";
    audio.system->AdvanceTime(0.3);
    audio.system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopped);
}

TEST_F(AudioLayerTest, ReleasedInstanceLivesUntilAnUpdateFindsItStoppedAndItsStaleHandleThenFailsEverywhere)
{
    audio::EventInstance instance = Started(kHalfSecond);
    ASSERT_EQ(instance.release(), Result::Ok);
    EXPECT_EQ(instance.setVolume(0.5f), Result::Ok) << "start, release, setVolume must work";
    audio.system->update();
    EXPECT_TRUE(instance.isValid());
    audio.system->AdvanceTime(0.6);
    audio.system->update();
    EXPECT_FALSE(instance.isValid());
    EXPECT_EQ(audio.system->LiveInstanceCount(), 0);

    audio::EventInstance reused;
    ASSERT_EQ(audio.Event(kHalfSecond).createInstance(&reused), Result::Ok);
    ASSERT_EQ(reused.handle.slot, instance.handle.slot) << "the freed slot is reused";

    float value = 7.0f;
    PlaybackState state = PlaybackState::Playing;
    audio::EventDescription description;
    EXPECT_EQ(instance.start(), Result::InvalidHandle);
    EXPECT_EQ(instance.stop(audio::StopMode::Immediate), Result::InvalidHandle);
    EXPECT_EQ(instance.release(), Result::InvalidHandle);
    EXPECT_EQ(instance.setVolume(1.0f), Result::InvalidHandle);
    EXPECT_EQ(instance.setPitch(1.0f), Result::InvalidHandle);
    EXPECT_EQ(instance.setParameterValueByIndex(0, 1.0f), Result::InvalidHandle);
    EXPECT_EQ(instance.getVolume(&value), Result::InvalidHandle);
    EXPECT_EQ(value, 0.0f) << "out-parameters are set on failure too";
    EXPECT_EQ(instance.getPlaybackState(&state), Result::InvalidHandle);
    EXPECT_EQ(state, PlaybackState::Stopped);
    EXPECT_EQ(instance.getDescription(&description), Result::InvalidHandle);
    EXPECT_FALSE(description.isValid());
    EXPECT_EQ(StateOf(reused), PlaybackState::Stopped) << "the stale handle changed nothing";
}

TEST_F(AudioLayerTest, NullHandlesFailAndBadValuesChangeNothing)
{
    audio::EventInstance none;
    audio::EventDescription noEvent;
    int count = 5;
    EXPECT_EQ(none.start(), Result::InvalidHandle);
    EXPECT_EQ(noEvent.getParameterCount(&count), Result::InvalidHandle);
    EXPECT_EQ(count, 0);

    audio::EventInstance instance = Started(kCurve);
    EXPECT_EQ(instance.setVolume(std::nanf("")), Result::InvalidParam);
    EXPECT_EQ(instance.setVolume(-1.0f), Result::InvalidParam);
    EXPECT_EQ(instance.setPitch(0.0f), Result::InvalidParam);
    EXPECT_EQ(instance.setPitch(INFINITY), Result::InvalidParam);
    EXPECT_EQ(instance.setParameterValueByIndex(0, std::nanf("")), Result::InvalidParam);
    EXPECT_EQ(instance.setParameterValueByIndex(1, 0.5f), Result::InvalidParam);
    float volume = 0, pitch = 0, parameter = -1;
    instance.getVolume(&volume);
    instance.getPitch(&pitch);
    instance.getParameterValueByIndex(0, &parameter);
    EXPECT_EQ(volume, 1.0f);
    EXPECT_EQ(pitch, 1.0f);
    EXPECT_EQ(parameter, 0.0f);

    EXPECT_EQ(instance.setParameterValueByIndex(0, 5.0f), Result::Ok);
    instance.getParameterValueByIndex(0, &parameter);
    EXPECT_EQ(parameter, 1.0f) << "the audio layer clamps to the parameter's range";
}

TEST_F(AudioLayerTest, ReleaseAllInstancesAndUnloadAllDestroyAtOnce)
{
    audio::EventInstance a = Started(kHalfSecond);
    audio::EventInstance b = Started(kHalfSecond);
    audio::EventInstance loop = Started(kLoop);
    ASSERT_EQ(audio.Event(kHalfSecond).releaseAllInstances(), Result::Ok);
    EXPECT_FALSE(a.isValid());
    EXPECT_FALSE(b.isValid());
    EXPECT_TRUE(loop.isValid());

    audio::EventDescription description = audio.Event(kLoop);
    ASSERT_EQ(audio.system->unloadAll(), Result::Ok);
    EXPECT_FALSE(loop.isValid());
    EXPECT_FALSE(description.isValid());
    EXPECT_EQ(audio.system->LoadedBankCount(), 0);
}

TEST_F(AudioLayerTest, AnEventSoundsForItsLengthThenFallsSilent)
{
    Started(kHalfSecond);
    const std::vector<float> first = audio.Render(0.4);
    EXPECT_NEAR(Rms(first), 0.25, 1e-3);
    const std::vector<float> rest = audio.Render(0.2);
    const std::size_t endOfSound = static_cast<std::size_t>(0.1 * audio::kMixRate) * 2;
    EXPECT_NEAR(Rms(rest, 0, endOfSound - 8), 0.25, 1e-3);
    EXPECT_EQ(Rms(rest, endOfSound + 8), 0.0);
}

TEST_F(AudioLayerTest, VolumeChangesRampAcrossOneBlockToSilenceOrTwiceTheRms)
{
    constexpr std::size_t kRamp = 2 * audio::kMixBlockFrames;
    audio::EventInstance instance = Started(kHalfSecond);
    audio.Render(0.01);
    instance.setVolume(0.0f);
    const std::vector<float> down = audio.Render(0.1);
    EXPECT_NEAR(down[0], 0.25f, 1e-3f) << "the ramp starts at the old gain";
    EXPECT_NEAR(down[kRamp / 2], 0.125f, 1e-3f) << "half-way down at half the block";
    for (std::size_t i = 2; i < kRamp; i += 2)
        ASSERT_LE(down[i], down[i - 2]) << "falls without a step back up at " << i;
    EXPECT_EQ(Rms(down, kRamp), 0.0);
    instance.setVolume(1.0f);
    audio.Render(0.03);
    const double single = Rms(audio.Render(0.1));
    instance.setVolume(2.0f);
    const double twice = Rms(audio.Render(0.1), kRamp);
    EXPECT_NEAR(twice, 2.0 * single, 1e-4);
}

TEST_F(AudioLayerTest, VoicesSumAndTheLimiterKeepsTheMixWithinFullScaleWithoutNaN)
{
    Started(kHalfSecond);
    Started(kHalfSecond);
    EXPECT_NEAR(Rms(audio.Render(0.1)), 0.5, 1e-3) << "below the knee the sum passes unchanged";
    for (int i = 0; i < 4; ++i)
        Started(kHalfSecond);
    const std::vector<float> loud = audio.Render(0.1);
    for (float sample : loud)
    {
        ASSERT_FALSE(std::isnan(sample));
        ASSERT_LT(std::fabs(sample), 1.0f);
    }
    EXPECT_GT(Rms(loud), 0.95) << "1.5 is pressed just under full scale";
}

TEST_F(AudioLayerTest, AFadeOutRampsDownToSilence)
{
    audio::EventInstance instance = Started(kLoop);
    audio.Render(0.1);
    instance.stop(audio::StopMode::AllowFadeout);
    const std::vector<float> fade = audio.Render(0.6);
    const std::size_t block = static_cast<std::size_t>(0.1 * audio::kMixRate) * 2;
    double previous = 1.0;
    for (int b = 0; b < 5; ++b)
    {
        const double level = Rms(fade, b * block, (b + 1) * block);
        EXPECT_LT(level, previous) << "block " << b;
        previous = level;
    }
    EXPECT_EQ(Rms(fade, 5 * block), 0.0);
}

TEST_F(AudioLayerTest, PitchScalesTheLengthAndTheCurveFollowsTheParameter)
{
    audio::EventInstance fast = Started(kHalfSecond);
    fast.setPitch(2.0f);
    audio.system->update();
    audio.system->AdvanceTime(0.26);
    audio.system->update();
    EXPECT_EQ(StateOf(fast), PlaybackState::Stopped);

    audio::EventInstance curve = Started(kCurve);
    EXPECT_EQ(Rms(audio.Render(0.05)), 0.0) << "gain 0 at the default 0";
    curve.setParameterValueByIndex(0, 0.5f);
    const std::vector<float> raised = audio.Render(0.05);
    EXPECT_LT(raised[0], 0.01f) << "the curve's change ramps in";
    EXPECT_NEAR(Rms(raised, 2 * audio::kMixBlockFrames), 0.125, 1e-3);
}

TEST(AudioVoiceCap, VoicesBeyondTheCapAreSilentButKeepTheirTiming)
{
    TempFolder folder;
    audio::System* system = nullptr;
    audio::SetNextOutput(audio::OutputKind::Manual);
    ASSERT_EQ(audio::System::create(&system), Result::Ok);
    ASSERT_EQ(system->initialize(2, 0, 0, nullptr), Result::Ok);
    audio::ResetNextOutput();

    const std::filesystem::path path = folder.Path() / "capped.bank";
    WriteBytes(path, audio::WriteBank(TestBank()));
    audio::Bank bank;
    ASSERT_EQ(system->loadBankFile(path.string().c_str(), 0, &bank), Result::Ok);
    audio::EventDescription description;
    const audio::Guid id = TestGuid(kHalfSecond);
    system->getEventByID(&id, &description);
    audio::EventInstance instances[3];
    for (audio::EventInstance& instance : instances)
    {
        description.createInstance(&instance);
        instance.start();
    }
    std::vector<float> out(2 * 4800);
    system->Render(out.data(), 4800);
    EXPECT_NEAR(Rms(out), 0.5, 1e-3) << "two of three voices sound";
    system->update();
    system->AdvanceTime(0.45);
    system->update();
    EXPECT_EQ(StateOf(instances[2]), PlaybackState::Stopped) << "the silent voice ended on time";
    system->release();
}

TEST(AudioSilentOutput, UnknownDriverGivesOkWithOneWarningAndKeepsTimeOnTheInjectedClock)
{
    TempFolder folder;
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    double now = 100.0;
    audio::SetNextClock([&now] { return now; });
    audio::System* system = nullptr;
    ASSERT_EQ(audio::System::create(&system), Result::Ok);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(system->initialize(1024, 0, 0, nullptr), Result::Ok);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    unsetenv("SDL_AUDIODRIVER");
    audio::ResetNextOutput();
    EXPECT_EQ(system->GetOutputKind(), audio::OutputKind::Silent);
    EXPECT_EQ(printed.rfind("WARNING: ", 0), 0u) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;

    WriteBytes(folder.Path() / "t.bank", audio::WriteBank(TestBank()));
    audio::Bank bank;
    ASSERT_EQ(system->loadBankFile((folder.Path() / "t.bank").string().c_str(), 0, &bank), Result::Ok);
    audio::EventDescription description;
    const audio::Guid id = TestGuid(kHalfSecond);
    system->getEventByID(&id, &description);
    audio::EventInstance instance;
    description.createInstance(&instance);
    instance.start();
    system->update();
    now += 0.45;
    system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Playing);
    now += 0.1;
    system->update();
    EXPECT_EQ(StateOf(instance), PlaybackState::Stopped);
    system->release();
}

TEST(AudioDeviceOutput, DummyDriverMixesInRealTimeAndStopsTheEventAfterItsLength)
{
    TempFolder folder;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    audio::System* system = nullptr;
    ASSERT_EQ(audio::System::create(&system), Result::Ok);
    ASSERT_EQ(system->initialize(1024, 0, 0, nullptr), Result::Ok);
    unsetenv("SDL_AUDIODRIVER");
    if (system->GetOutputKind() != audio::OutputKind::Device)
    {
        system->release();
        GTEST_SKIP() << "SDL has no dummy audio driver here";
    }
    WriteBytes(folder.Path() / "t.bank", audio::WriteBank(TestBank()));
    audio::Bank bank;
    ASSERT_EQ(system->loadBankFile((folder.Path() / "t.bank").string().c_str(), 0, &bank), Result::Ok);
    audio::EventDescription description;
    const audio::Guid id = TestGuid(kHalfSecond);
    system->getEventByID(&id, &description);
    audio::EventInstance instance;
    description.createInstance(&instance);
    instance.start();
    instance.release();

    const auto begin = std::chrono::steady_clock::now();
    while (instance.isValid() && std::chrono::steady_clock::now() - begin < std::chrono::seconds(5))
    {
        system->update();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_FALSE(instance.isValid());
    EXPECT_GE(seconds, 0.4);
    system->release();
}

namespace
{
constexpr std::uint32_t kSine = 10;     // one-shot 100 Hz sine at 0.25, 1 s
constexpr std::uint32_t kRamp = 11;     // one-shot ramp from 0 to 0.5 over 0.1 s
constexpr std::uint32_t kSineLoop = 12; // exactly ten periods of the sine, looping
constexpr std::uint32_t kQuiet = 13;    // one-shot sine at -12 dBFS
constexpr std::uint32_t kLoud = 14;     // one-shot sine at 0.9

std::vector<float> Sine(int frames, float amplitude)
{
    std::vector<float> samples(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * 100.0 * i / kWaveRate));
    return samples;
}

audio::BankFile SignalBank()
{
    std::vector<float> ramp(kWaveRate / 10);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = 0.5f * static_cast<float>(i) / static_cast<float>(ramp.size());
    audio::BankFile bank;
    bank.id = TestGuid(200);
    bank.waves.push_back(MakeWav(kWaveRate, Sine(kWaveRate, 0.25f)));
    bank.waves.push_back(MakeWav(kWaveRate, ramp));
    bank.waves.push_back(MakeWav(kWaveRate, Sine(kWaveRate / 10, 0.25f)));
    bank.waves.push_back(
        MakeWav(kWaveRate, Sine(kWaveRate, static_cast<float>(std::pow(10.0, -12.0 / 20.0)))));
    bank.waves.push_back(MakeWav(kWaveRate, Sine(kWaveRate, 0.9f)));
    bank.events.push_back(MakeEvent(kSine, "event:/Test/Sine", {{0}}));
    bank.events.push_back(MakeEvent(kRamp, "event:/Test/Ramp", {{1}}));
    bank.events.push_back(MakeEvent(kSineLoop, "event:/Test/SineLoop", {{2}}, true));
    bank.events.push_back(MakeEvent(kQuiet, "event:/Test/Quiet", {{3}}));
    bank.events.push_back(MakeEvent(kLoud, "event:/Test/Loud", {{4}}));
    return bank;
}

// Upward zero crossings of the left channel.
int RisingZeroCrossings(const std::vector<float>& stereo)
{
    int crossings = 0;
    for (std::size_t i = 2; i < stereo.size(); i += 2)
        crossings += stereo[i - 2] < 0.0f && stereo[i] >= 0.0f;
    return crossings;
}

float LargestStep(const std::vector<float>& stereo)
{
    float largest = 0.0f;
    for (std::size_t i = 2; i < stereo.size(); i += 2)
        largest = std::max(largest, std::fabs(stereo[i] - stereo[i - 2]));
    return largest;
}

class AudioSignalPath : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        audio::Bank bank;
        ASSERT_EQ(audio.Load(SignalBank(), &bank), Result::Ok);
    }

    std::vector<float> RenderAlone(std::uint32_t event, double seconds, float pitch = 1.0f, int copies = 1)
    {
        std::vector<audio::EventInstance> instances(static_cast<std::size_t>(copies));
        for (audio::EventInstance& instance : instances)
        {
            audio.Event(event).createInstance(&instance);
            instance.setPitch(pitch);
            instance.start();
        }
        std::vector<float> out = audio.Render(seconds);
        for (audio::EventInstance& instance : instances)
            instance.stop(audio::StopMode::Immediate);
        return out;
    }

    ManualAudio audio;
};
} // namespace

TEST_F(AudioSignalPath, PitchTwoHalvesASinesPeriod)
{
    EXPECT_NEAR(RisingZeroCrossings(RenderAlone(kSine, 0.4)), 40, 1);
    EXPECT_NEAR(RisingZeroCrossings(RenderAlone(kSine, 0.4, 2.0f)), 80, 1);
}

TEST_F(AudioSignalPath, LinearResamplingTurnsARampIntoAFinerRamp)
{
    const std::vector<float> out = RenderAlone(kRamp, 0.09);
    // Six output frames per source frame: each output step is a sixth of the source's.
    const float step = 0.5f / (kWaveRate / 10) / 6.0f;
    for (std::size_t i = 2; i < out.size(); i += 2)
    {
        const float rise = out[i] - out[i - 2];
        ASSERT_GT(rise, 0.5f * step) << "a step, not a ramp, at frame " << i / 2;
        ASSERT_LT(rise, 1.5f * step) << "a jump, not a ramp, at frame " << i / 2;
    }
}

TEST_F(AudioSignalPath, ALoopingWaveRunsAcrossItsSeamWithoutAJump)
{
    const std::vector<float> looped = RenderAlone(kSineLoop, 0.35);
    const std::vector<float> plain = RenderAlone(kSine, 0.35);
    EXPECT_EQ(RisingZeroCrossings(looped), RisingZeroCrossings(plain)) << "three seams keep the period";
    EXPECT_LE(LargestStep(looped), LargestStep(plain) * 1.01f);
}

TEST_F(AudioSignalPath, TheLimiterLeavesMinus12DbfsAloneAndNeverPassesFullScale)
{
    const std::vector<float> quiet = RenderAlone(kQuiet, 0.5);
    const double expectedRms = std::pow(10.0, -12.0 / 20.0) / std::sqrt(2.0);
    EXPECT_NEAR(20.0 * std::log10(Rms(quiet) / expectedRms), 0.0, 0.1);

    float bentPeak = 0.0f;
    for (float sample : RenderAlone(kLoud, 0.5))
        bentPeak = std::max(bentPeak, std::fabs(sample));
    EXPECT_GT(bentPeak, 0.8f);
    EXPECT_LT(bentPeak, 0.89f) << "a 0.9 sine is above the knee and is bent, not clipped or passed";

    const std::vector<float> loud = RenderAlone(kLoud, 0.5, 1.0f, 8);
    float peak = 0.0f;
    for (float sample : loud)
    {
        ASSERT_FALSE(std::isnan(sample));
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.99f) << "eight sines at 0.9 press against full scale";
    EXPECT_EQ(RisingZeroCrossings(loud), RisingZeroCrossings(RenderAlone(kSine, 0.5))) << "the tone survives";
}

TEST(AudioSilentOutput, ASoundStartedAfterALongFrameLastsItsLengthFromItsStart)
{
    TempFolder folder;
    double now = 50.0;
    audio::SetNextOutput(audio::OutputKind::Silent);
    audio::SetNextClock([&now] { return now; });
    audio::System* system = nullptr;
    ASSERT_EQ(audio::System::create(&system), Result::Ok);
    ASSERT_EQ(system->initialize(1024, 0, 0, nullptr), Result::Ok);
    audio::ResetNextOutput();
    audio::BankFile bank;
    bank.id = TestGuid(300);
    bank.waves.push_back(MakeWav(kWaveRate, 1, kWaveRate * 39 / 100, 0.25f)); // 0.39 s
    bank.events.push_back(MakeEvent(1, "event:/VO/Line", {{0}}));
    WriteBytes(folder.Path() / "line.bank", audio::WriteBank(bank));
    audio::Bank loaded;
    ASSERT_EQ(system->loadBankFile((folder.Path() / "line.bank").string().c_str(), 0, &loaded), Result::Ok);
    audio::EventDescription description;
    const audio::Guid id = TestGuid(1);
    system->getEventByID(&id, &description);

    system->update();
    now += 0.3; // a level load: one 300 ms frame, the line starts at its end
    audio::EventInstance line;
    description.createInstance(&line);
    line.start();
    system->update();
    const double started = now;
    now = started + 0.38;
    system->update();
    EXPECT_EQ(StateOf(line), PlaybackState::Playing);
    now = started + 0.42;
    system->update();
    EXPECT_EQ(StateOf(line), PlaybackState::Stopped);
    system->release();
}
