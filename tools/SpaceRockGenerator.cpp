#include "SpaceRockGenerator.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kRockSize = 64;
constexpr double kPi = 3.14159265358979323846;

struct Crater
{
    double x, y, radius;
};

// Fixed craters: the picture is the same on every machine, with no random source.
constexpr Crater kCraters[] = {
    {24.0, 22.0, 6.0}, {40.0, 34.0, 8.0}, {22.0, 42.0, 4.5}, {42.0, 17.0, 3.5}, {31.0, 50.0, 3.0},
};

// The rock's outline: a circle with a few slow bumps, in pixels from the centre.
double OutlineRadius(double angle)
{
    return 27.0 + 1.8 * std::sin(3.0 * angle + 0.4) + 1.1 * std::sin(5.0 * angle + 1.9) +
           0.6 * std::sin(9.0 * angle + 0.7);
}
} // namespace

TextureImage GeneratePurpleSpaceRock()
{
    TextureImage image;
    image.width = kRockSize;
    image.height = kRockSize;
    image.pixels.assign(static_cast<std::size_t>(kRockSize) * kRockSize * 4, 0);
    const double centre = kRockSize / 2.0;
    for (int y = 0; y < kRockSize; ++y)
        for (int x = 0; x < kRockSize; ++x)
        {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            const double distance = std::sqrt(dx * dx + dy * dy);
            const double outline = OutlineRadius(std::atan2(dy, dx));
            // One pixel of soft edge, so the outline is smooth when scaled.
            const double coverage = std::clamp(outline + 0.5 - distance, 0.0, 1.0);
            std::uint8_t* pixel = &image.pixels[(static_cast<std::size_t>(y) * kRockSize + x) * 4];
            // Transparent pixels keep the rock's colour, so filtering never darkens the edge.
            double light = 1.0 - 0.45 * std::clamp((dx + dy) / (2.0 * outline) + 0.5, 0.0, 1.0);
            for (const Crater& crater : kCraters)
            {
                const double cx = x + 0.5 - crater.x;
                const double cy = y + 0.5 - crater.y;
                const double inside = std::sqrt(cx * cx + cy * cy) / crater.radius;
                if (inside < 1.0)
                    light *= 0.7 + 0.3 * inside + 0.15 * std::cos(inside * kPi) * (cx + cy < 0 ? -1.0 : 1.0);
            }
            pixel[0] = ToByte(150.0 * light + 20.0);
            pixel[1] = ToByte(70.0 * light + 10.0);
            pixel[2] = ToByte(205.0 * light + 25.0);
            pixel[3] = ToByte(255.0 * coverage);
        }
    return image;
}
