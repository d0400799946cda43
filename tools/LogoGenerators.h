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

// Lettering in the game's font as 8-bit coverage, cropped to the pixels it inks: the largest size whose
// lettering fits the box, strokes thickened by embolden pixels on each side.
struct TextCoverage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
    // The row of the baseline, counted from the box's top (below it when nothing reaches it).
    int baseline = 0;
};
TextCoverage RenderTextToFit(const std::string& text, int boxWidth, int boxHeight, int embolden = 0);
// The same at a fixed pixel size.
TextCoverage RenderTextAtSize(const std::string& text, int pixelSize, int embolden = 0);
