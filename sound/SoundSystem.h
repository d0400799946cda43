#pragma once
#include "EngineSystem.h"
#include "FilePath.h"
#include "Observer.h"
#include "audio/AudioSystem.h"

#include <string>
#include <unordered_map>
#include <vector>

class SoundChannel;
class SoundInstance;

// The engine system that owns the audio layer: it loads the banks and the event-id list found in the
// bank folder, keeps one SoundInstance per event by short name, plays and stops sounds by name, keeps the
// three volumes and turns game events into sounds.
class SoundSystem : public EngineSystem, public Observer
{
  public:
    // Where the banks and the event-id list are found at start-up.
    static constexpr const char* kBankFolder = "./fmod/bank_file_drop/";

    SoundSystem();
    ~SoundSystem() override;

    // Creates the audio system, loads every bank and the event-id list, subscribes to the game's events.
    void Init() override;
    // Updates the audio system once per frame.
    void Update(float dt) override;
    // Frees every instance and releases the audio system.
    void Exit() override;
    // Plays the sound that belongs to a game event.
    void OnNotify(Event* event) override;

    // Plays the named event; returns its channel, or null when the name has no instance.
    static SoundChannel* PlaySound(const std::string& name);
    // Stops every channel of the named event, letting it fade out.
    static void StopSound(const std::string& name);
    // Master 0..10; every instance takes master x its category's volume.
    static void SetMasterVolume(float v);
    // Effects 0..1, for one-shot events.
    static void SetSfxVolume(float v);
    // Music 0..1, for events that are not one-shot.
    static void SetMusicVolume(float v);
    static float GetMasterVolume();
    static float GetSfxVolume();
    static float GetMusicVolume();
    // Loads a bank; its stem decides whether it is the master, the strings or another bank.
    static void LoadBank(const FilePathParts& parts);
    // Reads an event-id list and makes or refreshes one instance per event it names.
    static void LoadGUIDs(const FilePathParts& parts);
    // The named instance; a missing name is entered with a null instance and gives null.
    static SoundInstance* GetSoundInstance(const std::string& name);

    // The audio system, for tests and tools; null before Init and after Exit.
    audio::System* GetAudioSystem() const { return studioSystem; }
    const audio::Bank& GetMasterBank() const { return masterBank; }
    const audio::Bank& GetStringsBank() const { return stringsBank; }
    const std::vector<audio::Bank>& GetBanks() const { return banks; }
    const FilePathParts& GetEventIdListLocation() const { return eventIdList; }
    const std::unordered_map<std::string, SoundInstance*>& GetSoundTable() const { return soundTable; }

    // The event types the sound system listens to.
    static const std::vector<int>& ListenedEventTypes();

  private:
    // The engine's play and stop hooks and the platform's dropped-file hooks call this system.
    void AttachHooks();
    void DetachHooks();
    void ScanBankFolder();
    void LoadBankFile(const FilePathParts& parts);
    void LoadEventIdList(const FilePathParts& parts);
    void EnterInstance(const audio::Guid& guid, const std::string& shortName);
    void ApplyVolumes(bool oneShots, bool others);

    audio::System* studioSystem = nullptr;
    audio::Bank masterBank;
    audio::Bank stringsBank;
    std::vector<audio::Bank> banks;
    // Owns its instances; a lookup of a missing name leaves a null entry.
    std::unordered_map<std::string, SoundInstance*> soundTable;
    FilePathParts eventIdList;
    float masterVolume = 1.0f;
    float sfxVolume = 1.0f;
    float musicVolume = 1.0f;
};

extern SoundSystem* gSoundSystem;
// The instance played for every ball bounce; the ball's bounce script chooses it.
extern SoundInstance* CurrentBounceSound;
// The level track started last; the match stops it when it exits.
extern std::string CurrentMusicName;

// Clears the sound globals and the hooks the sound system fills, for tests.
void ResetSoundGlobals();
