#pragma once
#include "audio/BankFormat.h"

#include <string>
#include <vector>

// The packer's input: which banks to write, and which events, layers and WAV files each holds.
//
// Manifest lines (blank lines and lines starting with "#" are ignored):
//   bank <master|strings|normal> <GUID> <file name without ".bank">
//   event <GUID> <event:/Category/Name>       (belongs to the last bank line)
//   fade <seconds>                            (the last event's fade-out)
//   param <name> <minimum> <maximum> <default>
//   layer <once|loop> <wav> [<wav>...]        (variants, relative to the WAV folder)
//   gain <position>:<gain> ...                (the last layer's curve over the parameter)
struct ManifestLayer
{
    bool loop = false;
    std::vector<std::string> waveFiles;
    std::vector<audio::GainPoint> gain;
};

struct ManifestEvent
{
    audio::Guid id;
    std::string path;
    float fadeOut = 0.0f;
    bool hasParameter = false;
    audio::ParameterRecord parameter;
    std::vector<ManifestLayer> layers;
    int line = 0;
};

struct ManifestBank
{
    audio::BankKind kind = audio::BankKind::Normal;
    audio::Guid id;
    std::string name;
    std::vector<ManifestEvent> events;
};

struct BankManifest
{
    std::vector<ManifestBank> banks;
};

// Parses a manifest; on failure returns false and says why in *error.
bool ParseBankManifest(const std::string& text, BankManifest* manifest, std::string* error);

// Checks the manifest, reads and checks every WAV from waveFolder, and writes the banks and "GUIDs.txt"
// into outputFolder. Nothing is written unless everything checks out. The output depends only on the
// inputs, byte for byte.
bool PackBanks(const BankManifest& manifest, const std::string& waveFolder, const std::string& outputFolder,
               std::string* error);
