#pragma once
#include <string>

class Material;

// Draws the material editor (order, blend mode, depth flags, texture) on the material; true on a change.
bool EditMaterial(Material& material);
// Draws the "Change Texture" combo over every registered texture; true when another one was chosen.
bool EditTextureChoice(const std::string& label, std::string& textureName);
