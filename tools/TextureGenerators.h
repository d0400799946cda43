#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An RGBA image, 8 bits a channel, rows top to bottom.
struct TextureImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes
};

// A transparent black image of that size.
TextureImage MakeImage(int width, int height);

// The first of a pixel's four bytes.
inline std::uint8_t* Pixel(TextureImage& image, int x, int y)
{
    return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

// A channel value on the 0..255 scale, rounded and clamped to a byte.
std::uint8_t ToByte(double value);

// One named image the game's data needs; the name is the texture's name and the PNG's stem.
struct TextureGenerator
{
    std::string name;
    TextureImage (*generate)();
};

// The soft round light every light and particle defaults to: white, alpha = round(255 (1 - r)^2).
TextureImage GenerateFalloffCircleLight();

// Every generator the tool knows, in the order it runs them.
const std::vector<TextureGenerator>& TextureGenerators();

// The generator of that name, or null.
const TextureGenerator* FindTextureGenerator(const std::string& name);

// Writes the image as a PNG file; throws std::runtime_error with SDL's text on failure.
void SaveTexturePng(const TextureImage& image, const std::string& path);

// Reads a PNG (any pixel format) back as RGBA; throws std::runtime_error with SDL's text on failure.
TextureImage LoadTexturePng(const std::string& path);
