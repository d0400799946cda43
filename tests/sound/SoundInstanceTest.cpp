#include "SoundSystemFixture.h"

#include <algorithm>

namespace
{
audio::PlaybackState StateOf(const SoundChannel* channel)
{
    audio::PlaybackState state = audio::PlaybackState::Stopped;
    channel->eventInstance.getPlaybackState(&state);
    return state;
}
} // namespace

TEST_F(SoundSystemTest, ElevenQuickPlaysKeepTenChannelsAndRestartTheFirstOfTheSet)
{
    StartSystem();
    SoundInstance* jump = SoundSystem::GetSoundInstance("Jump");
    ASSERT_NE(jump, nullptr);
    for (int i = 0; i < 10; ++i)
        ASSERT_NE(jump->Play(), nullptr);
    ASSERT_EQ(jump->channels.size(), 10u);
    SoundChannel* first = *jump->channels.begin();
    Advance(0.1);
    EXPECT_EQ(StateOf(first), audio::PlaybackState::Playing);

    // Free one channel that is not the first: the full set still restarts the first.
    SoundChannel* last = *jump->channels.rbegin();
    last->eventInstance.stop(audio::StopMode::Immediate);
    EXPECT_EQ(jump->Play(), first);
    EXPECT_EQ(jump->channels.size(), 10u);
    EXPECT_EQ(StateOf(first), audio::PlaybackState::Starting);
}

TEST_F(SoundSystemTest, AFinishedChannelIsReusedWithAFreshEventInstance)
{
    StartSystem();
    SoundInstance* jump = SoundSystem::GetSoundInstance("Jump");
    SoundChannel* channel = jump->Play();
    ASSERT_NE(channel, nullptr);
    const audio::EventInstance firstInstance = channel->eventInstance;
    Advance(0.0);
    Advance(0.6);
    EXPECT_FALSE(firstInstance.isValid()) << "a released instance dies once it stops";
    EXPECT_FALSE(channel->IsPlaying());

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(jump->Play(), channel);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "the existence probe prints nothing";
    EXPECT_EQ(jump->channels.size(), 1u);
    EXPECT_TRUE(channel->eventInstance.isValid());
    EXPECT_NE(channel->eventInstance, firstInstance);
    EXPECT_TRUE(channel->IsPlaying());
}

TEST_F(SoundSystemTest, TheInstanceKeepsTheUnclampedParameterAndEachChannelClampsIt)
{
    StartSystem();
    SoundInstance* music = SoundSystem::GetSoundInstance("Music");
    ASSERT_TRUE(music->hasParameter);
    EXPECT_EQ(music->parameterValue, 1.0f) << "the parameter's default";
    SoundChannel* a = music->Play();
    SoundChannel* b = music->Play();
    music->SetParameter(5.0f);
    EXPECT_EQ(music->parameterValue, 5.0f);
    EXPECT_EQ(a->parameterValue, 4.0f);
    EXPECT_EQ(b->parameterValue, 4.0f);
    float sent = 0.0f;
    a->eventInstance.getParameterValueByIndex(0, &sent);
    EXPECT_EQ(sent, 4.0f);

    SoundInstance* jump = SoundSystem::GetSoundInstance("Jump");
    jump->SetParameter(3.0f);
    EXPECT_EQ(jump->parameterValue, 0.0f) << "an event without parameters ignores it";
}

TEST_F(SoundSystemTest, InstanceVolumeClampsAndReachesItsChannels)
{
    StartSystem();
    SoundInstance* jump = SoundSystem::GetSoundInstance("Jump");
    SoundChannel* channel = jump->Play();
    jump->SetVolume(12.0f);
    EXPECT_EQ(jump->volume, 10.0f);
    float volume = 0.0f;
    channel->eventInstance.getVolume(&volume);
    EXPECT_EQ(volume, 10.0f);
    jump->SetVolume(-3.0f);
    EXPECT_EQ(jump->volume, 0.0f);
    EXPECT_EQ(channel->volume, 0.0f);
}

TEST_F(SoundSystemTest, FindPlayingChannelFindsAVoiceRightAfterPlay)
{
    StartSystem();
    SoundInstance* jump = SoundSystem::GetSoundInstance("Jump");
    EXPECT_EQ(jump->FindPlayingChannel(), nullptr);
    SoundChannel* channel = jump->Play();
    EXPECT_EQ(jump->FindPlayingChannel(), channel) << "Starting counts as playing";
    channel->Stop();
    EXPECT_EQ(jump->FindPlayingChannel(), nullptr) << "Stopping does not";
}

TEST_F(SoundSystemTest, ARealFailurePrintsTheExactErrorLine)
{
    StartSystem();
    SoundInstance* music = SoundSystem::GetSoundInstance("Music");
    SoundChannel* channel = music->Play();
    channel->eventInstance.stop(audio::StopMode::Immediate);
    channel->parameter.index = 3;
    ::testing::internal::CaptureStdout();
    music->Play();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "SoundInstance.cpp(267): FMOD ERROR 2 - An invalid parameter was passed to this function.\n");
}

TEST_F(SoundSystemTest, AnEventWithoutADescriptionNeverPlays)
{
    StartSystem();
    SoundInstance orphan;
    EXPECT_EQ(orphan.Play(), nullptr);
    EXPECT_TRUE(orphan.channels.empty());
}
