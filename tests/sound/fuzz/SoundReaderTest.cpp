// Faults the sound readers' fuzz targets found, each with the input that showed it.
#include "SoundTestSupport.h"

#include "audio/WaveDecode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
std::vector<std::uint8_t> ReadInput(const std::string& relativePath)
{
    std::ifstream file(std::string(SOUND_FUZZ_DIR) + "/" + relativePath, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
}
} // namespace

// Its one WAV is 16-bit PCM with a block align of 1 and one byte of data: SDL hands back one byte, which
// converts to less than one float. The decoder once copied it into an empty buffer (a null destination,
// which the sanitizer build aborts on).
TEST(SoundReaderTest, ABankWhoseWaveIsShorterThanOneSampleIsRefusedAsMalformed)
{
    const std::vector<std::uint8_t> bytes = ReadInput("crashes/sound_bank/wave_shorter_than_one_sample.bank");
    ASSERT_LT(bytes.size(), 200u);
    audio::BankFile bank;
    ASSERT_EQ(audio::ReadBank(bytes.data(), bytes.size(), &bank), audio::Result::Ok);
    ASSERT_EQ(bank.waves.size(), 1u);
    audio::Wave wave;
    wave.rate = 123;
    EXPECT_EQ(audio::DecodeWave(bank.waves[0].data(), bank.waves[0].size(), &wave),
              audio::Result::WaveFormat);
    EXPECT_EQ(wave.rate, 123) << "a refused wave leaves the output alone";

    ManualAudio audio;
    const std::filesystem::path path = audio.folder.Path() / "Dropped.bank";
    WriteBytes(path, bytes);
    audio::Bank handle;
    EXPECT_EQ(audio.system->loadBankFile(path.string().c_str(), 0, &handle), audio::Result::WaveFormat);
    EXPECT_FALSE(handle.isValid());
    EXPECT_EQ(audio.system->LoadedBankCount(), 0);

    // One more byte makes a whole sample, and the same bank loads and plays it.
    std::vector<std::uint8_t> whole = bank.waves[0];
    ASSERT_EQ(whole.size(), 46u);
    whole[40] = 2;    // the data chunk's size
    whole[45] = 0x40; // the pad byte becomes the sample's second byte
    EXPECT_EQ(audio::DecodeWave(whole.data(), whole.size(), &wave), audio::Result::Ok);
    EXPECT_EQ(wave.frames, 1u);
}
