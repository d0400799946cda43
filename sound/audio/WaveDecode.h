#pragma once
#include "AudioTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio
{

// A decoded sound: interleaved float samples at the file's own rate, one or two channels.
struct Wave
{
    std::vector<float> samples;
    int channels = 0;
    int rate = 0;
    std::size_t frames = 0;

    // Seconds of sound at the wave's own rate.
    double Seconds() const { return rate > 0 ? static_cast<double>(frames) / rate : 0.0; }
};

// Decodes one whole WAV file held in memory; empty, undecodable or more-than-stereo files give WaveFormat.
Result DecodeWave(const std::uint8_t* data, std::size_t size, Wave* wave);

} // namespace audio
