#include "LogoGenerators.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

#ifndef GLIMMOCK_LOGO_FONT
#define GLIMMOCK_LOGO_FONT "Fonts/Unique.ttf"
#endif

namespace
{
std::string fontPath = GLIMMOCK_LOGO_FONT;

struct Colour
{
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

constexpr Colour kLogoRed{205.0, 35.0, 45.0};
constexpr Colour kWhite{255.0, 255.0, 255.0};

// A coverage mask the size of the image, 0..1 per pixel.
struct Mask
{
    int width = 0;
    int height = 0;
    std::vector<double> coverage;

    Mask(int w, int h) : width(w), height(h), coverage(static_cast<std::size_t>(w) * h, 0.0) {}
    double& At(int x, int y) { return coverage[static_cast<std::size_t>(y) * width + x]; }
    void Add(int x, int y, double amount)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        double& value = At(x, y);
        value = std::min(1.0, value + amount);
    }
};

// Fills a rectangle given in whole pixels.
void FillRect(Mask& mask, int left, int top, int right, int bottom)
{
    for (int y = std::max(top, 0); y < std::min(bottom, mask.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, mask.width); ++x)
            mask.At(x, y) = 1.0;
}

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

double Edge(const Point& a, const Point& b, double x, double y)
{
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

// Coverage of a triangle at a pixel, from a 4 x 4 grid of samples.
double TriangleCoverage(const Point& a, const Point& b, const Point& c, int px, int py)
{
    const double area = Edge(a, b, c.x, c.y);
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
    {
        for (int sx = 0; sx < 4; ++sx)
        {
            const double x = px + (sx + 0.5) / 4.0;
            const double y = py + (sy + 0.5) / 4.0;
            const double e0 = Edge(a, b, x, y) * area;
            const double e1 = Edge(b, c, x, y) * area;
            const double e2 = Edge(c, a, x, y) * area;
            if (e0 >= 0.0 && e1 >= 0.0 && e2 >= 0.0)
                ++inside;
        }
    }
    return inside / 16.0;
}

// Visits every pixel a triangle touches with its coverage.
template <typename Visit>
void ForTriangle(const Point& a, const Point& b, const Point& c, int width, int height, Visit visit)
{
    const int left = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int right = std::min(width - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int top = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int bottom = std::min(height - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
        {
            const double coverage = TriangleCoverage(a, b, c, x, y);
            if (coverage > 0.0)
                visit(x, y, coverage);
        }
}

// Removes a triangle from a mask (a cut-out).
void CutTriangle(Mask& mask, const Point& a, const Point& b, const Point& c)
{
    ForTriangle(a, b, c, mask.width, mask.height,
                [&](int x, int y, double coverage)
                { mask.At(x, y) = std::max(0.0, mask.At(x, y) - coverage); });
}

// Lettering rasterised by FreeType: a tight box of 8-bit coverage, and the baseline's row in it.
struct Lettering
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
    int baseline = 0;
};

class FontFace
{
  public:
    explicit FontFace(const std::string& path)
    {
        if (FT_Init_FreeType(&library) != 0)
            throw std::runtime_error("Could not start FreeType");
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0)
        {
            FT_Done_FreeType(library);
            throw std::runtime_error("Could not open the font " + path);
        }
    }
    ~FontFace()
    {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Thickens every stroke by this many pixels on each side (0: the font as it is).
    void SetEmbolden(int pixels) { emboldenPixels = pixels; }

    // Draws the text at a pixel size on one baseline, cropped to the pixels it inks.
    Lettering Render(const std::string& text, int pixelSize)
    {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
        struct Placed
        {
            int x;
            int y;
            int w;
            int h;
            std::vector<std::uint8_t> bits;
        };
        std::vector<Placed> glyphs;
        int penX = 0;
        for (char c : text)
        {
            if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_BITMAP) != 0)
                throw std::runtime_error("Could not draw a letter");
            const FT_GlyphSlot slot = face->glyph;
            if (emboldenPixels > 0)
                FT_Outline_Embolden(&slot->outline, emboldenPixels * 2 * 64);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
                throw std::runtime_error("Could not draw a letter");
            Placed placed{penX + slot->bitmap_left,
                          -slot->bitmap_top,
                          static_cast<int>(slot->bitmap.width),
                          static_cast<int>(slot->bitmap.rows),
                          {}};
            for (int row = 0; row < placed.h; ++row)
                for (int col = 0; col < placed.w; ++col)
                    placed.bits.push_back(slot->bitmap.buffer[row * slot->bitmap.pitch + col]);
            glyphs.push_back(std::move(placed));
            penX += static_cast<int>(slot->advance.x >> 6);
        }
        int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
        for (const Placed& g : glyphs)
        {
            if (g.w == 0 || g.h == 0)
                continue;
            left = std::min(left, g.x);
            top = std::min(top, g.y);
            right = std::max(right, g.x + g.w);
            bottom = std::max(bottom, g.y + g.h);
        }
        Lettering lettering;
        if (right <= left)
            return lettering;
        lettering.width = right - left;
        lettering.height = bottom - top;
        lettering.baseline = -top;
        lettering.coverage.assign(static_cast<std::size_t>(lettering.width) * lettering.height, 0);
        for (const Placed& g : glyphs)
            for (int row = 0; row < g.h; ++row)
                for (int col = 0; col < g.w; ++col)
                {
                    std::uint8_t& target =
                        lettering.coverage[static_cast<std::size_t>(g.y - top + row) * lettering.width +
                                           (g.x - left + col)];
                    target = std::max(target, g.bits[static_cast<std::size_t>(row) * g.w + col]);
                }
        return lettering;
    }

    // The largest lettering that fits the box.
    Lettering RenderToFit(const std::string& text, int boxWidth, int boxHeight)
    {
        for (int size = boxHeight * 2; size > 4; size -= 2)
        {
            Lettering lettering = Render(text, size);
            if (lettering.width <= boxWidth && lettering.height <= boxHeight)
                return lettering;
        }
        throw std::runtime_error("The lettering does not fit");
    }

  private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int emboldenPixels = 0;
};

// Adds the lettering to the mask, centred on the given point.
void StampLettering(Mask& mask, const Lettering& lettering, int centreX, int centreY)
{
    const int left = centreX - lettering.width / 2;
    const int top = centreY - lettering.height / 2;
    for (int y = 0; y < lettering.height; ++y)
        for (int x = 0; x < lettering.width; ++x)
            mask.Add(left + x, top + y,
                     lettering.coverage[static_cast<std::size_t>(y) * lettering.width + x] / 255.0);
}

// Torvane layout, in pixels of the 1024 x 247 image.
constexpr int kLogoWidth = 1024;
constexpr int kLogoHeight = 247;
constexpr int kMarkLeft = 14;
constexpr int kMarkRight = 1010;
constexpr int kEmblemRight = kMarkLeft + 205; // the left fifth of the image
constexpr int kNameLeft = kEmblemRight + 20;
constexpr int kBarTop = 218; // the bottom 12 %
constexpr int kNameBottom = kBarTop - 10;

// The emblem: a full-height block with a notch cut from its right side, pointing at the name.
void DrawEmblem(Mask& mask)
{
    FillRect(mask, kMarkLeft, 0, kEmblemRight, kLogoHeight);
    const double middle = kLogoHeight / 2.0;
    CutTriangle(mask, Point{kEmblemRight + 1.0, middle - 48.0}, Point{kEmblemRight + 1.0, middle + 48.0},
                Point{kMarkLeft + 125.0, middle});
    // A square window near the top-left corner, which no flip maps onto itself.
    for (int y = 26; y < 60; ++y)
        for (int x = kMarkLeft + 26; x < kMarkLeft + 60; ++x)
            mask.At(x, y) = 0.0;
}

// Crane picture layout, in pixels of the 1920 x 1080 image.
constexpr int kCraneWidth = 1920;
constexpr int kCraneHeight = 1080;
constexpr Colour kSkyTop{198.0, 190.0, 228.0};
constexpr Colour kSkyBottom{30.0, 22.0, 78.0};

struct Facet
{
    Point a;
    Point b;
    Point c;
    double shade; // 1 is pure white
};

// The crane, seen from the side with both wings raised, each facet a flat shade of white. The sky is
// darker where it stands, so the white reads against it.
constexpr double kCraneDrop = 110.0;
const std::array<Facet, 7>& CraneFacets()
{
    static const std::array<Facet, 7> facets = {{
        {{960, 400}, {1110, 470}, {1230, 130}, 0.90},  // far wing
        {{820, 470}, {960, 400}, {880, 150}, 1.00},    // near wing
        {{820, 470}, {960, 400}, {1110, 470}, 0.96},   // back
        {{820, 470}, {1110, 470}, {960, 550}, 0.84},   // belly
        {{1070, 470}, {1150, 470}, {1360, 300}, 0.93}, // tail
        {{880, 470}, {820, 470}, {640, 280}, 0.98},    // neck
        {{640, 280}, {670, 300}, {565, 330}, 0.88},    // head and beak
    }};
    return facets;
}
} // namespace

void SetLogoFontPath(const std::string& path)
{
    fontPath = path;
}

const std::string& GetLogoFontPath()
{
    return fontPath;
}

TextureImage GenerateTorvaneLogoRed()
{
    Mask mask(kLogoWidth, kLogoHeight);
    DrawEmblem(mask);
    FillRect(mask, kNameLeft, kBarTop, kMarkRight, kLogoHeight);

    FontFace font(fontPath);
    // Heavy strokes: the mark is seen small, and only its red shows.
    font.SetEmbolden(5);
    const Lettering name = font.RenderToFit("TORVANE", kMarkRight - kNameLeft, kNameBottom - 2);
    StampLettering(mask, name, (kNameLeft + kMarkRight) / 2, (kNameBottom + 2) / 2);

    TextureImage image = MakeImage(kLogoWidth, kLogoHeight);
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
        {
            std::uint8_t* pixel = Pixel(image, x, y);
            pixel[0] = ToByte(kLogoRed.r);
            pixel[1] = ToByte(kLogoRed.g);
            pixel[2] = ToByte(kLogoRed.b);
            pixel[3] = ToByte(255.0 * mask.At(x, y));
        }
    return image;
}

TextureImage GenerateDriftThePaperCrane()
{
    std::vector<Colour> canvas(static_cast<std::size_t>(kCraneWidth) * kCraneHeight);
    for (int y = 0; y < kCraneHeight; ++y)
    {
        // Eased, so the pale sky lasts and the indigo gathers at the bottom.
        const double t = std::pow(static_cast<double>(y) / (kCraneHeight - 1), 1.4);
        const Colour row{kSkyTop.r + (kSkyBottom.r - kSkyTop.r) * t,
                         kSkyTop.g + (kSkyBottom.g - kSkyTop.g) * t,
                         kSkyTop.b + (kSkyBottom.b - kSkyTop.b) * t};
        std::fill_n(canvas.begin() + static_cast<std::ptrdiff_t>(y) * kCraneWidth, kCraneWidth, row);
    }

    auto blend = [&](int x, int y, double amount, const Colour& colour)
    {
        Colour& target = canvas[static_cast<std::size_t>(y) * kCraneWidth + x];
        target.r += (colour.r - target.r) * amount;
        target.g += (colour.g - target.g) * amount;
        target.b += (colour.b - target.b) * amount;
    };

    for (const Facet& facet : CraneFacets())
    {
        const Colour shade{kWhite.r * facet.shade, kWhite.g * facet.shade, kWhite.b * facet.shade};
        const Point a{facet.a.x, facet.a.y + kCraneDrop};
        const Point b{facet.b.x, facet.b.y + kCraneDrop};
        const Point c{facet.c.x, facet.c.y + kCraneDrop};
        ForTriangle(a, b, c, kCraneWidth, kCraneHeight,
                    [&](int x, int y, double coverage) { blend(x, y, coverage, shade); });
    }

    FontFace font(fontPath);
    const Lettering title = font.RenderToFit("DRIFT THE PAPER CRANE", 1300, 110);
    const int left = kCraneWidth / 2 - title.width / 2;
    const int top = 860 - title.height / 2;
    for (int y = 0; y < title.height; ++y)
        for (int x = 0; x < title.width; ++x)
        {
            const double amount = title.coverage[static_cast<std::size_t>(y) * title.width + x] / 255.0;
            if (amount > 0.0)
                blend(left + x, top + y, amount, kWhite);
        }

    TextureImage image = MakeImage(kCraneWidth, kCraneHeight);
    for (int y = 0; y < kCraneHeight; ++y)
        for (int x = 0; x < kCraneWidth; ++x)
        {
            const Colour& colour = canvas[static_cast<std::size_t>(y) * kCraneWidth + x];
            std::uint8_t* pixel = Pixel(image, x, y);
            pixel[0] = ToByte(colour.r);
            pixel[1] = ToByte(colour.g);
            pixel[2] = ToByte(colour.b);
            pixel[3] = 255;
        }
    return image;
}

namespace
{
TextCoverage ToCoverage(Lettering lettering)
{
    return TextCoverage{lettering.width, lettering.height, std::move(lettering.coverage), lettering.baseline};
}
} // namespace

TextCoverage RenderTextToFit(const std::string& text, int boxWidth, int boxHeight, int embolden)
{
    FontFace face(fontPath);
    face.SetEmbolden(embolden);
    return ToCoverage(face.RenderToFit(text, boxWidth, boxHeight));
}

TextCoverage RenderTextAtSize(const std::string& text, int pixelSize, int embolden)
{
    FontFace face(fontPath);
    face.SetEmbolden(embolden);
    return ToCoverage(face.Render(text, pixelSize));
}
