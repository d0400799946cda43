#pragma once
#include <string>
#include <vector>

// The names of the 1x1 colour textures that arena blocks are painted with.
inline constexpr const char* kColorWhite = "White";
inline constexpr const char* kColorGreen = "Green";
inline constexpr const char* kColorTan = "Tan";
inline constexpr const char* kColorYellow = "Yellow";
inline constexpr const char* kColorLavender = "Lavender";
inline constexpr const char* kColorSkyBlue = "Sky Blue";
inline constexpr const char* kColorRed = "Red";
inline constexpr const char* kColorDarkBlue = "Dark Blue";
inline constexpr const char* kColorGray = "Gray";
inline constexpr const char* kColorLightGray = "Light Gray";
inline constexpr const char* kColorLightGreen = "Light Green";

// The player textures the colour set ends with, and the files they come from.
inline constexpr const char* kPlayer1TextureName = "T_Player1";
inline constexpr const char* kPlayer2TextureName = "T_Player2";
inline constexpr const char* kPlayer1TextureFile = "Assets/Astronaut_blue_side.png";
inline constexpr const char* kPlayer2TextureFile = "Assets/Astronaut_red_side.png";

// Registers a 2x2 "Default", the eleven colour textures and the two player textures. Nothing is looked up
// first, so every call adds the whole set again; lookups by name keep finding the first of each.
void LoadColorTextures();

// Makes each named colour of the set that no texture carries yet, with the set's values; a name already
// registered is left alone, so no duplicate is made. Levels entered before the match use it.
void CreateMissingColorTextures(const std::vector<std::string>& names);
