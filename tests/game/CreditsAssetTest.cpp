#include "TextureGenerators.h"
#include "audio/AudioSystem.h"
#include "audio/BankFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
const std::string kAssets = GLIMMOCK_ASSET_DIR;
const std::string kMusicBank = GLIMMOCK_BANK_DIR "/Music.bank";

std::pair<int, int> DepthAndColourType(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    return {static_cast<unsigned char>(header[24]), static_cast<unsigned char>(header[25])};
}

std::uint8_t Alpha(const TextureImage& image, int x, int y)
{
    return image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4 + 3];
}

bool RowHasInk(const TextureImage& image, int y)
{
    for (int x = 0; x < image.width; ++x)
        if (Alpha(image, x, y) != 0)
            return true;
    return false;
}

bool BandHasInk(const TextureImage& image, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        if (RowHasInk(image, y))
            return true;
    return false;
}
} // namespace

TEST(CreditsAssets, TheColumnIsTallTransparentAndInkedOnlyWhereTheScreenShowsIt)
{
    const std::string path = kAssets + "/credits.png";
    EXPECT_EQ(DepthAndColourType(path), (std::pair<int, int>{8, 6}));
    const TextureImage credits = LoadTexturePng(path);
    ASSERT_EQ(credits.width, 1024);
    ASSERT_EQ(credits.height, 4091);

    long transparent = 0;
    int leftmost = credits.width;
    int rightmost = -1;
    for (int y = 0; y < credits.height; ++y)
        for (int x = 0; x < credits.width; ++x)
        {
            if (Alpha(credits, x, y) == 0)
            {
                ++transparent;
                continue;
            }
            leftmost = std::min(leftmost, x);
            rightmost = std::max(rightmost, x);
        }
    EXPECT_GE(static_cast<double>(transparent) / (credits.width * credits.height), 0.8);
    EXPECT_GE(leftmost, 48);
    EXPECT_LE(rightmost, 975);

    // The title shows in the lower half on the first frame, the closing line stays through the fade.
    EXPECT_TRUE(BandHasInk(credits, 176, 336)) << "title";
    EXPECT_TRUE(BandHasInk(credits, 3731, 3875)) << "closing line";
    EXPECT_FALSE(BandHasInk(credits, 0, 39)) << "top edge";
    EXPECT_FALSE(BandHasInk(credits, credits.height - 120, credits.height - 1)) << "bottom edge";

    const TextureGenerator* generator = FindTextureGenerator("credits");
    ASSERT_NE(generator, nullptr);
    const TextureImage drawn = generator->generate();
    EXPECT_TRUE(drawn.pixels == credits.pixels) << "the committed PNG is not the tool's output";
    EXPECT_TRUE(generator->generate().pixels == drawn.pixels) << "the tool draws differently on a rerun";
}

TEST(CreditsAssets, TheCreditsMusicLoopsWithoutATailAndNeverFallsSilent)
{
    std::ifstream file(kMusicBank, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    audio::BankFile bank;
    ASSERT_EQ(audio::ReadBank(bytes.data(), bytes.size(), &bank), audio::Result::Ok);
    const audio::EventRecord* record = nullptr;
    for (const audio::EventRecord& event : bank.events)
        if (event.path == "event:/Music/CreditsMusic")
            record = &event;
    ASSERT_NE(record, nullptr);
    // A fade-out tail would come back at full volume once the screen restores the master volume.
    EXPECT_EQ(record->fadeOut, 0.0f);

    audio::SetNextOutput(audio::OutputKind::Manual);
    audio::System* system = nullptr;
    ASSERT_EQ(audio::System::create(&system), audio::Result::Ok);
    ASSERT_EQ(system->initialize(1024, 0, 0, nullptr), audio::Result::Ok);
    audio::ResetNextOutput();
    audio::Bank loaded;
    ASSERT_EQ(system->loadBankFile(kMusicBank.c_str(), 0, &loaded), audio::Result::Ok);
    audio::EventDescription description;
    ASSERT_EQ(system->getEventByID(&record->id, &description), audio::Result::Ok);
    bool oneshot = true;
    description.isOneshot(&oneshot);
    EXPECT_FALSE(oneshot);

    audio::EventInstance instance;
    ASSERT_EQ(description.createInstance(&instance), audio::Result::Ok);
    instance.start();
    for (int second = 0; second < 60; ++second)
    {
        std::vector<float> window(2 * static_cast<std::size_t>(audio::kMixRate));
        system->Render(window.data(), audio::kMixRate);
        if (second >= 50)
            continue;
        double sum = 0.0;
        for (float sample : window)
            sum += static_cast<double>(sample) * sample;
        const double rmsDb = 10.0 * std::log10(sum / static_cast<double>(window.size()) + 1e-30);
        EXPECT_GT(rmsDb, -40.0) << "second " << second;
    }
    system->update();
    audio::PlaybackState state = audio::PlaybackState::Stopped;
    instance.getPlaybackState(&state);
    EXPECT_EQ(state, audio::PlaybackState::Playing);
    instance.release();
    system->release();
}
