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

// Mixes one voice with a linear resampler; the gain ramps by gainStep per output frame.
void MixVoice(Voice& voice, float* out, int frames, double step, float gain, float gainStep)
{
    const Wave& wave = *voice.wave;
    for (int f = 0; f < frames && !voice.ended; ++f)
    {
        const std::size_t index = static_cast<std::size_t>(voice.position);
        const float fraction = static_cast<float>(voice.position - static_cast<double>(index));
        std::size_t next = index + 1;
        if (next >= wave.frames)
            next = voice.loop ? 0 : index;
        const float frameGain = std::max(0.0f, gain - gainStep * static_cast<float>(f));
        for (int c = 0; c < 2; ++c)
        {
            const float a = SampleAt(wave, index, c);
            const float b = SampleAt(wave, next, c);
            out[2 * f + c] += (a + (b - a) * fraction) * frameGain;
        }
        AdvanceVoice(voice, step);
    }
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
        const float layerGain = instance.def->layers[voice.layer].GainAt(instance.parameter);
        const float gain = instance.volume * layerGain;
        MixVoice(voice, out, frames, step, gain * instance.fade, gain * fadeStep);
    }
    AdvanceFade(instance, seconds);
}

void ClampMix(float* out, int samples)
{
    for (int i = 0; i < samples; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

} // namespace audio::detail
