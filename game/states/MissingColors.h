#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The match's named colour textures: 1x1 RGBA, made by name, so that a level entered before the match
// can ask for "Tan" or "Light Gray" and see the colour the match shows.
struct NamedColorTexture
{
    const char* name;
    std::array<std::uint8_t, 4> rgba;
};

// The match's eleven colours, in the order it makes them.
const std::vector<NamedColorTexture>& MatchColorTextures();

// The match's colour of that name, or null.
const NamedColorTexture* FindMatchColor(const std::string& name);

// Makes each named colour that no texture carries yet, with the match's values; a name already
// registered (by the match or an earlier visit) is left alone, so no duplicate is made.
void CreateMissingColorTextures(const std::vector<std::string>& names);
