// How long mixing one device buffer (1024 frames) takes as the number of sounding voices grows: the
// device callback must finish well inside the 21 ms a buffer lasts.
#include "audio/AudioSystem.h"
#include "audio/BankFormat.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace
{
// A 16-bit mono WAV of a one-second sine at 22050 Hz.
std::vector<std::uint8_t> SineWav()
{
    const int rate = 22050;
    std::vector<std::uint8_t> out;
    auto u16 = [&out](unsigned v) { out.push_back(v & 0xFF), out.push_back((v >> 8) & 0xFF); };
    auto u32 = [&u16](unsigned v) { u16(v & 0xFFFF), u16(v >> 16); };
    auto tag = [&out](const char* t)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(t[i]));
    };
    tag("RIFF");
    u32(36 + rate * 2);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(rate * 2);
    for (int i = 0; i < rate; ++i)
        u16(static_cast<unsigned>(static_cast<std::int16_t>(8000 * std::sin(i * 0.05))));
    return out;
}
} // namespace

static void BM_MixDeviceBuffer(benchmark::State& state)
{
    audio::BankFile bank;
    bank.waves.push_back(SineWav());
    audio::EventRecord event;
    event.id.data1 = 1;
    event.path = "event:/Bench/Loop";
    event.layers.push_back({{0}, true, {}});
    bank.events.push_back(event);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "glimmock_bench_mix.bank";
    {
        const std::vector<std::uint8_t> bytes = audio::WriteBank(bank);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    audio::SetNextOutput(audio::OutputKind::Manual);
    audio::System* system = nullptr;
    audio::System::create(&system);
    system->initialize(1024, 0, 0, nullptr);
    audio::ResetNextOutput();
    audio::Bank loaded;
    system->loadBankFile(path.string().c_str(), 0, &loaded);
    audio::EventDescription description;
    system->getEventByID(&event.id, &description);
    for (int i = 0; i < state.range(0); ++i)
    {
        audio::EventInstance instance;
        description.createInstance(&instance);
        instance.setPitch(0.5f + 0.01f * static_cast<float>(i % 100));
        instance.start();
    }

    std::vector<float> out(2 * 1024);
    for (auto _ : state)
    {
        system->Render(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 1024);
    system->release();
    std::filesystem::remove(path);
}
BENCHMARK(BM_MixDeviceBuffer)->Arg(8)->Arg(64)->Arg(512);
