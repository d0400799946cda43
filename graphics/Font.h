#pragma once
#include "TextLayout.h"

// The game's one font, rasterised once at start-up into a texture per character code.
inline constexpr const char* kFontPath = "./Fonts/Unique.ttf";

// Rasterises codes 1..127 and then 0 of the font into GL_RED textures "Character <c>" and "NULL character"
// and fills the glyph table. A missing font prints its message and leaves every glyph empty, so text
// draws nothing. Needs the texture manager started.
void LoadFont(const char* path = kFontPath);

// The glyph table, 128 entries, empty until LoadFont.
GlyphTable& Glyphs();

// MeasureText with the font's glyphs, for centring and right-aligning menu and HUD text.
Vector2 MeasureText(const std::string& text, float size);
