#include "SoundSystemFixture.h"

#include "DropFile.h"
#include "Event.h"
#include "EventManager.h"
#include "LevelHooks.h"
#include "SoundHooks.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace
{
bool IsPlaying(const std::string& name)
{
    SoundInstance* instance = SoundSystem::GetSoundInstance(name);
    return instance != nullptr && instance->FindPlayingChannel() != nullptr;
}

int CountLines(const std::string& text, const std::string& prefix)
{
    int count = 0;
    std::size_t at = 0;
    while ((at = text.find(prefix, at)) != std::string::npos)
    {
        ++count;
        at += prefix.size();
    }
    return count;
}
} // namespace

TEST_F(SoundSystemTest, InitLoadsMasterStringsAndOtherBanksAndReadsTheList)
{
    StartSystem();
    EXPECT_TRUE(system->GetMasterBank().isValid());
    EXPECT_TRUE(system->GetStringsBank().isValid());
    ASSERT_EQ(system->GetBanks().size(), 1u);
    EXPECT_EQ(system->GetEventIdListLocation().directory, "./fmod/bank_file_drop/");
    EXPECT_EQ(system->GetEventIdListLocation().stem, "GUIDs");
    EXPECT_EQ(system->GetEventIdListLocation().extension, ".txt");
    for (const char* name : {"Jump", "RoundEnd", "GoalScore1", "Bounce", "Music"})
    {
        SoundInstance* instance = SoundSystem::GetSoundInstance(name);
        ASSERT_NE(instance, nullptr) << name;
        EXPECT_TRUE(instance->description.isValid()) << name;
        EXPECT_EQ(instance->name, name);
    }
    EXPECT_TRUE(SoundSystem::GetSoundInstance("Jump")->oneShot);
    EXPECT_FALSE(SoundSystem::GetSoundInstance("Music")->oneShot);
}

TEST_F(SoundSystemTest, ScanSkipsFoldersAndNamesWithoutExtensionAndTheLastSortedListWins)
{
    WriteText(BankFolder() / "a.txt", ListEntry(kJumpEvent, "event:/SFX/FromA"));
    WriteText(BankFolder() / "z.txt", ListEntry(kJumpEvent, "event:/SFX/FromZ"));
    WriteText(BankFolder() / "README", "no extension");
    fs::create_directories(BankFolder() / "folder.bank");
    fs::create_directories(BankFolder() / ".bank");
    ::testing::internal::CaptureStdout();
    StartSystem();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(system->GetEventIdListLocation().stem, "z");
    EXPECT_NE(SoundSystem::GetSoundInstance("FromZ"), nullptr);
    EXPECT_EQ(system->GetSoundTable().count("FromA"), 0u);
    EXPECT_EQ(system->GetBanks().size(), 1u);
}

TEST_F(SoundSystemTest, AMissingBankFolderWarnsOnceAndLeavesAnEmptyTable)
{
    fs::remove_all(root.Path() / "fmod");
    ::testing::internal::CaptureStdout();
    StartSystem();
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(CountLines(printed, "WARNING"), 1) << printed;
    EXPECT_TRUE(system->GetSoundTable().empty());
    EXPECT_EQ(SoundSystem::PlaySound("Jump"), nullptr);
}

TEST_F(SoundSystemTest, ABadBankPrintsItsErrorLineAndTheOthersStillLoad)
{
    WriteText(BankFolder() / "Broken.bank", "not a bank");
    ::testing::internal::CaptureStdout();
    StartSystem();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "SoundSystem.cpp(230): FMOD ERROR 5 - Unsupported file or audio format.\n");
    EXPECT_EQ(system->GetBanks().size(), 1u);
    EXPECT_NE(SoundSystem::PlaySound("Jump"), nullptr);
}

TEST_F(SoundSystemTest, AnUnknownGuidPrintsLine305AndNeverPlays)
{
    WriteText(BankFolder() / "GUIDs.txt", ListEntry(77, "event:/SFX/Ghost"));
    ::testing::internal::CaptureStdout();
    StartSystem();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "SoundSystem.cpp(305): FMOD ERROR 9 - The requested event, parameter, bus or vca could not be "
              "found.\n");
    ASSERT_NE(SoundSystem::GetSoundInstance("Ghost"), nullptr);
    EXPECT_EQ(SoundSystem::PlaySound("Ghost"), nullptr);
}

TEST_F(SoundSystemTest, VolumesClampAndApplyTheirCategoryFactor)
{
    StartSystem();
    SoundSystem::SetMasterVolume(20.0f);
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 10.0f);
    SoundSystem::SetMusicVolume(-1.0f);
    EXPECT_EQ(SoundSystem::GetMusicVolume(), 0.0f);
    SoundSystem::SetSfxVolume(3.0f);
    EXPECT_EQ(SoundSystem::GetSfxVolume(), 1.0f);

    SoundSystem::SetMasterVolume(2.0f);
    SoundSystem::SetSfxVolume(0.5f);
    SoundSystem::SetMusicVolume(0.25f);
    EXPECT_EQ(SoundSystem::GetSoundInstance("Jump")->volume, 1.0f);
    EXPECT_EQ(SoundSystem::GetSoundInstance("Music")->volume, 0.5f);

    // A re-read list refreshes its instances to master volume alone until the next change.
    SoundSystem::LoadGUIDs(system->GetEventIdListLocation());
    EXPECT_EQ(SoundSystem::GetSoundInstance("Jump")->volume, 2.0f);
}

TEST_F(SoundSystemTest, NullEntriesAreSkippedBySettersAndExit)
{
    StartSystem();
    EXPECT_EQ(SoundSystem::GetSoundInstance("Missing"), nullptr);
    EXPECT_EQ(system->GetSoundTable().count("Missing"), 1u) << "a lookup enters the name";
    EXPECT_EQ(SoundSystem::PlaySound(""), nullptr);
    SoundSystem::StopSound("Missing");
    SoundSystem::SetMasterVolume(0.5f);
    SoundSystem::SetSfxVolume(0.5f);
    SoundSystem::SetMusicVolume(0.5f);
    CurrentBounceSound = SoundSystem::GetSoundInstance("Bounce");
    system->Exit();
    EXPECT_EQ(CurrentBounceSound, nullptr);
    EXPECT_EQ(SoundSystem::PlaySound("Jump"), nullptr);
    system.reset();
    EXPECT_EQ(gSoundSystem, nullptr);
}

TEST_F(SoundSystemTest, AReDroppedListKeepsInstancesAndChannelsInPlace)
{
    StartSystem();
    CurrentBounceSound = SoundSystem::GetSoundInstance("Bounce");
    SoundChannel* channel = CurrentBounceSound->Play();
    ASSERT_NE(channel, nullptr);
    const std::size_t tableSize = system->GetSoundTable().size();

    SoundSystem::LoadGUIDs(system->GetEventIdListLocation());
    EXPECT_EQ(SoundSystem::GetSoundInstance("Bounce"), CurrentBounceSound);
    EXPECT_EQ(system->GetSoundTable().size(), tableSize);
    ASSERT_EQ(CurrentBounceSound->channels.size(), 1u);
    EXPECT_EQ(*CurrentBounceSound->channels.begin(), channel);
    EXPECT_TRUE(channel->IsPlaying()) << "the same event keeps playing";
    channel->Stop();
    EXPECT_EQ(CurrentBounceSound->Play(), channel);

    // The same bank dropped again is refused and leaves no duplicate.
    ::testing::internal::CaptureStdout();
    SoundSystem::LoadBank(SplitPath("./fmod/bank_file_drop/SFX.bank"));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "SoundSystem.cpp(230): FMOD ERROR 8 - The specified bank has already been loaded.\n");
    EXPECT_EQ(system->GetBanks().size(), 1u);

    ::testing::internal::CaptureStdout();
    SoundSystem::LoadBank(SplitPath("./nowhere/Master Bank.bank"));
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(system->GetMasterBank().isValid()) << "a failed reload keeps the master bank";
}

TEST_F(SoundSystemTest, AnUnopenableDroppedListPrintsOneWarning)
{
    StartSystem();
    ::testing::internal::CaptureStdout();
    SoundSystem::LoadGUIDs(SplitPath("./nowhere/GUIDs.txt"));
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(CountLines(printed, "WARNING"), 1) << printed;
    EXPECT_EQ(CountLines(printed, "\n"), 1) << printed;
}

TEST_F(SoundSystemTest, GameEventsPlayTheirSounds)
{
    StartSystem();
    GoalScoreEvent timeUp(0.0f);
    EventManager::Dispatch(&timeUp);
    EXPECT_TRUE(IsPlaying("RoundEnd"));
    EXPECT_FALSE(IsPlaying("GoalScore1"));
    GoalScoreEvent goal(2.0f);
    EventManager::Dispatch(&goal);
    EXPECT_TRUE(IsPlaying("GoalScore1"));

    BallBounceEvent bounce;
    EventManager::Dispatch(&bounce);
    EXPECT_FALSE(IsPlaying("Bounce")) << "no bounce sound chosen yet";
    CurrentBounceSound = SoundSystem::GetSoundInstance("Bounce");
    EventManager::Dispatch(&bounce);
    EXPECT_TRUE(IsPlaying("Bounce"));

    std::vector<int> types = SoundSystem::ListenedEventTypes();
    std::sort(types.begin(), types.end());
    EXPECT_EQ(types, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17}));
    for (int type : types)
        EXPECT_EQ(EventManager::ObserversOf(type).count(system.get()), 1u) << type;
}

TEST_F(SoundSystemTest, TheEngineHooksPlayAndStopByNameAndLevelsSeeTheSystemAsTheirSoundObserver)
{
    StartSystem();
    EXPECT_EQ(GetLevelHooks().soundObserver, system.get());
    SoundHooks::Play("Music");
    EXPECT_TRUE(IsPlaying("Music"));
    SoundHooks::Stop("Music");
    EXPECT_FALSE(IsPlaying("Music"));
    Advance(0.0);
    Advance(0.6);
    system->Exit();
    EXPECT_EQ(GetLevelHooks().soundObserver, nullptr);
    SoundHooks::Play("Music"); // detached at exit
    system.reset();
}

TEST_F(SoundSystemTest, StaticCallsWithNoRegisteredSystemDoNothing)
{
    EXPECT_EQ(gSoundSystem, nullptr);
    EXPECT_EQ(SoundSystem::PlaySound("Jump"), nullptr);
    EXPECT_EQ(SoundSystem::GetSoundInstance("Jump"), nullptr);
    SoundSystem::StopSound("Jump");
    SoundSystem::SetMasterVolume(1.0f);
    SoundSystem::LoadGUIDs(SplitPath("./fmod/bank_file_drop/GUIDs.txt"));
    SoundSystem::LoadBank(SplitPath("./fmod/bank_file_drop/SFX.bank"));
    EXPECT_EQ(SoundSystem::GetMasterVolume(), 0.0f);
}

TEST_F(SoundSystemTest, OnlyTheFirstSystemIsPublishedAndItsDestructorUnpublishesIt)
{
    StartSystem();
    {
        SoundSystem second;
        EXPECT_EQ(gSoundSystem, system.get());
    }
    EXPECT_EQ(gSoundSystem, system.get());
}

TEST_F(SoundSystemTest, AListThatMovesANameToAnotherEventRefreshesTheRecordInPlace)
{
    StartSystem();
    CurrentBounceSound = SoundSystem::GetSoundInstance("Bounce");
    SoundChannel* channel = CurrentBounceSound->Play();
    const audio::EventInstance oldInstance = channel->eventInstance;

    WriteText(BankFolder() / "Moved.txt", ListEntry(kMusicEvent, "event:/SFX/Bounce"));
    SoundSystem::LoadGUIDs(SplitPath("./fmod/bank_file_drop/Moved.txt"));
    EXPECT_EQ(SoundSystem::GetSoundInstance("Bounce"), CurrentBounceSound);
    EXPECT_FALSE(oldInstance.isValid()) << "the old event's instances are released";
    EXPECT_TRUE(CurrentBounceSound->hasParameter);
    EXPECT_FALSE(CurrentBounceSound->oneShot);
    EXPECT_EQ(channel->hasParameter, 1);
    EXPECT_EQ(channel->parameter.name, "Intensity");
    EXPECT_EQ(CurrentBounceSound->Play(), channel);
    audio::EventDescription playing;
    channel->eventInstance.getDescription(&playing);
    EXPECT_EQ(playing, CurrentBounceSound->description);
}

TEST_F(SoundSystemTest, FilesDroppedOnTheWindowReachTheSoundSystem)
{
    StartSystem();
    TempFolder elsewhere;
    audio::BankFile extra;
    extra.id = TestGuid(903);
    extra.waves.push_back(MakeWav(8000, 1, 800, 0.25f));
    extra.events.push_back(MakeEvent(40, "event:/SFX/Dropped", {{0}}));
    WriteBytes(elsewhere.Path() / "Extra.bank", audio::WriteBank(extra));
    WriteText(elsewhere.Path() / "GUIDs.txt", ListEntry(40, "event:/SFX/Dropped"));

    DropFile(SplitPath((elsewhere.Path() / "Extra.bank").string()));
    DropFile(SplitPath((elsewhere.Path() / "GUIDs.txt").string()));
    EXPECT_EQ(system->GetBanks().size(), 2u);
    EXPECT_NE(SoundSystem::PlaySound("Dropped"), nullptr);
    EXPECT_FALSE(fs::exists(BankFolder() / "Extra.bank")) << "a drop lasts for the run only";

    system->Exit();
    DropFile(SplitPath((elsewhere.Path() / "GUIDs.txt").string())); // detached at exit
    system.reset();
}
