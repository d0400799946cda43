#pragma once
#include <array>
#include <cstdint>

// The test arena, built in code into the running world: floor, ledge, side walls, a goal post, the
// out-of-bounds zone, the ball and both players, in that order, with the match's behaviour tables.
// Sprites are tinted white pixels.
struct Arena
{
    std::uint32_t floor = 0;
    std::uint32_t ledge = 0;
    std::uint32_t leftWall = 0;
    std::uint32_t rightWall = 0;
    std::uint32_t goalPost = 0;
    std::uint32_t bounds = 0;
    std::uint32_t ball = 0;
    std::uint32_t player1 = 0;
    std::uint32_t player2 = 0;
};

Arena BuildArena();

// The match arena, built in code into the running world: a floor (top at -200), the right goal (player 1's,
// x 300) and the left goal (player 2's), the ball, both players (player 1 on the arrows and right Shift,
// player 2 on WASD and left Shift), the HUD's seven text objects (a 20 s round clock), the event text, the
// "Pause Menu" and "CDA" objects and the manager with its round-flow scripts, the HUD bound. Writes the
// modules A, B and C (the level's names) and DEFAULT_ALL into Modules/; each swaps the tag-5 pillars.
struct TestArena
{
    std::uint32_t floor = 0;
    std::uint32_t rightGoal = 0;
    std::uint32_t leftGoal = 0;
    std::uint32_t ball = 0;
    std::uint32_t player1 = 0;
    std::uint32_t player2 = 0;
    std::array<std::uint32_t, 7> hud{};
    std::uint32_t eventText = 0;
    std::uint32_t pauseMenu = 0;
    std::uint32_t confirmation = 0;
    std::uint32_t manager = 0;
};

TestArena BuildTestArena();
