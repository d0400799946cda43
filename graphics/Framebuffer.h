#pragma once
#include <cstdint>

// A float render target: a colour texture, and a depth-stencil texture unless it is mipmapped.
class Framebuffer
{
  public:
    // Leaves texture 0 and framebuffer 0 bound.
    Framebuffer(std::uint32_t width, std::uint32_t height, bool mipmapped, bool alpha);
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    // Re-specifies the textures at the new size (each rounded up to a power of two with the flag);
    // nothing happens when the size stays the same.
    void Resize(std::uint32_t width, std::uint32_t height, bool powerOfTwo);
    // Binds, clears colour to 0, depth to 1 and the stencil, and sets the viewport to the target. The
    // mipmap levels made from the old image are stale from here on.
    void BindAndClear() const;
    // Binds the colour texture on the active unit with its mipmap levels down to `deepest` made from the
    // image drawn last (each level once per image); sampling is held to those levels.
    void BindMipmapped(std::uint32_t deepest) const;
    // The deepest mipmap level the target has.
    std::uint32_t LastLevel() const;

    std::uint32_t GetFramebuffer() const { return framebuffer; }
    std::uint32_t GetColourTexture() const { return colourTexture; }
    std::uint32_t GetWidth() const { return width; }
    std::uint32_t GetHeight() const { return height; }
    bool IsMipmapped() const { return mipmapped; }
    std::uint32_t GetInternalFormat() const { return internalFormat; }

  private:
    void SpecifyTextures() const;

    std::uint32_t framebuffer = 0;
    std::uint32_t colourTexture = 0;
    std::uint32_t depthStencilTexture = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool mipmapped = false;
    std::uint32_t internalFormat = 0;
    std::uint32_t format = 0;
    // The deepest level made from the current image; levels are made on demand, never twice.
    mutable std::uint32_t levelsMade = 0;
};

// The next power of two at or above the size; 1 for sizes up to 1.
std::uint32_t NextPowerOfTwo(std::uint32_t size);
