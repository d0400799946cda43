#pragma once
#include "SoundChannel.h"
#include "audio/AudioSystem.h"

#include <cstdint>
#include <set>
#include <string>

// The game's record of one sound event, with up to ten channels that repeated plays reuse.
class SoundInstance
{
  public:
    // The most copies of one event that sound at once.
    static constexpr std::size_t kMaxChannels = 10;

    SoundInstance() = default;
    // Frees the channels.
    ~SoundInstance();
    SoundInstance(const SoundInstance&) = delete;
    SoundInstance& operator=(const SoundInstance&) = delete;

    // Plays the event on a free channel (or on the first channel once ten exist); returns the channel,
    // or null when the event has no description.
    SoundChannel* Play();
    // Volume clamped to 0..10, passed to every channel.
    void SetVolume(float v);
    // Stores v as given and passes it to every channel, which clamps it to the parameter's range.
    void SetParameter(float v);
    // The first playing channel in set order, or null.
    SoundChannel* FindPlayingChannel() const;
    // Frees every channel.
    void FreeChannels();

    audio::Guid guid;
    std::string name;
    float volume = 1.0f;
    float pitch = 1.0f;
    float parameterValue = 0.0f;
    audio::EventDescription description;
    std::uint8_t hasParameter = 0;
    std::uint8_t oneShot = 0;
    // Owned; ordered by address, which decides which channel a full set reuses.
    std::set<SoundChannel*> channels;

  private:
    SoundChannel* ChooseChannel();
    SoundChannel* NewChannel();
};
