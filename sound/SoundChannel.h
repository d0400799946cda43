#pragma once
#include "audio/AudioSystem.h"

#include <cstdint>

// One playback slot of a sound event: an event instance that is created, started and released play by
// play, and the volume, pitch and parameter value it plays with.
class SoundChannel
{
  public:
    // Playing while the event instance exists and is neither stopped nor stopping.
    bool IsPlaying() const;
    // Stops a playing channel, letting the event fade out.
    void Stop();
    // Clamps v into the parameter's range and sends it to a playing event instance.
    void SetParameter(float v);
    // Creates an event instance from the description unless the current one still answers.
    void EnsureInstance(audio::EventDescription description);

    audio::EventInstance eventInstance;
    audio::ParameterDescription parameter;
    std::uint8_t hasParameter = 0;
    float volume = 1.0f;
    float pitch = 1.0f;
    float parameterValue = 0.0f;
};
