#pragma once

// Names the match's build gives its objects, prefab and textures.
inline constexpr const char* kPlayerPrefabName = "PlayerPrefab";
inline constexpr const char* kPlayer1Name = "Player 1";
inline constexpr const char* kPlayer2Name = "Player 2";
inline constexpr const char* kPlayer1Texture = "Human1.1";
inline constexpr const char* kPlayer2Texture = "Human2.1";
inline constexpr const char* kBallTexture = "Balls";
inline constexpr const char* kMatchBackground = "BG1";

// Builds the match's arena in code into the running world, in this order of ids: the manager, the ball,
// blocks 1-8, the first goal (left, scores for player 2), blocks 9-11, the second goal, "Player 1" and
// "Player 2" (from the prefab "PlayerPrefab"), then the HUD's seven objects. Also makes the colour
// textures, the ball's and players' behaviour tables, sets the background and switches debug drawing
// off. The match, the credits and the level baker all build through it.
void BuildMatchWorld();
