#include "MatchTextureGenerators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace
{
struct Colour
{
    double r = 0.0, g = 0.0, b = 0.0, a = 1.0;
};

Colour Mix(const Colour& from, const Colour& to, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Colour Scaled(const Colour& colour, double factor)
{
    return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

Colour Rgb(int r, int g, int b, double a = 1.0)
{
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

std::uint8_t UnitToByte(double value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

TextureImage Blank(int width, int height)
{
    TextureImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return image;
}

void Put(TextureImage& image, int x, int y, const Colour& colour)
{
    std::uint8_t* pixel = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    pixel[0] = UnitToByte(colour.r);
    pixel[1] = UnitToByte(colour.g);
    pixel[2] = UnitToByte(colour.b);
    pixel[3] = UnitToByte(colour.a);
}

// Fills every pixel from a function of its centre (x + 0.5, y + 0.5).
template <typename Shade> TextureImage Paint(int width, int height, Shade shade)
{
    TextureImage image = Blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            Put(image, x, y, shade(x + 0.5, y + 0.5));
    return image;
}

// A hash of a lattice point: the same on every machine, unlike the standard distributions.
double Hash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return (h & 0xFFFFFFu) / static_cast<double>(0x1000000);
}

double Smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

// Value noise in 0..1 with lattice cells of the given size.
double ValueNoise(double x, double y, double cell, std::uint32_t seed)
{
    const double fx = x / cell;
    const double fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx));
    const int iy = static_cast<int>(std::floor(fy));
    const double tx = Smooth(fx - ix);
    const double ty = Smooth(fy - iy);
    const double top = Hash(ix, iy, seed) + (Hash(ix + 1, iy, seed) - Hash(ix, iy, seed)) * tx;
    const double bottom = Hash(ix, iy + 1, seed) + (Hash(ix + 1, iy + 1, seed) - Hash(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

// Four octaves, coarse first, in 0..1.
double Fractal(double x, double y, double cell, std::uint32_t seed)
{
    double sum = 0.0;
    double weight = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < 4; ++octave)
    {
        sum += ValueNoise(x, y, cell, seed + octave) * weight;
        total += weight;
        cell *= 0.5;
        weight *= 0.5;
    }
    return sum / total;
}

// Signed distance to a rounded box given by its corners (negative inside).
double RoundedBox(double x, double y, double left, double top, double right, double bottom, double radius)
{
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    const double qx = std::abs(x - cx) - ((right - left) / 2.0 - radius);
    const double qy = std::abs(y - cy) - ((bottom - top) / 2.0 - radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double Ellipse(double x, double y, double cx, double cy, double rx, double ry)
{
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1.0) * std::min(rx, ry);
}

// ---- Astronauts ------------------------------------------------------------------------------------

constexpr int kAstronautWidth = 80;
constexpr int kAstronautHeight = 144;
constexpr int kSubsamples = 4;

// The colour of the figure at a point, or alpha 0 outside it; parts are tested front to back.
Colour AstronautAt(double x, double y, const Colour& accent)
{
    const Colour suit = Rgb(236, 238, 242);
    const Colour suitShade = Rgb(190, 196, 208);
    const Colour visorDark = Rgb(18, 24, 46);
    const Colour pack = Rgb(150, 156, 168);
    // Light falls from the upper right, towards which the figure faces.
    const auto shaded = [&](const Colour& base, double cx, double cy, double reach) {
        const double t = std::clamp(((cx - x) + (y - cy)) / (2.0 * reach) + 0.5, 0.0, 1.0);
        return Mix(base, Scaled(base, 0.78), t);
    };

    // Visor: at +x on the helmet, with a glint of the accent.
    if (Ellipse(x, y, 55.0, 29.0, 14.0, 12.0) < 0.0 && Ellipse(x, y, 44.0, 30.0, 24.0, 24.0) < 0.0)
    {
        if (Ellipse(x, y, 59.0, 24.0, 4.0, 3.0) < 0.0)
            return Rgb(255, 255, 255);
        const double glint = std::clamp((y - 20.0) / 20.0, 0.0, 1.0);
        return Mix(Mix(accent, visorDark, 0.35), visorDark, glint);
    }
    // Helmet, with an accent rim round the neck.
    if (Ellipse(x, y, 44.0, 30.0, 24.0, 24.0) < 0.0)
    {
        if (y > 48.0)
            return accent;
        return shaded(suit, 44.0, 30.0, 24.0);
    }
    // Front arm and glove.
    if (RoundedBox(x, y, 46.0, 58.0, 62.0, 96.0, 7.0) < 0.0)
    {
        if (y > 86.0)
            return Scaled(accent, 0.9);
        return shaded(suitShade, 54.0, 76.0, 12.0);
    }
    // Shoulder pad.
    if (Ellipse(x, y, 50.0, 60.0, 10.0, 8.0) < 0.0)
        return accent;
    // Torso, belt and chest panel.
    if (RoundedBox(x, y, 24.0, 50.0, 62.0, 102.0, 10.0) < 0.0)
    {
        if (y > 92.0 && y < 99.0)
            return Scaled(accent, 0.85);
        if (RoundedBox(x, y, 30.0, 66.0, 42.0, 80.0, 2.0) < 0.0)
            return Mix(Rgb(60, 66, 80), accent, ((static_cast<int>(y) / 4) % 2 == 0) ? 0.8 : 0.2);
        return shaded(suit, 43.0, 76.0, 24.0);
    }
    // Backpack at -x, behind the torso.
    if (RoundedBox(x, y, 8.0, 50.0, 30.0, 100.0, 5.0) < 0.0)
    {
        if (x < 14.0 && y > 58.0 && y < 92.0)
            return accent;
        return shaded(pack, 18.0, 74.0, 14.0);
    }
    // Legs and boots; the boots' toes point to +x.
    const bool backLeg = RoundedBox(x, y, 27.0, 96.0, 43.0, 132.0, 6.0) < 0.0;
    const bool frontLeg = RoundedBox(x, y, 45.0, 96.0, 61.0, 132.0, 6.0) < 0.0;
    if (RoundedBox(x, y, 45.0, 128.0, 66.0, 141.0, 4.0) < 0.0)
        return Scaled(accent, 0.95);
    if (RoundedBox(x, y, 27.0, 128.0, 48.0, 141.0, 4.0) < 0.0)
        return Scaled(accent, 0.75);
    if (frontLeg)
        return shaded(suit, 53.0, 114.0, 10.0);
    if (backLeg)
        return shaded(suitShade, 35.0, 114.0, 10.0);
    return {0.0, 0.0, 0.0, 0.0};
}

// Supersamples the figure: alpha is the covered share and colour the covered mean, so the edges are
// smooth and the mask never depends on the accent.
TextureImage Astronaut(const Colour& accent)
{
    TextureImage image = Blank(kAstronautWidth, kAstronautHeight);
    for (int y = 0; y < kAstronautHeight; ++y)
    {
        for (int x = 0; x < kAstronautWidth; ++x)
        {
            Colour sum{0.0, 0.0, 0.0, 0.0};
            int covered = 0;
            for (int sy = 0; sy < kSubsamples; ++sy)
            {
                for (int sx = 0; sx < kSubsamples; ++sx)
                {
                    const Colour c =
                        AstronautAt(x + (sx + 0.5) / kSubsamples, y + (sy + 0.5) / kSubsamples, accent);
                    if (c.a <= 0.0)
                        continue;
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                    ++covered;
                }
            }
            if (covered == 0)
            {
                // Transparent pixels keep the suit's white, so filtering never darkens the outline.
                Put(image, x, y, {1.0, 1.0, 1.0, 0.0});
                continue;
            }
            const double n = covered;
            Put(image, x, y, {sum.r / n, sum.g / n, sum.b / n, n / (kSubsamples * kSubsamples)});
        }
    }
    return image;
}

// ---- Bevelled pads ---------------------------------------------------------------------------------

// Metal with a light top edge, dark bottom edge and rivets at both ends; a strip, when given, glows
// along the middle.
TextureImage Pad(int width, int height, const Colour* strip, std::uint32_t seed)
{
    const Colour metal = Rgb(128, 134, 146);
    return Paint(width, height, [&](double x, double y) {
        const double grain = Fractal(x, y * 4.0, 16.0, seed) - 0.5;
        Colour c = Scaled(metal, 1.0 + grain * 0.18);
        const double edge = std::min({x, y, width - x, height - y});
        if (y < 3.0)
            c = Mix(c, Rgb(214, 220, 230), 0.8);
        else if (height - y < 3.0)
            c = Scaled(c, 0.55);
        else if (edge < 3.0)
            c = Scaled(c, x < 3.0 ? 1.15 : 0.7);
        for (const double rx : {6.0, width - 6.0})
            if (std::hypot(x - rx, y - height / 2.0) < 2.2)
                c = Rgb(70, 74, 84);
        if (strip != nullptr && x > 11.0 && x < width - 11.0)
        {
            const double centre = std::abs(y - height / 2.0);
            if (centre < 2.5)
                c = Mix(*strip, Rgb(255, 255, 255), 0.35);
            else if (centre < 5.0)
                c = Mix(c, *strip, 0.7 * (5.0 - centre) / 2.5 + 0.2);
        }
        c.a = 1.0;
        return c;
    });
}

// ---- Rock -----------------------------------------------------------------------------------------

TextureImage Rock(int width, int height, std::uint32_t seed)
{
    const Colour tan = Rgb(184, 160, 120);
    const Colour dark = Rgb(120, 100, 72);
    const Colour lip = Rgb(236, 222, 190);
    return Paint(width, height, [&](double x, double y) {
        const double n = Fractal(x, y, 24.0, seed);
        Colour c = Mix(dark, tan, 0.35 + n * 0.9);
        // Small craters: dark rims where a coarse noise crosses a level.
        const double crater = ValueNoise(x, y, 9.0, seed + 17);
        if (crater > 0.78 && crater < 0.84)
            c = Scaled(c, 0.8);
        else if (crater >= 0.84)
            c = Mix(c, lip, 0.25);
        if (y < 4.0)
            c = Mix(c, lip, 0.85 - y * 0.15);
        c.a = 1.0;
        return c;
    });
}

TextureImage Goal(const Colour& bright)
{
    constexpr int kWidth = 64;
    constexpr int kHeight = 160;
    constexpr double kFrame = 7.0;
    return Paint(kWidth, kHeight, [&](double x, double y) {
        const double frame = std::min({x, y, kWidth - x, kHeight - y});
        if (frame < kFrame)
        {
            // The frame is lit at its centre line.
            const double centre = std::abs(frame - kFrame / 2.0) / (kFrame / 2.0);
            Colour c = Mix(Mix(bright, Rgb(255, 255, 255), 0.45), bright, centre);
            c.a = 1.0;
            return c;
        }
        // A diamond net over a faint fill, glowing a little near the frame.
        const double u = std::fmod(x + y, 16.0);
        const double v = std::fmod(x - y + 160.0, 16.0);
        const bool net = u < 1.2 || v < 1.2;
        const double glow = std::clamp(1.0 - (frame - kFrame) / 10.0, 0.0, 1.0);
        Colour c = bright;
        c.a = net ? 0.5 : 0.24 + 0.16 * glow;
        return c;
    });
}
} // namespace

TextureImage GenerateAstronautOrange()
{
    return Astronaut(Rgb(255, 128, 24));
}

TextureImage GenerateAstronautBlue()
{
    return Astronaut(Rgb(30, 110, 255));
}

TextureImage GenerateAstronautRed()
{
    return Astronaut(Rgb(220, 30, 30));
}

TextureImage GenerateAstronautDeepBlue()
{
    return Astronaut(Rgb(20, 60, 220));
}

TextureImage GenerateBalls()
{
    constexpr int kSize = 64;
    const Colour core = Rgb(255, 244, 255);
    const Colour violet = Rgb(160, 70, 255);
    const Colour deep = Rgb(96, 24, 210);
    return Paint(kSize, kSize, [&](double x, double y) {
        const double r = std::hypot(x - kSize / 2.0, y - kSize / 2.0) / (kSize / 2.0);
        if (r >= 1.0)
            return Colour{violet.r, violet.g, violet.b, 0.0};
        Colour c = r < 0.45 ? Mix(core, violet, r / 0.45) : Mix(violet, deep, (r - 0.45) / 0.55);
        // Opaque body, then a soft halo falling to nothing at the rim.
        c.a = r < 0.6 ? 1.0 : std::pow(1.0 - (r - 0.6) / 0.4, 2.0);
        return c;
    });
}

TextureImage GenerateGoalOrange()
{
    return Goal(Rgb(255, 136, 24));
}

TextureImage GenerateGoalBlue()
{
    return Goal(Rgb(40, 140, 255));
}

TextureImage GenerateFloorRock()
{
    return Rock(1920, 40, 101);
}

TextureImage GeneratePedestalRock()
{
    return Rock(100, 80, 202);
}

// The lava arena's floor pieces, each at its own size so its rock is not squeezed into streaks.
TextureImage GenerateFloorRockLedge()
{
    return Rock(775, 40, 103);
}

TextureImage GenerateFloorRockIsland()
{
    return Rock(230, 40, 104);
}

TextureImage GeneratePlatformMetal()
{
    return Pad(100, 20, nullptr, 303);
}

TextureImage GeneratePlatformOrange()
{
    const Colour strip = Rgb(255, 130, 20);
    return Pad(80, 20, &strip, 404);
}

TextureImage GeneratePlatformBlue()
{
    const Colour strip = Rgb(40, 130, 255);
    return Pad(80, 20, &strip, 505);
}

TextureImage GeneratePlatformHover()
{
    const Colour strip = Rgb(80, 255, 220);
    return Pad(100, 20, &strip, 606);
}

TextureImage GenerateWallSteel()
{
    constexpr int kWidth = 200;
    constexpr int kHeight = 460;
    const Colour steel = Rgb(58, 64, 76);
    return Paint(kWidth, kHeight, [&](double x, double y) {
        // Everything is a function of the distance from the centre line, so the wall mirrors exactly.
        const double m = std::abs(x - kWidth / 2.0);
        Colour c = Scaled(steel, 0.85 + Fractal(m, y, 40.0, 707) * 0.3);
        const double panelY = std::fmod(y, 92.0);
        const bool seam = panelY < 2.0 || (m > 48.0 && m < 51.0) || m > 97.0;
        if (seam)
            c = Scaled(c, 0.45);
        else if (panelY < 4.0)
            c = Mix(c, Rgb(140, 150, 170), 0.5);
        const double rivetY = std::fmod(y + 10.0, 46.0);
        for (const double rx : {10.0, 40.0, 60.0, 90.0})
            if (std::hypot(m - rx, rivetY - 10.0) < 2.5)
                c = Rgb(120, 128, 142);
        c.a = 1.0;
        return c;
    });
}

TextureImage GenerateLava()
{
    const Colour crust = Rgb(84, 16, 8);
    const Colour molten = Rgb(255, 96, 16);
    const Colour hot = Rgb(255, 220, 90);
    return Paint(128, 32, [&](double x, double y) {
        // Veins follow where the noise crosses one half: bright near the crossing, crust away from it.
        const double n = Fractal(x, y * 1.5, 32.0, 808);
        const double vein = std::clamp(1.0 - std::abs(n - 0.5) * 9.0, 0.0, 1.0);
        Colour c = Mix(Mix(crust, Rgb(170, 40, 10), Fractal(x, y, 8.0, 909)), molten, vein);
        c = Mix(c, hot, vein * vein * 0.8);
        c.a = 1.0;
        return c;
    });
}

TextureImage GenerateHudPanel()
{
    constexpr double kWidth = 128.0;
    constexpr double kHeight = 64.0;
    return Paint(128, 64, [&](double x, double y) {
        const double d = RoundedBox(x, y, 2.0, 2.0, kWidth - 2.0, kHeight - 2.0, 14.0);
        const double coverage = std::clamp(0.5 - d, 0.0, 1.0);
        Colour c = d > -2.5 ? Rgb(140, 160, 220) : Mix(Rgb(34, 40, 64), Rgb(14, 16, 28), y / kHeight);
        c.a = coverage * (d > -2.5 ? 0.9 : 0.72);
        return c;
    });
}

TextureImage GenerateHudPip()
{
    return Paint(64, 64, [](double x, double y) {
        const double r = std::hypot(x - 32.0, y - 32.0);
        Colour c = Rgb(255, 255, 255);
        c.a = r < 20.0 ? 1.0 : std::clamp(1.0 - (r - 20.0) / 8.0, 0.0, 1.0);
        return c;
    });
}
