#include "WaveDecode.h"

#include <SDL.h>

#include <cstring>
#include <limits>

namespace audio
{
namespace
{
// Converts SDL's decoded buffer to interleaved floats at the same rate and channel count.
bool ConvertToFloat(const SDL_AudioSpec& spec, const Uint8* buffer, Uint32 length,
                    std::vector<float>* samples)
{
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_F32SYS,
                                        spec.channels, spec.freq);
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
    samples->resize(length / sizeof(float));
    std::memcpy(samples->data(), work.data(), samples->size() * sizeof(float));
    return true;
}
} // namespace

Result DecodeWave(const std::uint8_t* data, std::size_t size, Wave* wave)
{
    if (wave == nullptr || data == nullptr || size == 0 || size > static_cast<std::size_t>(INT32_MAX))
        return Result::WaveFormat;

    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr)
        return Result::WaveFormat;
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    // freesrc = 1: SDL closes the stream whether or not the file decodes.
    if (SDL_LoadWAV_RW(stream, 1, &spec, &buffer, &length) == nullptr)
        return Result::WaveFormat;

    Result result = Result::Ok;
    Wave decoded;
    decoded.channels = spec.channels;
    decoded.rate = spec.freq;
    if (spec.channels < 1 || spec.channels > 2 || spec.freq <= 0 || length == 0)
        result = Result::WaveFormat;
    else if (!ConvertToFloat(spec, buffer, length, &decoded.samples))
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
