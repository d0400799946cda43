#pragma once
#include "TextureGenerators.h"

#include <cstdint>
#include <string>
#include <vector>

// The maker's logo, 1024 x 247: a red mark on transparency (transparent pixels are the same red with
// alpha 0, so filtering never darkens the edges). A full-height emblem fills the left fifth and the name
// stands over a solid bar along the bottom, so a mirrored or flipped logo is plain to see.
TextureImage GenerateTorvaneLogoRed();

// The team's title picture, 1920 x 1080 and opaque: a pale sky shading to deep indigo, a paper crane of
// flat white triangles and the title below it.
TextureImage GenerateDriftThePaperCrane();

// The font the lettering is drawn with (the game's own font).
void SetLogoFontPath(const std::string& path);
const std::string& GetLogoFontPath();

// Lettering rasterised by FreeType: a tight box of 8-bit coverage, and the row of the baseline in it
// (an empty box when the text inks nothing).
struct Lettering
{
    int width = 0;
    int height = 0;
    int baseline = 0;
    std::vector<std::uint8_t> coverage;
};

// Draws the text in the lettering font at a pixel size on one baseline, anti-aliased, cropped to the
// pixels it inks; throws std::runtime_error when the font cannot be read.
Lettering RenderLettering(const std::string& text, int pixelSize);
