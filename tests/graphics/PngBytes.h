#pragma once
// Builds PNG files byte by byte (stored deflate blocks, no compression library), so tests can make both
// sound pictures and the malformed files a drop may bring.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace png_bytes
{
inline void AppendBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFFu);
}

// Bit by bit, independent of the table the engine uses.
inline std::uint32_t Crc(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes)
    {
        crc ^= static_cast<std::uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
    }
    return crc ^ 0xFFFFFFFFu;
}

inline std::string Signature()
{
    return std::string("\x89PNG\r\n\x1a\n", 8);
}

// A chunk with the right CRC; statedLength, when given, replaces the length field only.
inline std::string Chunk(const std::string& type, const std::string& data, long long statedLength = -1)
{
    std::string chunk;
    AppendBigEndian(chunk, statedLength < 0 ? static_cast<std::uint32_t>(data.size())
                                            : static_cast<std::uint32_t>(statedLength));
    chunk += type + data;
    AppendBigEndian(chunk, Crc(type + data));
    return chunk;
}

// Colour type 6 is RGBA, 2 is RGB; eight bits a sample.
inline std::string Header(std::uint32_t width, std::uint32_t height, std::uint8_t colourType = 6)
{
    std::string data;
    AppendBigEndian(data, width);
    AppendBigEndian(data, height);
    data += std::string{8, static_cast<char>(colourType), 0, 0, 0};
    return Chunk("IHDR", data);
}

// A zlib stream of stored blocks holding raw.
inline std::string Stored(const std::string& raw)
{
    std::string out("\x78\x01", 2);
    std::size_t offset = 0;
    do
    {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out += raw.substr(offset, length);
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (char c : raw)
    {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    AppendBigEndian(out, (b << 16) | a);
    return out;
}

// A whole picture from rows of bytesPerPixel-byte pixels, top row first.
inline std::string Picture(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& pixels,
                           std::uint8_t colourType = 6)
{
    const std::size_t rowBytes = pixels.size() / height;
    std::string raw;
    for (std::uint32_t row = 0; row < height; ++row)
    {
        raw += '\0'; // no filter
        raw.append(reinterpret_cast<const char*>(pixels.data()) + row * rowBytes, rowBytes);
    }
    return Signature() + Header(width, height, colourType) + Chunk("IDAT", Stored(raw)) + Chunk("IEND", "");
}

// 85 bytes: a transparency chunk claiming 1000 bytes of which 44 are in the file.
inline std::string TruncatedTransparency()
{
    std::string bytes = Signature() + Header(1, 1, 2);
    AppendBigEndian(bytes, 1000);
    bytes += "tRNS" + std::string(44, '\x7f');
    return bytes;
}

// 68 bytes of sound structure claiming 16384 x 16384 pixels.
inline std::string HugeClaim()
{
    return Signature() + Header(16384, 16384) +
           Chunk("IDAT", std::string("\x78\x01\x01\x00\x00\xff\xff", 7) + std::string(4, '\0')) +
           Chunk("IEND", "");
}
} // namespace png_bytes
