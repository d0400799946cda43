#include "Framebuffer.h"

#include <glad/gl.h>

#include <algorithm>

std::uint32_t NextPowerOfTwo(std::uint32_t size)
{
    std::uint32_t result = 1;
    while (result < size && result < 0x80000000u)
        result <<= 1;
    return result;
}

Framebuffer::Framebuffer(std::uint32_t targetWidth, std::uint32_t targetHeight, bool isMipmapped, bool alpha)
    : width(targetWidth), height(targetHeight), mipmapped(isMipmapped),
      internalFormat(alpha ? GL_RGBA16F : GL_RGB16F), format(alpha ? GL_RGBA : GL_RGB)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &colourTexture);
    if (!mipmapped)
        glGenTextures(1, &depthStencilTexture);
    SpecifyTextures();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
    if (!mipmapped)
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_TEXTURE_2D,
                               depthStencilTexture, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

Framebuffer::~Framebuffer()
{
    glDeleteTextures(1, &colourTexture);
    if (depthStencilTexture != 0)
        glDeleteTextures(1, &depthStencilTexture);
    glDeleteFramebuffers(1, &framebuffer);
}

void Framebuffer::SpecifyTextures() const
{
    glBindTexture(GL_TEXTURE_2D, colourTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, format, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (mipmapped)
    {
        // Every level is defined at the new size, whichever depth the last image was made to.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 1000);
        glGenerateMipmap(GL_TEXTURE_2D);
        levelsMade = 0;
    }
    if (depthStencilTexture == 0)
        return;
    glBindTexture(GL_TEXTURE_2D, depthStencilTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void Framebuffer::Resize(std::uint32_t newWidth, std::uint32_t newHeight, bool powerOfTwo)
{
    if (powerOfTwo)
    {
        newWidth = NextPowerOfTwo(newWidth);
        newHeight = NextPowerOfTwo(newHeight);
    }
    if (newWidth == width && newHeight == height)
        return;
    width = newWidth;
    height = newHeight;
    SpecifyTextures();
    glBindTexture(GL_TEXTURE_2D, 0);
}

std::uint32_t Framebuffer::LastLevel() const
{
    std::uint32_t level = 0;
    for (std::uint32_t size = std::max(width, height); size > 1; size >>= 1)
        ++level;
    return level;
}

void Framebuffer::BindMipmapped(std::uint32_t deepest) const
{
    glBindTexture(GL_TEXTURE_2D, colourTexture);
    if (!mipmapped)
        return;
    deepest = std::min(deepest, LastLevel());
    if (deepest <= levelsMade)
        return;
    // Generating stops at the maximum level, so levels no pass reads are never made.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(deepest));
    glGenerateMipmap(GL_TEXTURE_2D);
    levelsMade = deepest;
}

void Framebuffer::BindAndClear() const
{
    levelsMade = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    // A depth mask left off by the last draw would keep the old depths.
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
}
