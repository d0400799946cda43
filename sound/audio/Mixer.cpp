#include "AudioState.h"

#include <algorithm>
#include <cmath>

namespace audio::detail
{

float Layer::GainAt(float parameter) const
{
    if (gain.empty())
        return 1.0f;
    if (parameter <= gain.front().position)
        return gain.front().gain;
    if (parameter >= gain.back().position)
        return gain.back().gain;
    for (std::size_t i = 1; i < gain.size(); ++i)
    {
        if (parameter <= gain[i].position)
        {
            const GainPoint& a = gain[i - 1];
            const GainPoint& b = gain[i];
            const float t = (parameter - a.position) / (b.position - a.position);
            return a.gain + (b.gain - a.gain) * t;
        }
    }
    return gain.back().gain;
}

bool InstanceState::Advancing() const
{
    return state == PlaybackState::Starting || state == PlaybackState::Playing ||
           state == PlaybackState::Stopping;
}

bool InstanceState::AllVoicesEnded() const
{
    return std::all_of(voices.begin(), voices.end(), [](const Voice& voice) { return voice.ended; });
}

int InstanceState::LiveVoices() const
{
    if (!Advancing())
        return 0;
    return static_cast<int>(
        std::count_if(voices.begin(), voices.end(), [](const Voice& voice) { return !voice.ended; }));
}

void StartVoices(InstanceState& instance)
{
    instance.voices.clear();
    for (std::size_t i = 0; i < instance.def->layers.size(); ++i)
    {
        Layer& layer = instance.def->layers[i];
        Voice voice;
        voice.wave = layer.variants[layer.picker() % layer.variants.size()];
        voice.layer = i;
        voice.loop = layer.loop;
        instance.voices.push_back(voice);
    }
    instance.fade = 1.0f;
    instance.fading = false;
}

void EndVoices(InstanceState& instance)
{
    for (Voice& voice : instance.voices)
        voice.ended = true;
}

namespace
{
void AdvanceVoice(Voice& voice, double sourceFrames)
{
    if (voice.ended)
        return;
    const double length = static_cast<double>(voice.wave->frames);
    voice.position += sourceFrames;
    if (voice.position < length)
        return;
    if (voice.loop)
        voice.position = std::fmod(voice.position, length);
    else
        voice.ended = true;
}

// The fade's drop per second; zero when not fading.
double FadeRate(const InstanceState& instance)
{
    if (!instance.fading || instance.def->fadeOut <= 0.0f)
        return 0.0;
    return 1.0 / instance.def->fadeOut;
}

void AdvanceFade(InstanceState& instance, double seconds)
{
    if (!instance.fading)
        return;
    instance.fade = static_cast<float>(instance.fade - FadeRate(instance) * seconds);
    if (instance.fade <= 0.0f)
    {
        instance.fade = 0.0f;
        EndVoices(instance);
    }
}

float SampleAt(const Wave& wave, std::size_t frame, int channel)
{
    return wave.samples[frame * static_cast<std::size_t>(wave.channels) +
                        static_cast<std::size_t>(std::min(channel, wave.channels - 1))];
}

// The gains one voice is mixed at across a block: the volume and curve ramp from start to end, the fade
// falls by fadeStep per output frame.
struct BlockGain
{
    float start = 1.0f;
    float end = 1.0f;
    float fade = 1.0f;
    float fadeStep = 0.0f;

    float At(int frame, int frames) const
    {
        const float t = static_cast<float>(frame) / static_cast<float>(frames);
        return (start + (end - start) * t) * std::max(0.0f, fade - fadeStep * static_cast<float>(frame));
    }
};

// Mixes one voice with a linear resampler.
void MixVoice(Voice& voice, float* out, int frames, double step, const BlockGain& gain)
{
    const Wave& wave = *voice.wave;
    for (int f = 0; f < frames && !voice.ended; ++f)
    {
        const std::size_t index = static_cast<std::size_t>(voice.position);
        const float fraction = static_cast<float>(voice.position - static_cast<double>(index));
        std::size_t next = index + 1;
        if (next >= wave.frames)
            next = voice.loop ? 0 : index;
        const float frameGain = gain.At(f, frames);
        for (int c = 0; c < 2; ++c)
        {
            const float a = SampleAt(wave, index, c);
            const float b = SampleAt(wave, next, c);
            out[2 * f + c] += (a + (b - a) * fraction) * frameGain;
        }
        AdvanceVoice(voice, step);
    }
}

// The limiter's curve above the knee: slope 1 at the knee, approaching full scale.
float LimitSample(float sample)
{
    if (std::isnan(sample))
        return 0.0f;
    const float magnitude = std::fabs(sample);
    if (magnitude <= kLimiterKnee)
        return sample;
    constexpr float room = 1.0f - kLimiterKnee;
    const float limited = kLimiterKnee + room * std::tanh((magnitude - kLimiterKnee) / room);
    return std::copysign(std::min(limited, 1.0f), sample);
}
} // namespace

void AdvanceInstance(InstanceState& instance, double seconds)
{
    if (!instance.Advancing() || seconds <= 0.0)
        return;
    for (Voice& voice : instance.voices)
        AdvanceVoice(voice, seconds * voice.wave->rate * instance.pitch);
    AdvanceFade(instance, seconds);
}

void MixInstance(InstanceState& instance, float* out, int frames, int outputRate, int& voiceBudget)
{
    if (!instance.Advancing() || frames <= 0)
        return;
    const double seconds = static_cast<double>(frames) / outputRate;
    const float fadeStep = static_cast<float>(FadeRate(instance) / outputRate);
    for (Voice& voice : instance.voices)
    {
        if (voice.ended)
            continue;
        const double step = static_cast<double>(voice.wave->rate) * instance.pitch / outputRate;
        if (voiceBudget <= 0)
        {
            AdvanceVoice(voice, seconds * voice.wave->rate * instance.pitch);
            continue;
        }
        --voiceBudget;
        const float target = instance.volume * instance.def->layers[voice.layer].GainAt(instance.parameter);
        BlockGain gain;
        gain.start = voice.mixedGain < 0.0f ? target : voice.mixedGain;
        gain.end = target;
        gain.fade = instance.fade;
        gain.fadeStep = fadeStep;
        voice.mixedGain = target;
        MixVoice(voice, out, frames, step, gain);
    }
    AdvanceFade(instance, seconds);
}

void LimitMix(float* out, int samples)
{
    for (int i = 0; i < samples; ++i)
        out[i] = LimitSample(out[i]);
}

} // namespace audio::detail
