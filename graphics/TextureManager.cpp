#include "TextureManager.h"

#include "FilePath.h"
#include "PngFile.h"
#include "SafeFileWriter.h"

#include <glad/gl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace
{
// Shown wherever a texture could not be made: magenta, blue, green, red.
constexpr std::array<std::uint8_t, 16> kPlaceholderPixels = {255, 0,   255, 255, 0,   0, 255, 255,
                                                             0,   255, 0,   255, 255, 0, 0,   255};

std::vector<std::unique_ptr<Texture>> gTextures;
std::array<Texture*, TextureManager::kUnitCount> gUnits{};

// Stands in for "Default" while the list is empty (before Init, after Exit); it has no GL texture.
Texture gUnstartedDefault = [] {
    Texture texture;
    texture.name = TextureManager::kDefaultName;
    texture.width = 2;
    texture.height = 2;
    return texture;
}();

// Rows of four-byte pixels are 4-aligned; rows of one-, two- or three-byte pixels are packed tightly.
GLint RowAlignment(std::uint32_t format)
{
    return format == GL_RGBA ? 4 : 1;
}

void UploadTexture(Texture& texture, std::uint32_t width, std::uint32_t height, const void* pixels,
                   std::uint32_t format)
{
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, RowAlignment(format));
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, format, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
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

// The largest picture side this GL context stores.
std::uint32_t MaxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? static_cast<std::uint32_t>(side) : 0;
}

// Reads and decodes a picture file through every check; returns an empty text on success, else why not.
std::string ReadPicture(const std::string& path, std::vector<std::uint8_t>& bytes, PngFile::Picture& picture)
{
    if (std::string problem = ReadRegularFile(path, TextureManager::kMaxPictureBytes, bytes);
        !problem.empty())
        return problem;
    return PngFile::Decode(bytes.data(), bytes.size(), MaxTextureSide(), picture);
}

Texture& RegisterPicture(const std::string& name, const PngFile::Picture& picture)
{
    return TextureManager::CreateTexture(name, picture.width, picture.height, picture.rgba.data(), GL_RGBA);
}

// Writes the picture's bytes beside the asset folder's files, checked and renamed into place.
std::string WritePicture(const std::string& destination, const std::vector<std::uint8_t>& bytes)
{
    std::error_code error;
    std::filesystem::create_directories(TextureManager::kAssetFolder, error);
    return WriteFileChecked(
        destination,
        [&bytes](std::ostream& out) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        },
        [&bytes](const std::string& written) {
            if (written.size() != bytes.size() ||
                !std::equal(bytes.begin(), bytes.end(), written.begin(),
                            [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }))
                throw std::runtime_error("the copy differs from the picture");
        });
}

// A file that fails the checks is skipped, so one bad picture never stops the start.
void LoadAssetPicture(const std::string& name, const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    PngFile::Picture picture;
    if (std::string problem = ReadPicture(path, bytes, picture); !problem.empty())
    {
        std::printf("Unable to load image %s! %s\n", path.c_str(), problem.c_str());
        return;
    }
    RegisterPicture(name, picture);
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
            LoadAssetPicture(parts.stem, parts.directory + parts.stem + parts.extension);
    }
}

Texture& DefaultTexture()
{
    if (!gTextures.empty() && gTextures[0] != nullptr)
        return *gTextures[0];
    return gUnstartedDefault;
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
    std::vector<std::uint8_t> bytes;
    PngFile::Picture picture;
    if (std::string problem = ReadPicture(path, bytes, picture); !problem.empty())
    {
        std::printf("Unable to load image %s! %s\n", path.c_str(), problem.c_str());
        return RegisterPlaceholder(name);
    }
    return RegisterPicture(name, picture);
}

void ImportTexture(const std::string& name, const std::string& path)
{
    const FilePathParts parts = SplitPath(path);
    const std::string destination = std::string(kAssetFolder) + parts.stem + parts.extension;
    // A file already in the asset folder is loaded where it is; another file of that name is kept.
    const bool inAssetFolder = SameFile(path, destination);
    std::error_code error;
    std::string problem;
    if (!inAssetFolder && std::filesystem::exists(destination, error))
        problem = "the asset folder already holds " + destination;
    std::vector<std::uint8_t> bytes;
    PngFile::Picture picture;
    if (problem.empty())
        problem = ReadPicture(path, bytes, picture);
    // Written only once the picture is known good, so a refused file leaves nothing behind.
    if (problem.empty() && !inAssetFolder)
        problem = WritePicture(destination, bytes);
    if (!problem.empty())
    {
        std::printf("ERROR: TextureManager failed to load Texture %s: %s\n", path.c_str(), problem.c_str());
        return;
    }
    RegisterPicture(name, picture);
}

Texture* FindTexture(const std::string& name)
{
    for (auto& texture : gTextures)
        if (texture != nullptr && texture->name == name)
            return texture.get();
    return nullptr;
}

Texture& GetTexture(const std::string& name)
{
    if (Texture* texture = FindTexture(name))
        return *texture;
    std::printf("Could not locate texture %s!\n", name.c_str());
    return DefaultTexture();
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
    return DefaultTexture();
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
