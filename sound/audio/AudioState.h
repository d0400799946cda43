#pragma once
// The audio layer's inner records: banks, event definitions, instances and their voices. Only the audio
// layer's own sources include this file.
#include "AudioTypes.h"
#include "BankFormat.h"
#include "WaveDecode.h"

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace audio::detail
{

struct Layer
{
    std::vector<const Wave*> variants;
    bool loop = false;
    std::vector<GainPoint> gain;
    // Each layer picks its variants with its own generator, so the game's random numbers (and with them
    // its replays) never depend on which sounds played.
    std::mt19937 picker;

    // The curve's gain at a parameter value: flat beyond the end points, linear between them.
    float GainAt(float parameter) const;
};

struct EventDef
{
    Guid id;
    std::string path;
    float fadeOut = 0.0f;
    bool hasParameter = false;
    ParameterDescription parameter;
    std::vector<Layer> layers;
    bool oneshot = true;
    int lengthMs = 0;
    bool sampleDataLoaded = false;
};

struct BankState
{
    Guid id;
    BankKind kind = BankKind::Normal;
    std::vector<std::unique_ptr<Wave>> waves;
    std::vector<std::unique_ptr<EventDef>> events;
    std::vector<std::uint32_t> descriptionSlots; // one per event, same order
};

struct DescriptionState
{
    EventDef* def = nullptr;
    std::uint32_t bankSlot = 0;
};

struct Voice
{
    const Wave* wave = nullptr;
    std::size_t layer = 0;
    double position = 0.0; // in source frames
    bool loop = false;
    bool ended = false;
    // The gain (volume x layer curve) this voice was last mixed at; below 0 until its first block, which
    // starts at its target gain rather than ramping up from silence.
    float mixedGain = -1.0f;
};

struct InstanceState
{
    std::uint32_t descriptionSlot = 0;
    EventDef* def = nullptr;
    PlaybackState state = PlaybackState::Stopped;
    float volume = 1.0f;
    float pitch = 1.0f;
    float parameter = 0.0f;
    bool released = false;
    bool fading = false;
    float fade = 1.0f;
    std::vector<Voice> voices;

    // True while the instance's voices advance (Starting, Playing or Stopping).
    bool Advancing() const;
    bool AllVoicesEnded() const;
    int LiveVoices() const;
};

// A table entry: a handle matches it only while it is live and the generations agree.
template <typename T> struct Slot
{
    std::uint32_t generation = 0;
    bool live = false;
    T value{};
};

// Restarts an instance's voices from 0, one variant per layer.
void StartVoices(InstanceState& instance);
// Ends every voice at once.
void EndVoices(InstanceState& instance);
// Advances an instance's voices and fade by seconds of playback without producing sound.
void AdvanceInstance(InstanceState& instance, double seconds);
// Adds frames of the instance's sound into interleaved stereo out at outputRate and advances it. Each voice
// that sounds takes one from voiceBudget; once it is spent, voices only keep their timing. A volume or
// parameter change since the last block ramps linearly across this block, so it never clicks.
void MixInstance(InstanceState& instance, float* out, int frames, int outputRate, int& voiceBudget);

// Where the master limiter's knee starts: about -3 dBFS.
inline constexpr float kLimiterKnee = 0.7071f;
// The master limiter: samples within the knee pass unchanged; above it they bend smoothly (continuous
// slope) towards full scale and never reach past it. NaN becomes silence.
void LimitMix(float* out, int samples);

} // namespace audio::detail
