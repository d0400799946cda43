#include "EffectWorld.h"

#include "CCSM.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameStats.h"
#include "GameplayPrototypes.h"
#include "HUDScript.h"
#include "LevelMusicScript.h"
#include "MatchBehaviorTables.h"
#include "MetaHooks.h"
#include "Random.h"
#include "SoundPlayLog.h"
#include "TypeIds.h"
#include "VoiceOverScripts.h"

namespace
{
constexpr int kRate = 8000;
constexpr const char* kLines[] = {
    "RoundOne",      "RoundTwo",   "RoundThree", "RoundFour",      "RoundFive",    "FirstGoalOrange",
    "FirstGoalBlue", "GoalQuotes", "TiedPoints", "OrangeGainLead", "BlueGainLead", "OrangeHoldLead",
    "BlueHoldLead",  "Blowout",    "OrangeWin",  "BlueWin",        "Tiebreaker",   "PlayerRespawn"};
} // namespace

void WriteEffectBanks(const std::filesystem::path& root, double lavaSeconds)
{
    const std::filesystem::path folder = root / "fmod" / "bank_file_drop";
    audio::BankFile master;
    master.id = TestGuid(900);
    master.kind = audio::BankKind::Master;
    audio::BankFile strings;
    strings.id = TestGuid(901);
    strings.kind = audio::BankKind::Strings;

    audio::BankFile effects;
    effects.id = TestGuid(902);
    effects.waves.push_back(MakeWav(kRate, 1, kRate / 5, 0.25f));
    effects.waves.push_back(MakeWav(kRate, 1, kRate / 2, 0.1f));
    effects.waves.push_back(
        MakeWav(kRate, 1, static_cast<int>(kRate * (lavaSeconds > 0.0 ? lavaSeconds : 0.1)), 0.3f));
    std::string list;
    std::uint32_t number = 100;
    for (const char* line : kLines)
    {
        const std::string path = std::string("event:/VO/") + line;
        effects.events.push_back(MakeEvent(number, path, {{0}}));
        list += ListEntry(number++, path);
    }
    for (int track = 1; track <= 3; ++track)
    {
        const std::string path = "event:/Music/LevelMusic" + std::to_string(track);
        audio::EventRecord music = MakeEvent(number, path, {{1}}, true);
        music.hasParameter = true;
        music.parameter = {"Intensity", 0.0f, 4.0f, 0.0f};
        effects.events.push_back(music);
        list += ListEntry(number++, path);
    }
    if (lavaSeconds > 0.0)
    {
        effects.events.push_back(MakeEvent(number, "event:/SFX/LavaBurn", {{2}}));
        list += ListEntry(number++, "event:/SFX/LavaBurn");
    }
    WriteBytes(folder / "Master Bank.bank", audio::WriteBank(master));
    WriteBytes(folder / "Master Bank.strings.bank", audio::WriteBank(strings));
    WriteBytes(folder / "SFX.bank", audio::WriteBank(effects));
    WriteText(folder / "GUIDs.txt", list);
}

void EffectWorldTest::SetUp()
{
    writeBanks = false;
    SoundSystemTest::SetUp();
    WriteEffectBanks(root.Path(), lavaSeconds);
    FrameRateManager::Reset();
    objects.Init();
    behaviors.Init();
    AddMatchBehaviorTables(behaviors);
    RegisterGameplayPrototypes();
    StartSystem();
    SeedRandom(7);
    ClearSoundPlayLog();
    SetSoundPlayLogging(true);
}

void EffectWorldTest::TearDown()
{
    objects.Exit();
    behaviors.Exit();
    MetaHooks::Reset();
    FrameRateManager::Reset();
    SoundSystemTest::TearDown();
    SetSoundPlayLogging(false);
    ClearSoundPlayLog();
}

GameObject& EffectWorldTest::Manager(bool withHud)
{
    GameObject* manager = objects.CreateObject();
    manager->tag = kTagMatchManager;
    if (withHud)
    {
        HUDScript hud;
        manager->AddScript(hud);
    }
    VoiceOverScripts voice;
    manager->AddScript(voice);
    LevelMusicScript music;
    manager->AddScript(music);
    return *manager;
}

GameObject& EffectWorldTest::WithMachine(Tag tag, const char* behavior)
{
    GameObject* object = objects.CreateObject();
    object->tag = tag;
    GameStats stats;
    object->AddComponent(stats);
    if (behavior[0] != '\0')
    {
        CCSM machine;
        object->AddComponent(machine);
        object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM)->SetBehavior(behavior);
    }
    return *object;
}

void EffectWorldTest::Send(Event& event)
{
    EventManager::Dispatch(&event);
}

void EffectWorldTest::Goal(float side)
{
    GoalScoreEvent goal(side);
    Send(goal);
}

std::vector<std::string> EffectWorldTest::PlayedSince(std::size_t first)
{
    const std::vector<std::string>& log = SoundPlayLog();
    return first < log.size()
               ? std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(first), log.end())
               : std::vector<std::string>{};
}
