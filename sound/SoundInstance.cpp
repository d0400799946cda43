#include "SoundInstance.h"

#include "SoundError.h"
#include "SoundPlayLog.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr const char* kSourceFile = "SoundInstance.cpp";
}

SoundInstance::~SoundInstance()
{
    FreeChannels();
}

void SoundInstance::FreeChannels()
{
    for (SoundChannel* channel : channels)
        delete channel;
    channels.clear();
}

SoundChannel* SoundInstance::Play()
{
    if (!description.isValid())
        return nullptr;
    SoundChannel* channel = ChooseChannel();

    // A released instance is gone once it stops; the probe finds out and a fresh one takes its place.
    if (channel->eventInstance.setVolume(channel->volume) != audio::Result::Ok)
        CheckSound(kSourceFile, 299, description.createInstance(&channel->eventInstance));
    if (!channel->eventInstance.isValid())
        return channel;

    audio::EventInstance& instance = channel->eventInstance;
    if (CheckSound(kSourceFile, 260, instance.start()))
        LogSoundPlay(name);
    CheckSound(kSourceFile, 261, instance.release());
    CheckSound(kSourceFile, 263, instance.setVolume(channel->volume));
    CheckSound(kSourceFile, 264, instance.setPitch(channel->pitch));
    if (channel->hasParameter)
        CheckSound(kSourceFile, 267,
                   instance.setParameterValueByIndex(channel->parameter.index, channel->parameterValue));
    return channel;
}

SoundChannel* SoundInstance::ChooseChannel()
{
    // A full set always restarts its first channel, even when another one is free: the game's sounds were
    // tuned with this.
    if (channels.size() >= kMaxChannels)
    {
        SoundChannel* first = *channels.begin();
        first->Stop();
        return first;
    }
    for (SoundChannel* channel : channels)
        if (!channel->IsPlaying())
            return channel;
    return NewChannel();
}

SoundChannel* SoundInstance::NewChannel()
{
    auto* channel = new SoundChannel();
    channel->volume = volume;
    channel->pitch = pitch;
    channel->parameterValue = parameterValue;
    channel->hasParameter = hasParameter;
    channels.insert(channel);

    int count = 0;
    CheckSound(kSourceFile, 45, description.getParameterCount(&count));
    if (count > 0)
    {
        CheckSound(kSourceFile, 49, description.getParameterByIndex(0, &channel->parameter));
        channel->SetParameter(parameterValue);
        channel->EnsureInstance(description);
    }
    return channel;
}

void SoundInstance::SetVolume(float v)
{
    if (std::isnan(v))
        return;
    volume = std::clamp(v, 0.0f, 10.0f);
    for (SoundChannel* channel : channels)
    {
        if (channel->volume == volume)
            continue;
        channel->volume = volume;
        if (channel->IsPlaying())
            CheckSound(kSourceFile, 172, channel->eventInstance.setVolume(volume));
    }
}

void SoundInstance::SetParameter(float v)
{
    if (!hasParameter || std::isnan(v))
        return;
    parameterValue = v;
    for (SoundChannel* channel : channels)
        channel->SetParameter(v);
}

SoundChannel* SoundInstance::FindPlayingChannel() const
{
    for (SoundChannel* channel : channels)
        if (channel->IsPlaying())
            return channel;
    return nullptr;
}
