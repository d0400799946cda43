#include "SoundChannel.h"

#include "SoundError.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr const char* kSourceFile = "SoundInstance.cpp";
}

bool SoundChannel::IsPlaying() const
{
    audio::PlaybackState state = audio::PlaybackState::Stopped;
    if (eventInstance.getPlaybackState(&state) != audio::Result::Ok)
        return false;
    return state != audio::PlaybackState::Stopped && state != audio::PlaybackState::Stopping;
}

void SoundChannel::Stop()
{
    if (IsPlaying())
        CheckSound(kSourceFile, 282, eventInstance.stop(audio::StopMode::AllowFadeout));
}

void SoundChannel::SetParameter(float v)
{
    if (!hasParameter || std::isnan(v))
        return;
    parameterValue = std::clamp(v, parameter.minimum, parameter.maximum);
    if (IsPlaying())
        CheckSound(kSourceFile, 132, eventInstance.setParameterValueByIndex(parameter.index, parameterValue));
}

void SoundChannel::EnsureInstance(audio::EventDescription description)
{
    // The volume call only probes whether the instance still exists; its failure is expected.
    if (eventInstance.setVolume(volume) != audio::Result::Ok)
        CheckSound(kSourceFile, 299, description.createInstance(&eventInstance));
}
