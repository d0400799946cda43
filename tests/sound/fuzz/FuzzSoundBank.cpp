// Loads every input as a dropped bank file into a mixing-by-hand audio system; when it loads, every event
// of it plays, is mixed for a moment with its parameter moved, and the bank is unloaded again. Nothing may
// crash, and a bank that loads must play.
#include "audio/AudioSystem.h"
#include "audio/BankFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
audio::System* StartSystem()
{
    audio::SetNextOutput(audio::OutputKind::Manual);
    audio::System* system = nullptr;
    if (audio::System::create(&system) != audio::Result::Ok ||
        system->initialize(64, 0, 0, nullptr) != audio::Result::Ok)
        std::abort();
    return system;
}

// The file each input is written to, removed when the program ends.
struct BankFile
{
    BankFile()
        : path((std::filesystem::temp_directory_path() /
                ("fuzz_sound_bank_" + std::to_string(::getpid()) + ".bank"))
                   .string())
    {
    }
    ~BankFile()
    {
        std::error_code error;
        std::filesystem::remove(path, error);
    }
    std::string path;
};

void PlayEvent(audio::System& system, const audio::Guid& id)
{
    audio::EventDescription description;
    if (system.getEventByID(&id, &description) != audio::Result::Ok)
        return;
    int length = 0;
    bool oneshot = false;
    description.getLength(&length);
    description.isOneshot(&oneshot);
    audio::EventInstance instance;
    if (description.createInstance(&instance) != audio::Result::Ok)
        std::abort();
    instance.setPitch(1.7f);
    instance.start();
    system.update();
    instance.setParameterValueByIndex(0, 0.5f);
    float mix[2 * 256];
    system.Render(mix, 256);
    instance.stop(audio::StopMode::AllowFadeout);
    system.AdvanceTime(0.05);
    instance.release();
    system.update();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static audio::System* system = StartSystem();
    static const BankFile file;
    const std::string& path = file.path;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    audio::Bank bank;
    if (system->loadBankFile(path.c_str(), 0, &bank) == audio::Result::Ok)
    {
        // The events the loaded bank holds, by the same reader.
        audio::BankFile parsed;
        if (audio::ReadBank(data, size, &parsed) != audio::Result::Ok)
            std::abort();
        for (const audio::EventRecord& event : parsed.events)
            PlayEvent(*system, event.id);
    }
    system->unloadAll();
    return 0;
}
