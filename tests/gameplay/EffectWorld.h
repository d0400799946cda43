#pragma once
#include "CCSMFactory.h"
#include "GameObjectFactory.h"
#include "SoundSystemFixture.h"

#include <string>
#include <vector>

class GameObject;

// Writes the banks the announcer, the music and the burn play: every announcer line (0.2 s), "PlayerRespawn"
// (0.2 s), the looping "LevelMusic1".."LevelMusic3" with "Intensity" 0..4, and "LavaBurn" lasting
// lavaSeconds (none when 0).
void WriteEffectBanks(const std::filesystem::path& root, double lavaSeconds);

// The real object factory, behaviour tables and gameplay prototypes over a Manual-output sound system with
// the effect banks; the play log is on and the generators are seeded with 7.
class EffectWorldTest : public SoundSystemTest
{
  protected:
    void SetUp() override;
    // The world goes before the sound system: scripts hold its channels and instances.
    void TearDown() override;

    // A match manager (tag 6) with the HUD, the announcer and the music as the level has them.
    GameObject& Manager(bool withHud = true);
    // An object of the tag with GameStats and, when behavior is not empty, a CCSM of that behaviour set.
    GameObject& WithMachine(Tag tag, const char* behavior);
    // Sends the event to its observers.
    static void Send(Event& event);
    static void Goal(float side);
    // The play log from the given entry on.
    static std::vector<std::string> PlayedSince(std::size_t first = 0);

    double lavaSeconds = 0.8;
    GameObjectFactory objects;
    CCSMFactory behaviors;
};
