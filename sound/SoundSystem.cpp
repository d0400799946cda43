#include "SoundSystem.h"

#include "Event.h"
#include "EventIdList.h"
#include "LevelHooks.h"
#include "PlatformHooks.h"
#include "SoundError.h"
#include "SoundHooks.h"
#include "SoundInstance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

SoundSystem* gSoundSystem = nullptr;
SoundInstance* CurrentBounceSound = nullptr;
std::string CurrentMusicName;

namespace
{
constexpr const char* kSourceFile = "SoundSystem.cpp";
constexpr int kMaxVoices = 1024;

constexpr const char* kMasterBankStem = "Master Bank";
constexpr const char* kStringsBankStem = "Master Bank.strings";
constexpr const char* kBankExtension = ".bank";
constexpr const char* kListExtension = ".txt";

// The sounds of the game events the system listens to.
constexpr const char* kPlayerJumpSound = "PlayerJump";
constexpr const char* kPlayerLandSound = "PlayerLand";
constexpr const char* kGetBallSound = "GetBall";
constexpr const char* kBallTossSound = "BallToss";
constexpr const char* kBallStealSound = "BallSteal";
constexpr const char* kLavaBurnSound = "LavaBurn";
constexpr const char* kPlayerDieSound = "PlayerDie";
constexpr const char* kRoundEndSound = "RoundEnd";
constexpr const char* kGoalScoreSound = "GoalScore1";
constexpr const char* kMenuDownSound = "MenuDown";
constexpr const char* kMenuUpSound = "MenuUp";
constexpr const char* kMenuSelectSound = "MenuSelect";

float Clamped(float v, float high)
{
    return std::clamp(v, 0.0f, high);
}
} // namespace

SoundSystem::SoundSystem() : EngineSystem(estSoundSystem)
{
    PublishOnce(gSoundSystem, this);
}

SoundSystem::~SoundSystem()
{
    if (gSoundSystem == this)
        DetachHooks();
    // Exit normally ran; a system destroyed without it still frees what it owns.
    for (auto& entry : soundTable)
    {
        if (CurrentBounceSound == entry.second)
            CurrentBounceSound = nullptr;
        delete entry.second;
    }
    soundTable.clear();
    if (studioSystem != nullptr)
        studioSystem->release();
    studioSystem = nullptr;
    UnpublishIfOwner(gSoundSystem, this);
}

const std::vector<int>& SoundSystem::ListenedEventTypes()
{
    static const std::vector<int> types = {evPlayerJump, evBallGrab,  evBallDrop,   evUnused8,
                                           evUnused2,    evGoalScore, evUnused7,    evBallStolen,
                                           evBallBounce, evMenuDown,  evMenuSelect, evMenuUp};
    return types;
}

void SoundSystem::Init()
{
    audio::System* created = nullptr;
    CheckSound(kSourceFile, 107, audio::System::create(&created, audio::kHeaderVersion));
    studioSystem = created;
    if (studioSystem != nullptr)
        CheckSound(kSourceFile, 114, studioSystem->initialize(kMaxVoices, 0, 0, nullptr));

    ScanBankFolder();
    LoadEventIdList(eventIdList);
    for (int type : ListenedEventTypes())
        Subscribe(type);

    if (gSoundSystem == this)
        AttachHooks();
}

void SoundSystem::AttachHooks()
{
    SoundHooks::play = [](const std::string& name) { PlaySound(name); };
    SoundHooks::stop = [](const std::string& name) { StopSound(name); };
    PlatformHooks::loadBank = [](const FilePathParts& parts) { LoadBank(parts); };
    PlatformHooks::loadGUIDs = [](const FilePathParts& parts) { LoadGUIDs(parts); };
    // Levels save this system's subscriptions and restore exactly them on load.
    GetLevelHooks().soundObserver = this;
}

void SoundSystem::DetachHooks()
{
    SoundHooks::Reset();
    PlatformHooks::loadBank = nullptr;
    PlatformHooks::loadGUIDs = nullptr;
    if (GetLevelHooks().soundObserver == this)
        GetLevelHooks().soundObserver = nullptr;
}

void SoundSystem::ScanBankFolder()
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entries(kBankFolder, error);
    if (error)
    {
        std::printf("WARNING: the sound bank folder %s cannot be read (%s); the game plays no sound\n",
                    kBankFolder, error.message().c_str());
        std::fflush(stdout);
        return;
    }
    // Sorted, so every start loads the banks in the same order and the same list wins.
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : entries)
    {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError) || typeError)
            continue;
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());

    for (const std::string& name : names)
    {
        const std::string extension = fs::path(name).extension().string();
        if (extension == kListExtension)
            eventIdList = SplitPath(std::string(kBankFolder) + name);
        else if (extension == kBankExtension)
            LoadBankFile(SplitPath(std::string(kBankFolder) + name));
    }
}

void SoundSystem::LoadBankFile(const FilePathParts& parts)
{
    if (studioSystem == nullptr)
        return;
    const std::string path = JoinPath(parts);
    audio::Bank loaded;
    const audio::Result result = studioSystem->loadBankFile(path.c_str(), 0, &loaded);
    // A failed load keeps the handle in place, so a bad re-drop never drops a loaded bank.
    if (parts.stem == kMasterBankStem)
    {
        if (CheckSound(kSourceFile, 221, result))
            masterBank = loaded;
    }
    else if (parts.stem == kStringsBankStem)
    {
        if (CheckSound(kSourceFile, 225, result))
            stringsBank = loaded;
    }
    else if (CheckSound(kSourceFile, 230, result))
        banks.push_back(loaded);
}

void SoundSystem::LoadEventIdList(const FilePathParts& parts)
{
    const std::string path = JoinPath(parts);
    if (path.empty())
        return;
    std::ifstream file(path);
    if (!file)
    {
        std::printf("WARNING: the event-id list %s cannot be opened\n", path.c_str());
        std::fflush(stdout);
        return;
    }
    for (const EventIdEntry& entry : ParseEventIdList(file))
        EnterInstance(entry.guid, entry.shortName);
}

void SoundSystem::EnterInstance(const audio::Guid& guid, const std::string& shortName)
{
    audio::EventDescription description;
    audio::ParameterDescription parameter;
    int parameterCount = 0;
    bool oneShot = false;
    if (studioSystem != nullptr)
        CheckSound(kSourceFile, 305, studioSystem->getEventByID(&guid, &description));
    if (description.isValid())
    {
        CheckSound(kSourceFile, 309, description.loadSampleData());
        CheckSound(kSourceFile, 315, description.getParameterCount(&parameterCount));
        if (parameterCount > 0)
            CheckSound(kSourceFile, 318, description.getParameterByIndex(0, &parameter));
        CheckSound(kSourceFile, 323, description.isOneshot(&oneShot));
    }

    SoundInstance*& entry = soundTable[shortName];
    if (entry == nullptr)
        entry = new SoundInstance();
    else if (entry->description != description && entry->description.isValid())
    {
        // A re-read list refreshes the record in place: scripts keep pointers to it and its channels.
        CheckSound(kSourceFile, 176, entry->description.releaseAllInstances());
    }
    SoundInstance& instance = *entry;
    instance.guid = guid;
    instance.name = shortName;
    instance.pitch = 1.0f;
    instance.description = description;
    instance.hasParameter = parameterCount > 0 ? 1 : 0;
    instance.parameterValue = parameterCount > 0 ? parameter.defaultValue : 0.0f;
    instance.oneShot = oneShot ? 1 : 0;
    // A fresh instance plays at master volume alone until the next volume change.
    instance.volume = masterVolume;
    for (SoundChannel* channel : instance.channels)
    {
        channel->parameter = parameter;
        channel->hasParameter = instance.hasParameter;
        channel->volume = masterVolume;
    }
}

void SoundSystem::Update(float)
{
    if (studioSystem != nullptr)
        studioSystem->update();
}

void SoundSystem::Exit()
{
    for (auto& entry : soundTable)
    {
        SoundInstance* instance = entry.second;
        if (instance == nullptr)
            continue;
        if (instance->description.isValid())
            CheckSound(kSourceFile, 176, instance->description.releaseAllInstances());
        instance->FreeChannels();
        if (instance->description.isValid())
            CheckSound(kSourceFile, 178, instance->description.unloadSampleData());
        delete instance;
        entry.second = nullptr;
    }
    CurrentBounceSound = nullptr;
    if (studioSystem != nullptr)
    {
        studioSystem->unloadAll();
        studioSystem->release();
        studioSystem = nullptr;
    }
    masterBank = {};
    stringsBank = {};
    banks.clear();
    if (gSoundSystem == this)
        DetachHooks();
}

void SoundSystem::OnNotify(Event* event)
{
    if (event == nullptr)
        return;
    switch (event->EventType)
    {
    case evPlayerJump:
        PlaySound(kPlayerJumpSound);
        break;
    case evUnused2:
        PlaySound(kPlayerLandSound);
        break;
    case evBallGrab:
        PlaySound(kGetBallSound);
        break;
    case evBallDrop:
        PlaySound(kBallTossSound);
        break;
    case evBallStolen:
        PlaySound(kBallStealSound);
        break;
    case evBallBounce:
        if (CurrentBounceSound != nullptr)
            CurrentBounceSound->Play();
        break;
    case evUnused7:
        PlaySound(kLavaBurnSound);
        break;
    case evUnused8:
        PlaySound(kPlayerDieSound);
        break;
    case evGoalScore:
    {
        const auto* goal = dynamic_cast<const GoalScoreEvent*>(event);
        // Only an exact 0 (time ran out) is the round's end; any side that scored plays the goal.
        PlaySound(goal != nullptr && goal->side == 0.0f ? kRoundEndSound : kGoalScoreSound);
        break;
    }
    case evMenuDown:
        PlaySound(kMenuDownSound);
        break;
    case evMenuUp:
        PlaySound(kMenuUpSound);
        break;
    case evMenuSelect:
        PlaySound(kMenuSelectSound);
        break;
    default:
        break;
    }
}

SoundChannel* SoundSystem::PlaySound(const std::string& name)
{
    SoundInstance* instance = GetSoundInstance(name);
    return instance != nullptr ? instance->Play() : nullptr;
}

void SoundSystem::StopSound(const std::string& name)
{
    SoundInstance* instance = GetSoundInstance(name);
    if (instance == nullptr)
        return;
    for (SoundChannel* channel : instance->channels)
        channel->Stop();
}

void SoundSystem::ApplyVolumes(bool oneShots, bool others)
{
    for (auto& entry : soundTable)
    {
        SoundInstance* instance = entry.second;
        if (instance == nullptr)
            continue;
        if (instance->oneShot && oneShots)
            instance->SetVolume(masterVolume * sfxVolume);
        else if (!instance->oneShot && others)
            instance->SetVolume(masterVolume * musicVolume);
    }
}

void SoundSystem::SetMasterVolume(float v)
{
    if (gSoundSystem == nullptr || std::isnan(v))
        return;
    gSoundSystem->masterVolume = Clamped(v, 10.0f);
    gSoundSystem->ApplyVolumes(true, true);
}

void SoundSystem::SetSfxVolume(float v)
{
    if (gSoundSystem == nullptr || std::isnan(v))
        return;
    gSoundSystem->sfxVolume = Clamped(v, 1.0f);
    gSoundSystem->ApplyVolumes(true, false);
}

void SoundSystem::SetMusicVolume(float v)
{
    if (gSoundSystem == nullptr || std::isnan(v))
        return;
    gSoundSystem->musicVolume = Clamped(v, 1.0f);
    gSoundSystem->ApplyVolumes(false, true);
}

float SoundSystem::GetMasterVolume()
{
    return gSoundSystem != nullptr ? gSoundSystem->masterVolume : 0.0f;
}

float SoundSystem::GetSfxVolume()
{
    return gSoundSystem != nullptr ? gSoundSystem->sfxVolume : 0.0f;
}

float SoundSystem::GetMusicVolume()
{
    return gSoundSystem != nullptr ? gSoundSystem->musicVolume : 0.0f;
}

void SoundSystem::LoadBank(const FilePathParts& parts)
{
    if (gSoundSystem != nullptr)
        gSoundSystem->LoadBankFile(parts);
}

void SoundSystem::LoadGUIDs(const FilePathParts& parts)
{
    if (gSoundSystem != nullptr)
        gSoundSystem->LoadEventIdList(parts);
}

SoundInstance* SoundSystem::GetSoundInstance(const std::string& name)
{
    if (gSoundSystem == nullptr)
        return nullptr;
    return gSoundSystem->soundTable[name];
}

void ResetSoundGlobals()
{
    gSoundSystem = nullptr;
    CurrentBounceSound = nullptr;
    CurrentMusicName.clear();
    SoundHooks::Reset();
    PlatformHooks::loadBank = nullptr;
    PlatformHooks::loadGUIDs = nullptr;
    GetLevelHooks().soundObserver = nullptr;
    audio::ResetNextOutput();
}
