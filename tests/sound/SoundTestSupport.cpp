#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace
{
void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::int16_t ToPcm(float value)
{
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

std::vector<std::uint8_t> WavHeader(int rate, int channels, int frames)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * channels * 2);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint16_t>(channels));
    PutU32(out, static_cast<std::uint32_t>(rate));
    PutU32(out, static_cast<std::uint32_t>(rate * channels * 2));
    PutU16(out, static_cast<std::uint16_t>(channels * 2));
    PutU16(out, 16);
    PutTag(out, "data");
    PutU32(out, dataBytes);
    return out;
}
} // namespace

std::vector<std::uint8_t> MakeWav(int rate, int channels, int frames, float value)
{
    std::vector<std::uint8_t> out = WavHeader(rate, channels, frames);
    for (int i = 0; i < frames * channels; ++i)
        PutU16(out, static_cast<std::uint16_t>(ToPcm(value)));
    return out;
}

std::vector<std::uint8_t> MakeWav(int rate, const std::vector<float>& samples)
{
    std::vector<std::uint8_t> out = WavHeader(rate, 1, static_cast<int>(samples.size()));
    for (float sample : samples)
        PutU16(out, static_cast<std::uint16_t>(ToPcm(sample)));
    return out;
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text)
{
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

audio::Guid TestGuid(std::uint32_t n)
{
    audio::Guid id;
    id.data1 = 0x10000000u + n;
    id.data2 = static_cast<std::uint16_t>(n);
    id.data3 = 0x4000;
    for (int i = 0; i < 8; ++i)
        id.data4[i] = static_cast<std::uint8_t>(n + i);
    return id;
}

audio::EventRecord MakeEvent(std::uint32_t guidNumber, const std::string& path,
                             const std::vector<std::vector<std::uint32_t>>& layerWaves, bool loop)
{
    audio::EventRecord event;
    event.id = TestGuid(guidNumber);
    event.path = path;
    for (const auto& waves : layerWaves)
    {
        audio::LayerRecord layer;
        layer.waves = waves;
        layer.loop = loop;
        event.layers.push_back(layer);
    }
    return event;
}

TempFolder::TempFolder()
{
    static std::mt19937 names(std::random_device{}());
    path = fs::temp_directory_path() / ("glimmock_sound_" + std::to_string(names()));
    fs::create_directories(path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const fs::path& folder) : previous(fs::current_path())
{
    fs::current_path(folder);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

ManualAudio::ManualAudio()
{
    audio::SetNextOutput(audio::OutputKind::Manual);
    EXPECT_EQ(audio::System::create(&system), audio::Result::Ok);
    EXPECT_EQ(system->initialize(1024, 0, 0, nullptr), audio::Result::Ok);
    audio::ResetNextOutput();
}

ManualAudio::~ManualAudio()
{
    if (system != nullptr)
        system->release();
}

audio::Result ManualAudio::Load(const audio::BankFile& bank, audio::Bank* handle)
{
    const fs::path path = folder.Path() / ("bank" + std::to_string(loadCount++) + ".bank");
    WriteBytes(path, audio::WriteBank(bank));
    return system->loadBankFile(path.string().c_str(), 0, handle);
}

audio::EventDescription ManualAudio::Event(std::uint32_t guidNumber)
{
    const audio::Guid id = TestGuid(guidNumber);
    audio::EventDescription description;
    system->getEventByID(&id, &description);
    return description;
}

std::vector<float> ManualAudio::Render(double seconds)
{
    const int frames = static_cast<int>(std::lround(seconds * audio::kMixRate));
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    system->Render(out.data(), frames);
    return out;
}

double Rms(const std::vector<float>& samples, std::size_t begin, std::size_t end)
{
    end = std::min(end, samples.size());
    if (end <= begin)
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(end - begin));
}
