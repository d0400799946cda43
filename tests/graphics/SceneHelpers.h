#pragma once
#include "Camera.h"
#include "Graphics.h"
#include "Material.h"
#include "Texture.h"
#include "TextureManager.h"

#include <glad/gl.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Sprites as the drawing components will make them: a copy of a default material with its values set.
struct SceneSprite
{
    Material material;
    Vector2 position;
    Vector2 scale;
};

class Scene
{
  public:
    explicit Scene(Graphics& renderer) : graphics(renderer) {}

    // Adds a sprite of one of the default materials; the returned material may be changed further.
    Material& Add(std::size_t defaultMaterial, std::array<float, 2> at, std::array<float, 2> size,
                  std::array<float, 4> colour, const std::string& texture = "WhitePixel", float depth = 0.5f)
    {
        const Vector2 position(at[0], at[1]);
        const Vector2 scale(size[0], size[1]);
        const Vector4 tint(colour[0], colour[1], colour[2], colour[3]);
        sprites.push_back({graphics.GetMaterial(defaultMaterial), position, scale});
        Material& material = sprites.back().material;
        material.data.SetMatrix3("modelWorld",
                                 TranslationMatrix(position.x, position.y) * ScaleMatrix(scale.x, scale.y));
        material.data.SetVector4("tint", tint);
        material.data.SetUInt("texture", &TextureManager::GetTexture(texture));
        material.data.SetFloat("depth", depth);
        return material;
    }

    // Submits every sprite in the order they were added.
    void Submit()
    {
        for (SceneSprite& sprite : sprites)
            sprite.material.Submit();
    }

    // Submits and draws a few frames, so the camera has settled on the window's size.
    void Run(int frames = 3)
    {
        for (int frame = 0; frame < frames; ++frame)
        {
            Submit();
            graphics.Update(1.0f / 60.0f);
        }
    }

    std::deque<SceneSprite> sprites;
    Graphics& graphics;
};

// The window pixel (from the top left) of a world point for the 640x480 camera at the origin.
inline void WorldToPixel(float x, float y, int& px, int& py)
{
    const float scale = 640.0f / 900.0f;
    px = static_cast<int>(320.0f + x * scale);
    py = static_cast<int>(240.0f - y * scale);
}

// Reads a target's colour texture as floats (RGB, bottom-up rows).
inline std::vector<float> ReadTarget(const Framebuffer& target)
{
    std::vector<float> texels(static_cast<std::size_t>(target.GetWidth()) * target.GetHeight() * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, target.GetColourTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

// The texel at (x, y from the bottom) of a float readback.
inline const float* TexelAt(const std::vector<float>& texels, const Framebuffer& target, int x, int y)
{
    return texels.data() + (static_cast<std::size_t>(y) * target.GetWidth() + x) * 3;
}

// Registers a 1 x 1 texture of that colour.
inline Texture& ColourTexture(const std::string& name, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const std::uint8_t pixel[4] = {r, g, b, 255};
    return TextureManager::CreateTexture(name, 1, 1, pixel, GL_RGBA);
}
