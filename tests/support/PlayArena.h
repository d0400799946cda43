#pragma once
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
