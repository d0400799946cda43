#include "CreditsGenerator.h"

#include "LogoGenerators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
constexpr int kWidth = 1024;
constexpr int kHeight = 4091;
constexpr double kPixelsPerUnit = 1.6;

constexpr int kTitleSize = 150;
constexpr int kHeadingSize = 72;
constexpr int kLineSize = 46;
// Each line takes 1.3 times its pixel size of the column.
constexpr double kLineSpacing = 1.3;
// Ink, outline included, stays inside columns 48..975.
constexpr int kMaxInkWidth = 928;
constexpr int kOutlineRadius = 4;
constexpr double kOutlineStrength = 0.85;

// The column starts with its top edge at the screen centre, so the title shows in the lower half at
// once; it stops with its bottom edge there, so the closing line stays in view through the fade.
constexpr double kTitleCentre = 160.0 * kPixelsPerUnit;
constexpr double kClosingCentre = (2557.0 - 180.0) * kPixelsPerUnit;

struct Colour
{
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

constexpr Colour kNearWhite{245.0, 245.0, 245.0};
// The players' colours, orange first, as the arena shows them.
constexpr Colour kOrange{255.0, 140.0, 40.0};
constexpr Colour kBlue{70.0, 150.0, 255.0};

struct CreditLine
{
    std::string text;
    int size = kLineSize;
    Colour colour = kNearWhite;
};
using Section = std::vector<CreditLine>;

struct Roles
{
    const char* heading;
    std::vector<const char*> roles;
};

// Roles, never persons.
const std::vector<Roles>& RoleSections()
{
    static const std::vector<Roles> sections = {
        {"DIRECTION", {"Game Director", "Producer", "Design Lead"}},
        {"PROGRAMMING",
         {"Technical Director", "Engine and Object Model", "Window and Input", "Recording and Replay",
          "Graphics and Lighting", "Particles and Effects", "Physics and Collisions", "Audio and Sound",
          "Gameplay and Behaviours", "Menus and Game Flow", "Tools and Level Baking"}},
        {"ART", {"Art Director", "Characters and Arena", "Logos and Interface"}},
        {"SOUND", {"Music", "Sound Effects", "Voice of the Announcer"}},
        {"LEVELS", {"Arena and Module Design", "Match Tuning"}},
        {"TESTING", {"Playtest Lead", "Quality Assurance"}},
        {"SPECIAL THANKS", {"Everyone who played along", "Our friends and families"}},
    };
    return sections;
}

Section TitleSection()
{
    return {{"GLIMMOCK", kTitleSize}, {"a two-player arcade ball game"}};
}

// The sections between the title and the closing line, in scrolling order.
std::vector<Section> MiddleSections()
{
    std::vector<Section> sections;
    sections.push_back({{"a game by"},
                        {"DRIFT THE PAPER CRANE", kHeadingSize},
                        {"presented by"},
                        {"TORVANE", kHeadingSize}});
    bool orange = true;
    for (const Roles& roles : RoleSections())
    {
        Section section{{roles.heading, kHeadingSize, orange ? kOrange : kBlue}};
        for (const char* role : roles.roles)
            section.push_back({role});
        sections.push_back(std::move(section));
        orange = !orange;
    }
    return sections;
}

const CreditLine kClosingLine{"THANK YOU FOR PLAYING", kHeadingSize};

double LineHeight(const CreditLine& line)
{
    return kLineSpacing * line.size;
}

double SectionHeight(const Section& section)
{
    double height = 0.0;
    for (const CreditLine& line : section)
        height += LineHeight(line);
    return height;
}

// The lettering at the line's size, or at the largest size whose ink and outline fit the column.
TextCoverage FitLettering(const std::string& text, int size, int* drawnSize)
{
    for (int candidate = size; candidate > 4; --candidate)
    {
        TextCoverage lettering = RenderTextAtSize(text, candidate);
        if (lettering.width + 2 * kOutlineRadius <= kMaxInkWidth)
        {
            *drawnSize = candidate;
            return lettering;
        }
    }
    throw std::runtime_error("The credits line does not fit: " + text);
}

// Lays the straight-alpha colour over the image's pixel.
void BlendOver(TextureImage& image, int x, int y, const Colour& colour, double alpha)
{
    std::uint8_t* pixel = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    const double below = pixel[3] / 255.0;
    const double total = alpha + below * (1.0 - alpha);
    if (total <= 0.0)
        return;
    const double keep = below * (1.0 - alpha);
    pixel[0] = ToByte((colour.r * alpha + pixel[0] * keep) / total);
    pixel[1] = ToByte((colour.g * alpha + pixel[1] * keep) / total);
    pixel[2] = ToByte((colour.b * alpha + pixel[2] * keep) / total);
    pixel[3] = ToByte(255.0 * total);
}

// Draws one line centred across the column, its capitals centred on the given row, over a black
// outline of 0.85 times the strongest coverage within 4 pixels, so it reads over the bright arena.
void DrawLine(TextureImage& image, const CreditLine& line, double centreY)
{
    int size = line.size;
    const TextCoverage lettering = FitLettering(line.text, line.size, &size);
    if (lettering.width == 0)
        return;
    const int capHeight = RenderTextAtSize("H", size).height;
    const int baselineY = static_cast<int>(std::lround(centreY + capHeight / 2.0));
    const int top = baselineY - lettering.baseline;
    const int left = kWidth / 2 - lettering.width / 2;

    auto coverageAt = [&](int x, int y) -> double
    {
        const int column = x - left;
        const int row = y - top;
        if (column < 0 || row < 0 || column >= lettering.width || row >= lettering.height)
            return 0.0;
        return lettering.coverage[static_cast<std::size_t>(row) * lettering.width + column] / 255.0;
    };

    for (int y = top - kOutlineRadius; y < top + lettering.height + kOutlineRadius; ++y)
    {
        if (y < 0 || y >= image.height)
            throw std::runtime_error("The credits run off the column: " + line.text);
        for (int x = left - kOutlineRadius; x < left + lettering.width + kOutlineRadius; ++x)
        {
            double nearest = 0.0;
            for (int dy = -kOutlineRadius; dy <= kOutlineRadius; ++dy)
                for (int dx = -kOutlineRadius; dx <= kOutlineRadius; ++dx)
                    if (dx * dx + dy * dy <= kOutlineRadius * kOutlineRadius)
                        nearest = std::max(nearest, coverageAt(x + dx, y + dy));
            const double outline = kOutlineStrength * nearest;
            const double glyph = coverageAt(x, y);
            // The glyph over its outline, then both over the image.
            const double alpha = glyph + outline * (1.0 - glyph);
            if (alpha <= 0.0)
                continue;
            const Colour colour{line.colour.r * glyph / alpha, line.colour.g * glyph / alpha,
                                line.colour.b * glyph / alpha};
            BlendOver(image, x, y, colour, alpha);
        }
    }
}

// Draws the section's lines downwards from its top edge; returns its bottom edge.
double DrawSection(TextureImage& image, const Section& section, double top)
{
    for (const CreditLine& line : section)
    {
        DrawLine(image, line, top + LineHeight(line) / 2.0);
        top += LineHeight(line);
    }
    return top;
}
} // namespace

TextureImage GenerateCredits()
{
    TextureImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.pixels.assign(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);

    const Section title = TitleSection();
    const double titleTop = kTitleCentre - LineHeight(title.front()) / 2.0;
    double cursor = DrawSection(image, title, titleTop);

    // The sections between share the room left between the title and the closing line evenly.
    const std::vector<Section> sections = MiddleSections();
    double sectionsHeight = 0.0;
    for (const Section& section : sections)
        sectionsHeight += SectionHeight(section);
    const double closingTop = kClosingCentre - LineHeight(kClosingLine) / 2.0;
    const double gap = (closingTop - cursor - sectionsHeight) / static_cast<double>(sections.size() + 1);
    if (gap < kHeadingSize)
        throw std::runtime_error("The credits are too long for the column");

    for (const Section& section : sections)
        cursor = DrawSection(image, section, cursor + gap);
    DrawLine(image, kClosingLine, kClosingCentre);
    return image;
}
