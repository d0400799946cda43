#include "BankManifest.h"

#include "audio/WaveDecode.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace
{
constexpr const char* kEventIdListName = "GUIDs.txt";

bool Fail(std::string* error, int line, const std::string& message)
{
    *error = (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + message;
    return false;
}

bool ParseFloat(const std::string& text, float* value)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    float parsed = 0.0f;
    if (!(in >> parsed) || !in.eof() || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

std::string RestOfLine(std::istringstream& in)
{
    std::string rest;
    std::getline(in >> std::ws, rest);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
        rest.pop_back();
    return rest;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string ShortName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ParseBankLine(std::istringstream& in, int line, BankManifest* manifest, std::string* error)
{
    std::string kind, guid;
    in >> kind >> guid;
    ManifestBank bank;
    if (kind == "master")
        bank.kind = audio::BankKind::Master;
    else if (kind == "strings")
        bank.kind = audio::BankKind::Strings;
    else if (kind == "normal")
        bank.kind = audio::BankKind::Normal;
    else
        return Fail(error, line, "unknown bank kind \"" + kind + "\"");
    if (audio::ParseID(guid.c_str(), &bank.id) != audio::Result::Ok)
        return Fail(error, line, "bad bank GUID");
    bank.name = RestOfLine(in);
    if (bank.name.empty())
        return Fail(error, line, "a bank needs a file name");
    manifest->banks.push_back(bank);
    return true;
}

bool ParseEventLine(std::istringstream& in, int line, BankManifest* manifest, std::string* error)
{
    if (manifest->banks.empty())
        return Fail(error, line, "an event before any bank");
    std::string guid;
    ManifestEvent event;
    in >> guid >> event.path;
    event.line = line;
    if (audio::ParseID(guid.c_str(), &event.id) != audio::Result::Ok)
        return Fail(error, line, "bad event GUID");
    if (event.path.rfind("event:/", 0) != 0)
        return Fail(error, line, "an event path starts with \"event:/\"");
    manifest->banks.back().events.push_back(event);
    return true;
}

ManifestEvent* LastEvent(BankManifest* manifest)
{
    if (manifest->banks.empty() || manifest->banks.back().events.empty())
        return nullptr;
    return &manifest->banks.back().events.back();
}

bool ParseEventDetail(const std::string& keyword, std::istringstream& in, int line, BankManifest* manifest,
                      std::string* error)
{
    ManifestEvent* event = LastEvent(manifest);
    if (event == nullptr)
        return Fail(error, line, "\"" + keyword + "\" before any event");
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);

    if (keyword == "fade")
    {
        if (words.size() != 1 || !ParseFloat(words[0], &event->fadeOut) || event->fadeOut < 0.0f)
            return Fail(error, line, "fade takes one non-negative number of seconds");
    }
    else if (keyword == "param")
    {
        audio::ParameterRecord& p = event->parameter;
        if (words.size() != 4 || !ParseFloat(words[1], &p.minimum) || !ParseFloat(words[2], &p.maximum) ||
            !ParseFloat(words[3], &p.defaultValue))
            return Fail(error, line, "param takes a name, a minimum, a maximum and a default");
        p.name = words[0];
        event->hasParameter = true;
    }
    else if (keyword == "layer")
    {
        if (words.size() < 2 || (words[0] != "once" && words[0] != "loop"))
            return Fail(error, line, "layer takes once or loop and at least one WAV file");
        ManifestLayer layer;
        layer.loop = words[0] == "loop";
        layer.waveFiles.assign(words.begin() + 1, words.end());
        event->layers.push_back(layer);
    }
    else if (keyword == "gain")
    {
        if (event->layers.empty())
            return Fail(error, line, "gain before any layer");
        for (const std::string& word : words)
        {
            const std::size_t colon = word.find(':');
            audio::GainPoint point;
            if (colon == std::string::npos || !ParseFloat(word.substr(0, colon), &point.position) ||
                !ParseFloat(word.substr(colon + 1), &point.gain))
                return Fail(error, line, "gain points are written position:gain");
            event->layers.back().gain.push_back(point);
        }
    }
    return true;
}

// Names, GUIDs and bank kinds that no single bank can check on its own.
bool CheckAcrossBanks(const BankManifest& manifest, std::string* error)
{
    std::set<std::string> shortNames;
    std::set<std::string> guids;
    std::set<std::string> bankNames;
    int masters = 0, stringBanks = 0;
    for (const ManifestBank& bank : manifest.banks)
    {
        masters += bank.kind == audio::BankKind::Master;
        stringBanks += bank.kind == audio::BankKind::Strings;
        if (!bankNames.insert(bank.name).second || !guids.insert(audio::FormatID(bank.id)).second)
            return Fail(error, 0, "bank \"" + bank.name + "\" appears twice");
        if (bank.kind != audio::BankKind::Normal && !bank.events.empty())
            return Fail(error, 0, "bank \"" + bank.name + "\" is a master or strings bank and holds events");
        for (const ManifestEvent& event : bank.events)
        {
            if (!shortNames.insert(ShortName(event.path)).second)
                return Fail(error, event.line, "duplicate short name \"" + ShortName(event.path) + "\"");
            if (!guids.insert(audio::FormatID(event.id)).second)
                return Fail(error, event.line, "duplicate GUID");
            if (event.layers.empty())
                return Fail(error, event.line, "event \"" + event.path + "\" has no layers");
        }
    }
    if (masters > 1 || stringBanks > 1)
        return Fail(error, 0, "at most one master and one strings bank");
    return true;
}

// Builds one bank image, reading each WAV once and checking that it decodes.
bool BuildBankFile(const ManifestBank& source, const BankManifest& manifest, const std::string& waveFolder,
                   audio::BankFile* bank, std::string* error)
{
    bank->id = source.id;
    bank->kind = source.kind;
    std::map<std::string, std::uint32_t> waveIndex;
    for (const ManifestEvent& event : source.events)
    {
        audio::EventRecord record;
        record.id = event.id;
        record.path = event.path;
        record.fadeOut = event.fadeOut;
        record.hasParameter = event.hasParameter;
        record.parameter = event.parameter;
        for (const ManifestLayer& layer : event.layers)
        {
            audio::LayerRecord layerRecord;
            layerRecord.loop = layer.loop;
            layerRecord.gain = layer.gain;
            for (const std::string& file : layer.waveFiles)
            {
                auto found = waveIndex.find(file);
                if (found == waveIndex.end())
                {
                    std::vector<std::uint8_t> bytes;
                    if (!ReadFile(waveFolder + "/" + file, &bytes))
                        return Fail(error, event.line, "cannot read " + file);
                    audio::Wave wave;
                    if (audio::DecodeWave(bytes.data(), bytes.size(), &wave) != audio::Result::Ok)
                        return Fail(error, event.line, file + " is not a mono or stereo WAV file with sound");
                    found = waveIndex.emplace(file, static_cast<std::uint32_t>(bank->waves.size())).first;
                    bank->waves.push_back(std::move(bytes));
                }
                layerRecord.waves.push_back(found->second);
            }
            record.layers.push_back(layerRecord);
        }
        bank->events.push_back(record);
    }
    if (source.kind == audio::BankKind::Strings)
        for (const ManifestBank& other : manifest.banks)
            for (const ManifestEvent& event : other.events)
                bank->strings.push_back(audio::FormatID(event.id) + " " + event.path);

    if (audio::ValidateBank(*bank) != audio::Result::Ok)
        return Fail(
            error, 0,
            "bank \"" + source.name +
                "\": a parameter default outside its range, gain points out of order, or a bad number");
    return true;
}

std::vector<std::uint8_t> EventIdListText(const BankManifest& manifest)
{
    std::string text;
    for (const ManifestBank& bank : manifest.banks)
        for (const ManifestEvent& event : bank.events)
            text += audio::FormatID(event.id) + "\n" + event.path + "\n";
    return std::vector<std::uint8_t>(text.begin(), text.end());
}
} // namespace

bool ParseBankManifest(const std::string& text, BankManifest* manifest, std::string* error)
{
    *manifest = BankManifest{};
    std::istringstream lines(text);
    std::string lineText;
    for (int line = 1; std::getline(lines, lineText); ++line)
    {
        if (!lineText.empty() && lineText.back() == '\r')
            lineText.pop_back();
        std::istringstream in(lineText);
        in.imbue(std::locale::classic());
        std::string keyword;
        if (!(in >> keyword) || keyword[0] == '#')
            continue;
        bool ok = false;
        if (keyword == "bank")
            ok = ParseBankLine(in, line, manifest, error);
        else if (keyword == "event")
            ok = ParseEventLine(in, line, manifest, error);
        else if (keyword == "fade" || keyword == "param" || keyword == "layer" || keyword == "gain")
            ok = ParseEventDetail(keyword, in, line, manifest, error);
        else
            ok = Fail(error, line, "unknown keyword \"" + keyword + "\"");
        if (!ok)
            return false;
    }
    return true;
}

bool PackBanks(const BankManifest& manifest, const std::string& waveFolder, const std::string& outputFolder,
               std::string* error)
{
    if (!CheckAcrossBanks(manifest, error))
        return false;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> outputs;
    for (const ManifestBank& source : manifest.banks)
    {
        audio::BankFile bank;
        if (!BuildBankFile(source, manifest, waveFolder, &bank, error))
            return false;
        outputs.emplace_back(source.name + ".bank", audio::WriteBank(bank));
    }
    outputs.emplace_back(kEventIdListName, EventIdListText(manifest));

    std::error_code ignored;
    std::filesystem::create_directories(outputFolder, ignored);
    for (const auto& [name, bytes] : outputs)
        if (!WriteFile(outputFolder + "/" + name, bytes))
            return Fail(error, 0, "cannot write " + outputFolder + "/" + name);
    return true;
}
