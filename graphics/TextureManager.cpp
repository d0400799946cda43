#include "TextureManager.h"

#include "FilePath.h"

#include <SDL_image.h>
#include <glad/gl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace
{
// Shown wherever a texture could not be made: magenta, blue, green, red.
constexpr std::array<std::uint8_t, 16> kPlaceholderPixels = {255, 0,   255, 255, 0,   0, 255, 255,
                                                             0,   255, 0,   255, 255, 0, 0,   255};

std::vector<std::unique_ptr<Texture>> gTextures;
std::array<Texture*, TextureManager::kUnitCount> gUnits{};

void UploadTexture(Texture& texture, std::uint32_t width, std::uint32_t height, const void* pixels,
                   std::uint32_t format)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, format, GL_UNSIGNED_BYTE, pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.glTexture = name;
    texture.width = width;
    texture.height = height;
}

// Takes the lowest empty slot of the list, or appends.
Texture& NewSlot(const std::string& name)
{
    auto texture = std::make_unique<Texture>();
    texture->name = name;
    auto empty = std::find(gTextures.begin(), gTextures.end(), nullptr);
    if (empty == gTextures.end())
    {
        texture->id = static_cast<std::uint32_t>(gTextures.size());
        gTextures.push_back(std::move(texture));
        return *gTextures.back();
    }
    texture->id = static_cast<std::uint32_t>(empty - gTextures.begin());
    *empty = std::move(texture);
    return **empty;
}

Texture& RegisterPlaceholder(const std::string& name)
{
    Texture& texture = NewSlot(name);
    UploadTexture(texture, 2, 2, kPlaceholderPixels.data(), GL_RGBA);
    return texture;
}

void ScanAssetFolder()
{
    std::error_code error;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TextureManager::kAssetFolder, error))
        files.push_back(entry.path().generic_string());
    // Listing order differs between platforms; sorting keeps the ids the same everywhere.
    std::sort(files.begin(), files.end());
    for (const std::string& file : files)
    {
        FilePathParts parts = SplitPath(file);
        if (parts.extension == ".png")
            TextureManager::LoadTexture(parts.stem, parts.directory + parts.stem + parts.extension);
    }
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}
} // namespace

namespace TextureManager
{
void Init()
{
    gUnits.fill(nullptr);
    RegisterPlaceholder(kDefaultName);
    const std::uint8_t white[4] = {255, 255, 255, 255};
    CreateTexture(kWhitePixelName, 1, 1, white, GL_RGBA);
    ScanAssetFolder();
}

void Exit()
{
    UnbindAllUnits();
    for (auto& texture : gTextures)
    {
        if (texture == nullptr)
            continue;
        if (texture->HasUnit())
        {
            glActiveTexture(GL_TEXTURE0 + texture->unit);
            glBindTexture(GL_TEXTURE_2D, 0);
            gUnits[texture->unit] = nullptr;
        }
        glDeleteTextures(1, &texture->glTexture);
    }
    gTextures.clear();
    gUnits.fill(nullptr);
}

Texture& CreateTexture(const std::string& name, std::uint32_t width, std::uint32_t height, const void* pixels,
                       std::uint32_t format)
{
    if (width == kInvalidSize || height == kInvalidSize || pixels == nullptr)
        return RegisterPlaceholder(name);
    Texture& texture = NewSlot(name);
    UploadTexture(texture, width, height, pixels, format);
    return texture;
}

Texture& LoadTexture(const std::string& name, const std::string& path)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr)
    {
        std::printf("Unable to load image %s! SDL_image Error: %s\n", path.c_str(), IMG_GetError());
        return RegisterPlaceholder(name);
    }
    // Every file becomes four bytes a pixel in memory order, whatever its own format (RGB, paletted...).
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (rgba == nullptr)
    {
        std::printf("Unable to load image %s! SDL_image Error: %s\n", path.c_str(), SDL_GetError());
        return RegisterPlaceholder(name);
    }
    // GL reads rows tightly packed; repack when the surface pads them.
    const auto width = static_cast<std::uint32_t>(rgba->w);
    const auto height = static_cast<std::uint32_t>(rgba->h);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    SDL_LockSurface(rgba);
    for (std::uint32_t row = 0; row < height; ++row)
        std::copy_n(static_cast<const std::uint8_t*>(rgba->pixels) +
                        static_cast<std::size_t>(row) * rgba->pitch,
                    width * 4, pixels.data() + static_cast<std::size_t>(row) * width * 4);
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return CreateTexture(name, width, height, pixels.data(), GL_RGBA);
}

void ImportTexture(const std::string& name, const std::string& path)
{
    FilePathParts parts = SplitPath(path);
    const std::string destination = std::string(kAssetFolder) + parts.stem + parts.extension;
    // A file already in the asset folder is loaded where it is; another file of that name is kept.
    if (!SameFile(path, destination))
    {
        std::error_code error;
        if (std::filesystem::exists(destination, error) || CopyFileContents(path, destination) != 1)
        {
            std::printf("ERROR: TextureManager failed to load Texture %s\n", path.c_str());
            return;
        }
    }
    LoadTexture(name, destination);
}

Texture& GetTexture(const std::string& name)
{
    for (auto& texture : gTextures)
        if (texture != nullptr && texture->name == name)
            return *texture;
    std::printf("Could not locate texture %s!\n", name.c_str());
    return *gTextures.at(0);
}

Texture* FindTextureById(std::uint32_t id)
{
    if (id < gTextures.size())
        return gTextures[id].get();
    return nullptr;
}

Texture& GetTextureById(std::uint32_t id)
{
    if (Texture* texture = FindTextureById(id))
        return *texture;
    std::printf("Could not locate texture %u!\n", id);
    return *gTextures.at(0);
}

std::string GetTextureNameList()
{
    std::string list;
    for (auto& texture : gTextures)
        if (texture != nullptr)
        {
            list += texture->name;
            list += '\0';
        }
    list += '\0';
    return list;
}

std::uint32_t GetTextureCount()
{
    return static_cast<std::uint32_t>(gTextures.size());
}

void BindToUnit(Texture& texture)
{
    if (texture.HasUnit())
        return;
    auto free = std::find(gUnits.begin(), gUnits.end(), nullptr);
    std::uint32_t unit = 0;
    if (free == gUnits.end())
        gUnits[0]->unit = Texture::kNoUnit;
    else
        unit = static_cast<std::uint32_t>(free - gUnits.begin());
    gUnits[unit] = &texture;
    texture.unit = unit;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture.glTexture);
}

void UnbindAllUnits()
{
    for (std::size_t unit = 0; unit < gUnits.size(); ++unit)
    {
        if (gUnits[unit] == nullptr)
            continue;
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, 0);
        gUnits[unit]->unit = Texture::kNoUnit;
        gUnits[unit] = nullptr;
    }
}

bool HasFreeUnit()
{
    return std::find(gUnits.begin(), gUnits.end(), nullptr) != gUnits.end();
}
} // namespace TextureManager
