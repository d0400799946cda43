#include "WaveDecode.h"

#include <SDL.h>

#include <cstring>
#include <limits>

namespace audio
{
namespace
{
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t ReadU32(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint16_t ReadU16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// Walks the file's chunks before SDL sees it: SDL allocates what a chunk header claims, so every chunk must
// fit in the bytes there are, and only plain PCM or float sound in one or two channels is accepted.
bool WaveLayoutIsSound(const std::uint8_t* data, std::size_t size)
{
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    bool sawFormat = false;
    bool sawData = false;
    std::size_t at = 12;
    while (size - at >= 8)
    {
        const std::uint8_t* chunk = data + at;
        const std::uint32_t chunkSize = ReadU32(chunk + 4);
        if (chunkSize > size - at - 8)
            return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0)
        {
            if (chunkSize < 16)
                return false;
            const std::uint16_t format = ReadU16(chunk + 8);
            const std::uint16_t channels = ReadU16(chunk + 10);
            if (format != kFormatPcm && format != kFormatFloat && format != kFormatExtensible)
                return false;
            if (channels < 1 || channels > 2)
                return false;
            sawFormat = true;
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
            sawData = chunkSize > 0;
        at += 8 + static_cast<std::size_t>(chunkSize) + (chunkSize % 2);
        if (at > size)
            break; // a missing pad byte after the last chunk
    }
    return sawFormat && sawData;
}

// Converts SDL's decoded buffer to interleaved floats at the same rate and channel count.
bool ConvertToFloat(const SDL_AudioSpec& format, const Uint8* buffer, Uint32 length,
                    std::vector<float>* samples)
{
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq, AUDIO_F32SYS,
                                        format.channels, format.freq);
    if (built < 0)
        return false;
    if (length > static_cast<Uint32>(std::numeric_limits<int>::max() / (cvt.len_mult > 0 ? cvt.len_mult : 1)))
        return false;
    std::vector<Uint8> work(static_cast<std::size_t>(length) * static_cast<std::size_t>(cvt.len_mult));
    std::memcpy(work.data(), buffer, length);
    if (built > 0)
    {
        cvt.len = static_cast<int>(length);
        cvt.buf = work.data();
        if (SDL_ConvertAudio(&cvt) != 0)
            return false;
        length = static_cast<Uint32>(cvt.len_cvt);
    }
    // Less than one sample holds no sound (and leaves no buffer to copy into).
    if (length < sizeof(float))
        return false;
    samples->resize(length / sizeof(float));
    std::memcpy(samples->data(), work.data(), samples->size() * sizeof(float));
    return true;
}
} // namespace

Result DecodeWave(const std::uint8_t* data, std::size_t size, Wave* wave)
{
    if (wave == nullptr || data == nullptr || size == 0 || size > static_cast<std::size_t>(INT32_MAX))
        return Result::WaveFormat;
    if (!WaveLayoutIsSound(data, size))
        return Result::WaveFormat;

    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr)
        return Result::WaveFormat;
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    // freesrc = 1: SDL closes the stream whether or not the file decodes.
    if (SDL_LoadWAV_RW(stream, 1, &format, &buffer, &length) == nullptr)
        return Result::WaveFormat;

    Result result = Result::Ok;
    Wave decoded;
    decoded.channels = format.channels;
    decoded.rate = format.freq;
    if (format.channels < 1 || format.channels > 2 || format.freq <= 0 || length == 0)
        result = Result::WaveFormat;
    else if (!ConvertToFloat(format, buffer, length, &decoded.samples))
        result = Result::WaveFormat;
    SDL_FreeWAV(buffer);
    if (result != Result::Ok)
        return result;

    decoded.frames = decoded.samples.size() / static_cast<std::size_t>(decoded.channels);
    if (decoded.frames == 0)
        return Result::WaveFormat;
    *wave = std::move(decoded);
    return Result::Ok;
}

} // namespace audio
