#include "BankManifest.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

using audio::Result;
namespace fs = std::filesystem;

namespace
{
std::vector<std::uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReadText(const fs::path& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

const char* const kManifest = R"(# test banks
bank master {00000001-0000-0000-0000-000000000001} Master Bank
bank strings {00000001-0000-0000-0000-000000000002} Master Bank.strings
bank normal {00000001-0000-0000-0000-000000000003} SFX
event {00000002-0000-0000-0000-000000000001} event:/SFX/Jump
layer once short.wav long.wav
event {00000002-0000-0000-0000-000000000002} event:/SFX/Bounce
param Intensity 0 1 0.25
layer once short.wav
gain 0:0.5 1:1
bank normal {00000001-0000-0000-0000-000000000004} Music
event {00000002-0000-0000-0000-000000000003} event:/Music/Level
fade 1
param Intensity 0 4 0
layer loop stereo.wav
gain 0.6:0 1.6:1
layer once long.wav
)";

class BankPackTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        WriteBytes(waves.Path() / "short.wav", MakeWav(8000, 1, 1600, 0.25f)); // 0.2 s
        WriteBytes(waves.Path() / "long.wav", MakeWav(8000, 1, 3200, 0.25f));  // 0.4 s
        WriteBytes(waves.Path() / "stereo.wav", MakeWav(11025, 2, 11025, 0.1f));
    }

    bool Pack(const std::string& manifestText, std::string* error)
    {
        BankManifest manifest;
        return ParseBankManifest(manifestText, &manifest, error) &&
               PackBanks(manifest, waves.Path().string(), output.Path().string(), error);
    }

    audio::EventDescription Event(ManualAudio& audio, const char* guidText)
    {
        audio::Guid id;
        EXPECT_EQ(audio::ParseID(guidText, &id), Result::Ok);
        audio::EventDescription description;
        audio.system->getEventByID(&id, &description);
        return description;
    }

    TempFolder waves;
    TempFolder output;
};
} // namespace

TEST(AudioIds, ParseIdAcceptsOnlyTheBracedTextFormAndLeavesItsOutputOnFailure)
{
    audio::Guid id;
    ASSERT_EQ(audio::ParseID("{0123ABCD-4567-89ab-CDEF-0011223344FF}", &id), Result::Ok);
    EXPECT_EQ(id.data1, 0x0123ABCDu);
    EXPECT_EQ(id.data2, 0x4567);
    EXPECT_EQ(id.data3, 0x89AB);
    EXPECT_EQ(id.data4[0], 0xCD);
    EXPECT_EQ(id.data4[7], 0xFF);
    EXPECT_EQ(audio::FormatID(id), "{0123ABCD-4567-89AB-CDEF-0011223344FF}");

    const audio::Guid before = id;
    for (const char* bad :
         {"", "0123ABCD-4567-89ab-CDEF-0011223344FF", "{0123ABCD-4567-89ab-CDEF-0011223344F}",
          "{0123ABCD-4567-89ab-CDEF-0011223344FFF}", "{0123ABCD_4567-89ab-CDEF-0011223344FF}",
          "{0123ABCG-4567-89ab-CDEF-0011223344FF}", "{0123ABCD-4567-89ab-CDEF-0011223344FF} "})
    {
        EXPECT_EQ(audio::ParseID(bad, &id), Result::InvalidParam) << bad;
        EXPECT_EQ(id, before) << bad;
    }
}

TEST_F(BankPackTest, PackedWavsLoadWithTheirParametersFlagsLengthsAndVariants)
{
    std::string error;
    ASSERT_TRUE(Pack(kManifest, &error)) << error;
    ManualAudio audio;
    for (const char* name : {"Master Bank.bank", "Master Bank.strings.bank", "SFX.bank", "Music.bank"})
    {
        audio::Bank bank;
        ASSERT_EQ(audio.system->loadBankFile((output.Path() / name).string().c_str(), 0, &bank), Result::Ok)
            << name;
    }

    audio::EventDescription jump = Event(audio, "{00000002-0000-0000-0000-000000000001}");
    audio::EventDescription bounce = Event(audio, "{00000002-0000-0000-0000-000000000002}");
    audio::EventDescription level = Event(audio, "{00000002-0000-0000-0000-000000000003}");
    bool oneshot = false;
    int count = -1, length = -1;
    audio::ParameterDescription parameter;

    jump.isOneshot(&oneshot);
    jump.getParameterCount(&count);
    jump.getLength(&length);
    EXPECT_TRUE(oneshot);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(length, 400) << "the longest variant";

    bounce.getParameterCount(&count);
    ASSERT_EQ(count, 1);
    ASSERT_EQ(bounce.getParameterByIndex(0, &parameter), Result::Ok);
    EXPECT_EQ(parameter.name, "Intensity");
    EXPECT_EQ(parameter.minimum, 0.0f);
    EXPECT_EQ(parameter.maximum, 1.0f);
    EXPECT_EQ(parameter.defaultValue, 0.25f);

    level.isOneshot(&oneshot);
    level.getLength(&length);
    level.getParameterByIndex(0, &parameter);
    EXPECT_FALSE(oneshot);
    EXPECT_EQ(length, 400) << "only non-looping layers count";
    EXPECT_EQ(parameter.maximum, 4.0f);

    // Both variants of Jump play over a few starts: some end before 0.3 s, some after.
    std::set<bool> endedEarly;
    for (int i = 0; i < 16; ++i)
    {
        audio::EventInstance instance;
        jump.createInstance(&instance);
        instance.start();
        audio.system->update();
        audio.system->AdvanceTime(0.3);
        audio.system->update();
        audio::PlaybackState state;
        instance.getPlaybackState(&state);
        endedEarly.insert(state == audio::PlaybackState::Stopped);
        instance.stop(audio::StopMode::Immediate);
    }
    EXPECT_EQ(endedEarly.size(), 2u);
}

TEST_F(BankPackTest, PackerWritesTheListAndTheStringsDeterministically)
{
    std::string error;
    ASSERT_TRUE(Pack(kManifest, &error)) << error;
    const std::string list = ReadText(output.Path() / "GUIDs.txt");
    EXPECT_EQ(list, "{00000002-0000-0000-0000-000000000001}\nevent:/SFX/Jump\n"
                    "{00000002-0000-0000-0000-000000000002}\nevent:/SFX/Bounce\n"
                    "{00000002-0000-0000-0000-000000000003}\nevent:/Music/Level\n");

    audio::BankFile strings;
    const std::vector<std::uint8_t> bytes = ReadBytes(output.Path() / "Master Bank.strings.bank");
    ASSERT_EQ(audio::ReadBank(bytes.data(), bytes.size(), &strings), Result::Ok);
    EXPECT_EQ(strings.kind, audio::BankKind::Strings);
    ASSERT_EQ(strings.strings.size(), 3u);
    EXPECT_EQ(strings.strings[2], "{00000002-0000-0000-0000-000000000003} event:/Music/Level");

    const std::vector<std::uint8_t> first = ReadBytes(output.Path() / "SFX.bank");
    ASSERT_TRUE(Pack(kManifest, &error)) << error;
    EXPECT_EQ(ReadBytes(output.Path() / "SFX.bank"), first);
}

TEST_F(BankPackTest, PackerRejectsBadManifestsAndWritesNothing)
{
    WriteText(waves.Path() / "garbage.wav", "RIFF not really a wave");
    const std::string head = "bank normal {00000001-0000-0000-0000-000000000003} SFX\n";
    const std::string event = "event {00000002-0000-0000-0000-000000000001} event:/SFX/Jump\n";
    const std::string other = "event {00000002-0000-0000-0000-000000000009} event:/VO/Jump\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"duplicate short name", head + event + "layer once short.wav\n" + other + "layer once short.wav\n"},
        {"bad WAV", head + event + "layer once garbage.wav\n"},
        {"missing WAV", head + event + "layer once nowhere.wav\n"},
        {"default out of range", head + event + "param P 0 1 2\nlayer once short.wav\n"},
        {"unordered gain points", head + event + "param P 0 1 0\nlayer once short.wav\ngain 1:1 0.5:0\n"},
        {"no layers", head + event},
        {"bad GUID", head + "event {nope} event:/SFX/Jump\nlayer once short.wav\n"},
    };
    for (const auto& [name, text] : cases)
    {
        std::string error;
        EXPECT_FALSE(Pack(text, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_TRUE(fs::is_empty(output.Path())) << name;
    }
}

namespace
{
audio::BankFile GoodBank()
{
    audio::BankFile bank;
    bank.id = TestGuid(500);
    bank.waves.push_back(MakeWav(8000, 1, 800, 0.25f));
    audio::EventRecord event = MakeEvent(1, "event:/SFX/One", {{0}});
    event.hasParameter = true;
    event.parameter = {"P", 0.0f, 1.0f, 0.0f};
    event.layers[0].gain = {{0.0f, 1.0f}, {1.0f, 0.5f}};
    bank.events.push_back(event);
    return bank;
}

void PutU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
} // namespace

TEST(BankLoading, EveryBadBankFailsWithANullHandleAndRegistersNothing)
{
    ManualAudio audio;
    const fs::path folder = audio.folder.Path();
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;

    const std::vector<std::uint8_t> good = audio::WriteBank(GoodBank());
    std::vector<std::uint8_t> badMagic = good;
    badMagic[8] = 'X';
    files.emplace_back("bad magic", badMagic);
    audio::BankFile version = GoodBank();
    version.version = 99;
    files.emplace_back("bad version", audio::WriteBank(version));
    std::vector<std::uint8_t> pastEnd = good;
    PutU32At(pastEnd, 48, 0xFFFFFF00u); // the events chunk's size
    files.emplace_back("chunk past the end", pastEnd);
    std::vector<std::uint8_t> hugeCount = good;
    PutU32At(hugeCount, 52, 0x7FFFFFFFu); // the event count
    files.emplace_back("count beyond the bytes", hugeCount);
    audio::BankFile badIndex = GoodBank();
    badIndex.events[0].layers[0].waves = {3};
    files.emplace_back("bad wave index", audio::WriteBank(badIndex));
    audio::BankFile undecodable = GoodBank();
    undecodable.waves[0] = {'R', 'I', 'F', 'F', 1, 2, 3};
    files.emplace_back("undecodable WAV", audio::WriteBank(undecodable));
    audio::BankFile emptyWave = GoodBank();
    emptyWave.waves[0] = MakeWav(8000, 1, 0, 0.0f);
    files.emplace_back("empty WAV", audio::WriteBank(emptyWave));
    audio::BankFile threeChannels = GoodBank();
    threeChannels.waves[0] = MakeWav(8000, 3, 100, 0.1f);
    files.emplace_back("three channels", audio::WriteBank(threeChannels));
    audio::BankFile oversizedData = GoodBank();
    PutU32At(oversizedData.waves[0], 40, 0x30000000u); // the data chunk claims far more than the file holds
    files.emplace_back("WAV chunk beyond its file", audio::WriteBank(oversizedData));
    audio::BankFile compressed = GoodBank();
    compressed.waves[0][20] = 2; // an ADPCM format tag
    files.emplace_back("compressed WAV", audio::WriteBank(compressed));
    audio::BankFile emptyLayer = GoodBank();
    emptyLayer.events[0].layers[0].waves.clear();
    files.emplace_back("empty layer", audio::WriteBank(emptyLayer));
    audio::BankFile noLayers = GoodBank();
    noLayers.events[0].layers.clear();
    files.emplace_back("no layers", audio::WriteBank(noLayers));
    audio::BankFile badDefault = GoodBank();
    badDefault.events[0].parameter.defaultValue = 3.0f;
    files.emplace_back("default out of range", audio::WriteBank(badDefault));
    audio::BankFile nanGain = GoodBank();
    nanGain.events[0].layers[0].gain[1].gain = std::nanf("");
    files.emplace_back("NaN gain", audio::WriteBank(nanGain));
    // Every truncation of a good bank.
    for (std::size_t length = 0; length < good.size(); length += 7)
        files.emplace_back("truncated to " + std::to_string(length),
                           std::vector<std::uint8_t>(good.begin(), good.begin() + length));

    for (const auto& [name, bytes] : files)
    {
        const fs::path path = folder / "bad.bank";
        WriteBytes(path, bytes);
        audio::Bank bank;
        bank.handle = {1, 2, 3};
        EXPECT_NE(audio.system->loadBankFile(path.string().c_str(), 0, &bank), Result::Ok) << name;
        EXPECT_EQ(bank.handle, audio::HandleId{}) << name;
    }

    audio::Bank bank;
    EXPECT_EQ(audio.system->loadBankFile((folder / "missing.bank").string().c_str(), 0, &bank),
              Result::FileNotFound);
    fs::create_directories(folder / ".bank");
    EXPECT_EQ(audio.system->loadBankFile((folder / ".bank").string().c_str(), 0, &bank), Result::FileBad);
    EXPECT_EQ(audio.system->LoadedBankCount(), 0);
    EXPECT_FALSE(audio.Event(1).isValid());

    ASSERT_EQ(audio.Load(GoodBank(), &bank), Result::Ok) << "the good bank itself loads";
}

TEST(BankLoading, TheFirstBankWinsAnEventAndASecondLoadOfABankIsRefused)
{
    ManualAudio audio;
    audio::BankFile first = GoodBank();
    audio::BankFile second;
    second.id = TestGuid(501);
    second.waves.push_back(MakeWav(8000, 1, 800, 0.5f));
    second.events.push_back(MakeEvent(1, "event:/SFX/One", {{0}}));
    second.events.push_back(MakeEvent(2, "event:/SFX/Two", {{0}}));

    audio::Bank a, b, again;
    ASSERT_EQ(audio.Load(first, &a), Result::Ok);
    ASSERT_EQ(audio.Load(second, &b), Result::Ok);
    EXPECT_EQ(audio.Load(first, &again), Result::BankAlreadyLoaded);
    EXPECT_FALSE(again.isValid());
    EXPECT_EQ(audio.system->LoadedBankCount(), 2);

    audio::EventInstance one;
    audio.Event(1).createInstance(&one);
    one.start();
    EXPECT_NEAR(Rms(audio.Render(0.05)), 0.25, 1e-3) << "event 1 comes from the first bank";
    one.stop(audio::StopMode::Immediate);
    EXPECT_TRUE(audio.Event(2).isValid());
}
