#pragma once
#include "Texture.h"

#include <cstdint>
#include <string>

// The process-wide registry of GL textures (indexed by id) and the table of 16 texture units that
// batches bind them to.
namespace TextureManager
{
inline constexpr int kUnitCount = 16;
inline constexpr const char* kAssetFolder = "./Assets/";
inline constexpr const char* kDefaultName = "Default";
inline constexpr const char* kWhitePixelName = "WhitePixel";
inline constexpr std::uint32_t kInvalidSize = 0xFFFFFFFFu;
// The largest picture file read from the asset folder or from a drop.
inline constexpr std::uintmax_t kMaxPictureBytes = 64ull * 1024 * 1024;

// Empties the unit table, registers "Default" and "WhitePixel", then every PNG of the asset folder that
// passes the picture checks (PngFile); any other is skipped with a message.
void Init();
// Unbinds every unit and deletes every texture.
void Exit();

// Registers a texture from tightly packed pixel data (format is both the internal and the pixel format);
// absent pixels or an all-ones size register the placeholder instead. Returns the new texture.
Texture& CreateTexture(const std::string& name, std::uint32_t width, std::uint32_t height, const void* pixels,
                       std::uint32_t format);
// Loads a PNG file through the picture checks and registers it; a file that fails them registers the
// placeholder under the name, with a message.
Texture& LoadTexture(const std::string& name, const std::string& path);
// Imports a dropped PNG: reads it (a regular file of at most kMaxPictureBytes), checks and decodes it, and
// only then writes it into the asset folder and registers it. On any failure prints one message and
// changes nothing; an asset of that name already there is never replaced.
void ImportTexture(const std::string& name, const std::string& path);

// The first texture of that name, else "Default" with a message (before Init, a "Default" without a GL
// texture).
Texture& GetTexture(const std::string& name);
// The texture of that id, else "Default" with a message, as GetTexture.
Texture& GetTextureById(std::uint32_t id);
// The first texture of that name, or null (no message).
Texture* FindTexture(const std::string& name);
// The texture of that id, or null (no message).
Texture* FindTextureById(std::uint32_t id);
// Every name in id order, each followed by a zero byte, plus a final zero byte (an ImGui combo list).
std::string GetTextureNameList();
// Number of slots of the texture list (empty slots included).
std::uint32_t GetTextureCount();

// Binds the texture to the lowest free unit unless it already holds one; with none free, unit 0 is taken.
void BindToUnit(Texture& texture);
// Unbinds the texture of every occupied unit.
void UnbindAllUnits();
// Whether some unit is free.
bool HasFreeUnit();
} // namespace TextureManager
