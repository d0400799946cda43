#pragma once
#include "SoundInstance.h"
#include "SoundSystem.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// Event numbers of the test banks (their GUIDs are TestGuid(n)).
enum TestEvent : std::uint32_t
{
    kJumpEvent = 1,       // one-shot, 0.5 s
    kRoundEndEvent = 2,   // one-shot
    kGoalScoreEvent = 3,  // one-shot
    kBounceEvent = 4,     // one-shot
    kMusicEvent = 5,      // loops; "Intensity" 0..4, default 1; fades out over 0.5 s
    kOtherMusicEvent = 6, // loops, no parameter
};

// The GUID line and the event line of one event of the test banks.
std::string ListEntry(std::uint32_t event, const std::string& path);
// The standard list: Jump, RoundEnd, GoalScore1, Bounce, Music.
std::string StandardList();
// Writes Master Bank, Master Bank.strings and SFX banks and the given list into <root>/fmod/bank_file_drop/.
void WriteBankFolder(const std::filesystem::path& root, const std::string& list);

// A sound system on the Manual output, started in a temporary folder holding the test banks.
class SoundSystemTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;
    // Creates and starts the system in the temporary folder.
    void StartSystem();
    // Advances the audio by seconds and runs one update.
    void Advance(double seconds);
    std::filesystem::path BankFolder() const;

    TempFolder root;
    std::optional<ScopedWorkingDirectory> workingDirectory;
    std::unique_ptr<SoundSystem> system;
    bool writeBanks = true;
};
