#include "SoundSystemFixture.h"

#include "EventManager.h"

namespace fs = std::filesystem;

std::string ListEntry(std::uint32_t event, const std::string& path)
{
    return audio::FormatID(TestGuid(event)) + "\n" + path + "\n";
}

std::string StandardList()
{
    return ListEntry(kJumpEvent, "event:/SFX/Jump") + ListEntry(kRoundEndEvent, "event:/SFX/RoundEnd") +
           ListEntry(kGoalScoreEvent, "event:/SFX/GoalScore1") +
           ListEntry(kBounceEvent, "event:/SFX/Bounce") + ListEntry(kMusicEvent, "event:/Music/Music") +
           ListEntry(kOtherMusicEvent, "event:/Music/Other");
}

void WriteBankFolder(const fs::path& root, const std::string& list)
{
    const fs::path folder = root / "fmod" / "bank_file_drop";
    audio::BankFile master;
    master.id = TestGuid(900);
    master.kind = audio::BankKind::Master;
    audio::BankFile strings;
    strings.id = TestGuid(901);
    strings.kind = audio::BankKind::Strings;
    strings.strings.push_back(audio::FormatID(TestGuid(kJumpEvent)) + " event:/SFX/Jump");

    audio::BankFile sfx;
    sfx.id = TestGuid(902);
    sfx.waves.push_back(MakeWav(8000, 1, 4000, 0.25f));
    for (std::uint32_t event : {kJumpEvent, kRoundEndEvent, kGoalScoreEvent, kBounceEvent})
        sfx.events.push_back(MakeEvent(event, "event:/SFX/E" + std::to_string(event), {{0}}));
    audio::EventRecord music = MakeEvent(kMusicEvent, "event:/Music/Music", {{0}}, true);
    music.hasParameter = true;
    music.parameter = {"Intensity", 0.0f, 4.0f, 1.0f};
    music.fadeOut = 0.5f;
    sfx.events.push_back(music);
    sfx.events.push_back(MakeEvent(kOtherMusicEvent, "event:/Music/Other", {{0}}, true));

    WriteBytes(folder / "Master Bank.bank", audio::WriteBank(master));
    WriteBytes(folder / "Master Bank.strings.bank", audio::WriteBank(strings));
    WriteBytes(folder / "SFX.bank", audio::WriteBank(sfx));
    WriteText(folder / "GUIDs.txt", list);
}

void SoundSystemTest::SetUp()
{
    ResetSoundGlobals();
    EventManager::Reset();
    workingDirectory.emplace(root.Path());
    if (writeBanks)
        WriteBankFolder(root.Path(), StandardList());
}

void SoundSystemTest::StartSystem()
{
    audio::SetNextOutput(audio::OutputKind::Manual);
    system = std::make_unique<SoundSystem>();
    system->Init();
    audio::ResetNextOutput();
}

void SoundSystemTest::TearDown()
{
    if (system)
    {
        system->Exit();
        system.reset();
    }
    workingDirectory.reset();
    ResetSoundGlobals();
    EventManager::Reset();
}

void SoundSystemTest::Advance(double seconds)
{
    system->GetAudioSystem()->AdvanceTime(seconds);
    system->Update(static_cast<float>(seconds));
}

fs::path SoundSystemTest::BankFolder() const
{
    return root.Path() / "fmod" / "bank_file_drop";
}
