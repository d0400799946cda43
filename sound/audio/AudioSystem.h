#pragma once
#include "AudioTypes.h"

#include <cstdint>
#include <functional>
#include <memory>

// Our audio layer: a system that loads banks, describes their events and plays event instances,
// mixing them into an SDL audio device, or keeping their timing with no device at all.
namespace audio
{

class System;
struct SystemState;

// Where the mix goes.
enum class OutputKind : int
{
    Device, // an SDL audio device; its callback mixes
    Silent, // no device: update advances the voices by clock time
    Manual, // tests: AdvanceTime and Render advance the voices, update only changes states
};

// The output the next System::initialize tries first (Device unless a test asks otherwise).
void SetNextOutput(OutputKind kind);
// The clock, in seconds, that the next System::initialize gives its Silent output; empty: steady_clock.
void SetNextClock(std::function<double()> clock);
// Back to a device output on steady_clock.
void ResetNextOutput();

// A handle is a value: the system's serial, a slot and the slot's generation. All zero is null; a null or
// stale handle makes every call return InvalidHandle and change nothing.
struct HandleId
{
    std::uint32_t system = 0;
    std::uint32_t slot = 0;
    std::uint32_t generation = 0;

    bool operator==(const HandleId& other) const = default;
};

class EventInstance;

// A loaded bank.
class Bank
{
  public:
    // True while the bank is loaded.
    bool isValid() const;
    // The bank's GUID.
    Result getID(Guid* id) const;

    HandleId handle;
    bool operator==(const Bank& other) const = default;
};

// One event of a loaded bank: what an instance of it will play.
class EventDescription
{
  public:
    // True while the event's bank is loaded.
    bool isValid() const;
    // Sounds are decoded when the bank loads, so these only record the request.
    Result loadSampleData();
    Result unloadSampleData();
    // The number of parameters: 0 or 1.
    Result getParameterCount(int* count) const;
    // The parameter at index (only 0 exists).
    Result getParameterByIndex(int index, ParameterDescription* parameter) const;
    // True when no layer loops.
    Result isOneshot(bool* oneshot) const;
    // The longest non-looping variant, in milliseconds.
    Result getLength(int* lengthMs) const;
    Result getID(Guid* id) const;
    // A new instance: stopped, volume 1, pitch 1, parameter at its default.
    Result createInstance(EventInstance* instance);
    // Destroys every instance of this event at once.
    Result releaseAllInstances();

    HandleId handle;
    bool operator==(const EventDescription& other) const = default;
};

// One playback of an event.
class EventInstance
{
  public:
    // True until the instance is destroyed.
    bool isValid() const;
    // Plays from the beginning; Starting until the next update, then Playing.
    Result start();
    // AllowFadeout fades over the event's fade-out time; Immediate stops at once.
    Result stop(StopMode mode);
    // Marks the instance to be destroyed at the first update that finds it stopped.
    Result release();
    Result getPlaybackState(PlaybackState* state) const;
    // Volume 0..10 (a factor on the mix).
    Result setVolume(float volume);
    Result getVolume(float* volume) const;
    // Pitch above 0 (a factor on the playback rate).
    Result setPitch(float pitch);
    Result getPitch(float* pitch) const;
    // Sets the event's parameter, clamped to its range.
    Result setParameterValueByIndex(int index, float value);
    Result getParameterValueByIndex(int index, float* value) const;
    Result getDescription(EventDescription* description) const;

    HandleId handle;
    bool operator==(const EventInstance& other) const = default;
};

class System
{
  public:
    // Creates a system; headerVersion must be kHeaderVersion.
    static Result create(System** system, unsigned int headerVersion = kHeaderVersion);
    // Opens the output; maxChannels caps the voices that sound at once (the rest keep their timing).
    // With no device it falls back to Silent, prints one WARNING line and still returns Ok.
    Result initialize(int maxChannels, unsigned int studioFlags, unsigned int flags, void* extraDriverData);
    // Loads a bank file; a bank whose GUID is already loaded is refused with BankAlreadyLoaded.
    Result loadBankFile(const char* path, unsigned int flags, Bank* bank);
    // The event of that GUID; the first loaded bank that holds it wins.
    Result getEventByID(const Guid* id, EventDescription* description);
    // Moves instances between states and destroys released, stopped ones; Silent also advances time.
    Result update();
    // Unloads every bank and destroys every instance at once.
    Result unloadAll();
    // Closes the output and destroys the system; the pointer must not be used afterwards.
    Result release();

    // Manual output: advances every voice by seconds of playback.
    Result AdvanceTime(double seconds);
    // Manual output: mixes frames of interleaved stereo at kMixRate into out and advances the voices.
    Result Render(float* out, int frames);

    // Introspection for tests and diagnostics.
    OutputKind GetOutputKind() const;
    int LiveInstanceCount() const;
    int LiveVoiceCount() const;
    int LoadedBankCount() const;

    ~System();

  private:
    friend struct SystemState;
    System();
    std::unique_ptr<SystemState> state;
};

// The mixing rate of every output.
inline constexpr int kMixRate = 48000;
// The mixer works in blocks of at most this many frames (one device buffer); a volume or parameter
// change ramps linearly across the next block.
inline constexpr int kMixBlockFrames = 1024;

} // namespace audio
