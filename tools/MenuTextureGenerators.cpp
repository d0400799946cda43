#include "MenuTextureGenerators.h"

#include "LogoGenerators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

namespace
{
struct Rgba
{
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 255.0;
};

constexpr Rgba kOrange{255.0, 140.0, 30.0};
constexpr Rgba kBlue{40.0, 150.0, 255.0};
constexpr Rgba kWhite{255.0, 255.0, 255.0};
constexpr Rgba kPale{220.0, 220.0, 235.0};

Rgba Mix(const Rgba& a, const Rgba& b, double t)
{
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

void Set(TextureImage& image, int x, int y, const Rgba& colour)
{
    std::uint8_t* pixel = Pixel(image, x, y);
    pixel[0] = ToByte(colour.r);
    pixel[1] = ToByte(colour.g);
    pixel[2] = ToByte(colour.b);
    pixel[3] = ToByte(colour.a);
}

// Paints colour over the pixel with the given coverage (0..1), "over" compositing in straight alpha.
void Blend(TextureImage& image, int x, int y, const Rgba& colour, double coverage)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || coverage <= 0.0)
        return;
    std::uint8_t* pixel = Pixel(image, x, y);
    const double srcA = colour.a / 255.0 * std::min(coverage, 1.0);
    const double dstA = pixel[3] / 255.0;
    const double outA = srcA + dstA * (1.0 - srcA);
    if (outA <= 0.0)
        return;
    auto channel = [&](double src, std::uint8_t dst) {
        return (src * srcA + dst * dstA * (1.0 - srcA)) / outA;
    };
    pixel[0] = ToByte(channel(colour.r, pixel[0]));
    pixel[1] = ToByte(channel(colour.g, pixel[1]));
    pixel[2] = ToByte(channel(colour.b, pixel[2]));
    pixel[3] = ToByte(outA * 255.0);
}

// Signed distance from a pixel centre to a rounded rectangle (negative inside).
double RoundedBoxDistance(double px, double py, double left, double top, double right, double bottom,
                          double radius)
{
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    const double hx = (right - left) / 2.0 - radius;
    const double hy = (bottom - top) / 2.0 - radius;
    const double qx = std::abs(px - cx) - hx;
    const double qy = std::abs(py - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// Coverage of a pixel by the inside of a shape whose signed distance is d.
double Inside(double d)
{
    return std::clamp(0.5 - d, 0.0, 1.0);
}

// A rounded rectangle over the whole image: a fill and a rim of the given width.
TextureImage RoundedPanel(int width, int height, double radius, double rim, const Rgba& fill, const Rgba& rimColour)
{
    TextureImage image = MakeImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const double d = RoundedBoxDistance(x + 0.5, y + 0.5, 0.0, 0.0, width, height, radius);
            const double shape = Inside(d);
            if (shape <= 0.0)
                continue;
            // Inside the rim's inner edge the fill shows; the rim blends over it.
            const double rimCoverage = rim > 0.0 ? std::clamp(d + rim + 0.5, 0.0, 1.0) : 0.0;
            Rgba colour = Mix(fill, rimColour, rimCoverage);
            colour.a *= shape;
            Set(image, x, y, colour);
        }
    return image;
}

// Adds lettering centred on a point, in one colour or in a colour chosen per pixel column.
template <typename ColourAt>
void StampText(TextureImage& image, const TextCoverage& text, int centreX, int centreY, ColourAt colourAt)
{
    const int left = centreX - text.width / 2;
    const int top = centreY - text.height / 2;
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
        {
            const double coverage = text.coverage[static_cast<std::size_t>(y) * text.width + x] / 255.0;
            Blend(image, left + x, top + y, colourAt(left + x), coverage);
        }
}

void StampText(TextureImage& image, const TextCoverage& text, int centreX, int centreY, const Rgba& colour)
{
    StampText(image, text, centreX, centreY, [&colour](int) { return colour; });
}

// Lettering with a thickened outline behind it, both at the largest size whose outline fits the box.
void StampOutlinedText(TextureImage& image, const std::string& words, int boxWidth, int boxHeight, int outline,
                       const Rgba& outlineColour, const std::function<Rgba(int)>& colourAt)
{
    int size = boxHeight * 2;
    TextCoverage back = RenderTextAtSize(words, size, outline);
    while (size > 8 && (back.width > boxWidth || back.height > boxHeight))
    {
        size -= 4;
        back = RenderTextAtSize(words, size, outline);
    }
    const TextCoverage front = RenderTextAtSize(words, size, 0);
    StampText(image, back, image.width / 2, image.height / 2, outlineColour);
    StampText(image, front, image.width / 2, image.height / 2, colourAt);
}

// A small seeded generator, so the stars are the same on every machine.
class StarRandom
{
  public:
    explicit StarRandom(std::uint32_t seed) : state(seed) {}
    std::uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double Unit() { return (Next() & 0xFFFFFF) / static_cast<double>(0x1000000); }

  private:
    std::uint32_t state;
};

// The victory pictures: the winner's words over a soft glow in the winner's colour.
TextureImage VictoryBanner(const std::string& words, const Rgba& colour)
{
    constexpr int kWidth = 1024;
    constexpr int kHeight = 512;
    TextureImage image = MakeImage(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            const double d = RoundedBoxDistance(x + 0.5, y + 0.5, 24, 96, kWidth - 24, kHeight - 96, 60);
            Rgba glow = Mix(Rgba{0, 0, 0, 0}, colour, 1.0);
            glow.a = 150.0 * Inside(d) + 90.0 * std::exp(-std::max(d, 0.0) / 18.0) * (d > 0 ? 1.0 : 0.0);
            glow.r *= 0.35;
            glow.g *= 0.35;
            glow.b *= 0.35;
            Set(image, x, y, glow);
        }
    StampOutlinedText(image, words, 900, 240, 6, kWhite, [&colour](int) { return colour; });
    return image;
}
} // namespace

TextureImage GenerateBG1()
{
    constexpr int kWidth = 1920;
    constexpr int kHeight = 1080;
    const Rgba top{16.0, 24.0, 64.0};
    const Rgba bottom{14.0, 6.0, 24.0};
    TextureImage image = MakeImage(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
    {
        const Rgba row = Mix(top, bottom, static_cast<double>(y) / (kHeight - 1));
        for (int x = 0; x < kWidth; ++x)
            Set(image, x, y, row);
    }

    StarRandom random(20261209u);
    for (int star = 0; star < 900; ++star)
    {
        const int x = static_cast<int>(random.Unit() * kWidth);
        const int y = static_cast<int>(random.Unit() * kHeight);
        const double brightness = 0.35 + 0.65 * random.Unit();
        const bool big = random.Unit() < 0.08;
        const Rgba colour{255.0, 250.0, 235.0, 255.0 * brightness};
        Blend(image, x, y, colour, 1.0);
        if (big)
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
                Blend(image, x + dx, y + dy, colour, 0.5);
    }

    // The ringed planet, low on the right: the ring's far half behind the planet, its near half in front.
    constexpr double kPlanetX = 1480.0;
    constexpr double kPlanetY = 760.0;
    constexpr double kPlanetRadius = 170.0;
    constexpr double kRingOuter = 330.0;
    constexpr double kRingInner = 230.0;
    constexpr double kRingFlatten = 0.28;
    const Rgba planetLit{200.0, 120.0, 190.0};
    const Rgba planetDark{50.0, 22.0, 70.0};
    const Rgba ring{230.0, 200.0, 160.0, 200.0};
    auto ringCoverage = [&](double px, double py) {
        const double dx = px - kPlanetX;
        const double dy = (py - kPlanetY) / kRingFlatten;
        const double r = std::hypot(dx, dy);
        return std::clamp(std::min(r - kRingInner, kRingOuter - r) * kRingFlatten, 0.0, 1.0);
    };
    for (int y = static_cast<int>(kPlanetY - kRingOuter); y < static_cast<int>(kPlanetY + kRingOuter); ++y)
        for (int x = static_cast<int>(kPlanetX - kRingOuter); x < static_cast<int>(kPlanetX + kRingOuter); ++x)
        {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double ringHere = ringCoverage(px, py);
            if (py < kPlanetY)
                Blend(image, x, y, ring, ringHere);
            const double d = std::hypot(px - kPlanetX, py - kPlanetY);
            const double body = Inside(d - kPlanetRadius);
            if (body > 0.0)
            {
                // Lit from the upper left.
                const double light = std::clamp(0.5 + 0.5 * ((kPlanetX - px) + (kPlanetY - py)) /
                                                          (kPlanetRadius * 1.4142),
                                                 0.0, 1.0);
                const double band = 0.08 * std::sin((py - kPlanetY) / 14.0);
                Blend(image, x, y, Mix(planetDark, planetLit, std::clamp(light + band, 0.0, 1.0)), body);
            }
            if (py >= kPlanetY)
                Blend(image, x, y, ring, ringHere);
        }
    return image;
}

TextureImage GenerateMenuButtonBase()
{
    return RoundedPanel(250, 100, 18.0, 6.0, Rgba{110.0, 110.0, 130.0}, kWhite);
}

TextureImage GenerateMenuLogo()
{
    constexpr int kWidth = 1024;
    constexpr int kHeight = 256;
    TextureImage image = MakeImage(kWidth, kHeight);
    StampOutlinedText(image, "GLIMMOCK", 980, 210, 5, Rgba{20.0, 12.0, 30.0},
                      [](int x) { return x < kWidth / 2 ? kOrange : kBlue; });
    return image;
}

TextureImage GenerateMenuBorder()
{
    constexpr int kSize = 512;
    TextureImage image = RoundedPanel(kSize, kSize, 48.0, 10.0, Rgba{10.0, 10.0, 24.0, 150.0}, kPale);
    return image;
}

TextureImage GenerateMenuBorderDetail()
{
    constexpr int kWidth = 1024;
    constexpr int kHeight = 64;
    TextureImage image = MakeImage(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
        {
            const double d = RoundedBoxDistance(x + 0.5, y + 0.5, 4, 18, kWidth - 4, kHeight - 18, 14);
            Rgba colour = Mix(kOrange, kBlue, static_cast<double>(x) / (kWidth - 1));
            colour.a = 255.0 * Inside(d);
            Set(image, x, y, colour);
        }
    return image;
}

TextureImage GenerateMenuPanel()
{
    return RoundedPanel(256, 256, 28.0, 3.0, Rgba{12.0, 12.0, 28.0, 200.0}, Rgba{160.0, 160.0, 200.0, 220.0});
}

TextureImage GenerateMenuBackdrop()
{
    TextureImage image = MakeImage(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            Set(image, x, y, Rgba{8.0, 8.0, 16.0, 200.0});
    return image;
}

TextureImage GenerateControlsCard()
{
    constexpr int kWidth = 1024;
    constexpr int kHeight = 576;
    TextureImage image = RoundedPanel(kWidth, kHeight, 36.0, 6.0, Rgba{14.0, 14.0, 34.0, 235.0}, kPale);

    struct Line
    {
        const char* text;
        int size;
        Rgba colour;
        int x; // left edge
        int y; // centre
    };
    constexpr int kLeftColumn = 60;
    constexpr int kRightColumn = 540;
    const Line lines[] = {
        {"PLAYER 1 - ORANGE", 40, kOrange, kLeftColumn, 70},
        {"Arrows: move", 30, kWhite, kLeftColumn, 130},
        {"Up: jump", 30, kWhite, kLeftColumn, 175},
        {"Right Shift: grab / throw", 30, kWhite, kLeftColumn, 220},
        {"PLAYER 2 - BLUE", 40, kBlue, kRightColumn, 70},
        {"A / D: move", 30, kWhite, kRightColumn, 130},
        {"W: jump", 30, kWhite, kRightColumn, 175},
        {"Left Shift: grab / throw", 30, kWhite, kRightColumn, 220},
        {"CONTROLLER", 40, kPale, kLeftColumn, 300},
        {"Left stick: move and jump", 30, kWhite, kLeftColumn, 360},
        {"A: grab / throw", 30, kWhite, kLeftColumn, 405},
        {"Right stick: aim", 30, kWhite, kLeftColumn, 450},
        {"Esc or START: pause", 30, kWhite, kRightColumn, 360},
        {"F11: full screen", 30, kWhite, kRightColumn, 405},
    };
    for (const Line& line : lines)
    {
        const TextCoverage text = RenderTextAtSize(line.text, line.size);
        StampText(image, text, line.x + text.width / 2, line.y, line.colour);
    }
    return image;
}

TextureImage GenerateVictoryOrange()
{
    return VictoryBanner("ORANGE WINS!", kOrange);
}

TextureImage GenerateVictoryBlue()
{
    return VictoryBanner("BLUE WINS!", kBlue);
}
