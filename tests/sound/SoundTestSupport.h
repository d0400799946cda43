#pragma once
#include "audio/AudioSystem.h"
#include "audio/BankFormat.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Builds small WAV files, banks and bank folders for the sound tests, in a fresh temporary folder.

// A 16-bit PCM WAV of `frames` frames, every sample `value` (so a mix of it is easy to predict).
std::vector<std::uint8_t> MakeWav(int rate, int channels, int frames, float value);
// A 16-bit PCM mono WAV of the given samples (a sine or a ramp, so the signal path shows in the mix).
std::vector<std::uint8_t> MakeWav(int rate, const std::vector<float>& samples);
// Writes bytes to a file, creating its folders.
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);
// A GUID whose every byte derives from n, so tests can name events by number.
audio::Guid TestGuid(std::uint32_t n);

// An event with one layer per entry of layerWaves (each layer plays the listed wave indices).
audio::EventRecord MakeEvent(std::uint32_t guidNumber, const std::string& path,
                             const std::vector<std::vector<std::uint32_t>>& layerWaves, bool loop = false);

// A temporary folder, removed with everything in it when the object goes.
class TempFolder
{
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path; }

  private:
    std::filesystem::path path;
};

// Makes a folder the working directory for the object's lifetime.
class ScopedWorkingDirectory
{
  public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& folder);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

  private:
    std::filesystem::path previous;
};

// A Manual-output audio system, released when the object goes.
class ManualAudio
{
  public:
    ManualAudio();
    ~ManualAudio();
    ManualAudio(const ManualAudio&) = delete;
    ManualAudio& operator=(const ManualAudio&) = delete;

    // Writes the bank into the temporary folder and loads it.
    audio::Result Load(const audio::BankFile& bank, audio::Bank* handle);
    audio::EventDescription Event(std::uint32_t guidNumber);
    // Renders seconds of sound and returns it (interleaved stereo).
    std::vector<float> Render(double seconds);

    audio::System* system = nullptr;
    TempFolder folder;
    int loadCount = 0;
};

// Root mean square of a block of samples.
double Rms(const std::vector<float>& samples, std::size_t begin = 0, std::size_t end = SIZE_MAX);
