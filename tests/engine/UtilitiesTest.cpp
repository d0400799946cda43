#include "FilePath.h"
#include "LoggingSystem.h"
#include "Math.h"
#include "Random.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TempFolder : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("glimmock_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

using FileUtilitiesTest = TempFolder;
} // namespace

TEST(SplitPathTest, SplitsWindowsAndUnixPaths)
{
#ifdef _WIN32
    FilePathParts parts = SplitPath("C:\\bank\\Master.bank");
    EXPECT_EQ(parts.directory, "C:/bank/");
    EXPECT_EQ(parts.stem, "Master");
    EXPECT_EQ(parts.extension, ".bank");
    EXPECT_EQ(JoinPath(parts), "C:/bank/Master.bank");
#else
    // Elsewhere "\" belongs to the file name: a file named like a path two folders up stays where it is.
    FilePathParts parts = SplitPath("/drop/..\\..\\Escape.png");
    EXPECT_EQ(parts.directory, "/drop/");
    EXPECT_EQ(parts.stem, "..\\..\\Escape");
    EXPECT_EQ(parts.extension, ".png");
    EXPECT_EQ(JoinPath(parts), "/drop/..\\..\\Escape.png");
#endif

    parts = SplitPath("/home/player/Assets/Ball.v2.png");
    EXPECT_EQ(parts.directory, "/home/player/Assets/");
    EXPECT_EQ(parts.stem, "Ball.v2");
    EXPECT_EQ(parts.extension, ".png");

    parts = SplitPath("GUIDs.txt");
    EXPECT_EQ(parts.directory, "");
    EXPECT_EQ(parts.stem, "GUIDs");
}

TEST(SplitPathTest, ShortPathsAndNamesWithoutADot)
{
    FilePathParts parts = SplitPath("ab");
    EXPECT_TRUE(parts.directory.empty() && parts.stem.empty() && parts.extension.empty());
    parts = SplitPath("");
    EXPECT_TRUE(parts.stem.empty());

    parts = SplitPath("/tmp/Makefile");
    EXPECT_EQ(parts.directory, "/tmp/");
    EXPECT_EQ(parts.stem, "Makefile");
    EXPECT_EQ(parts.extension, "");

    parts = SplitPath("/a.dir/file");
    EXPECT_EQ(parts.stem, "file");
    EXPECT_EQ(parts.extension, "");

    const std::string longPath(100000, 'x');
    EXPECT_EQ(SplitPath(longPath).stem.size(), longPath.size());
}

TEST(RandomTest, BoundsInEitherOrderAreBothReachable)
{
    SeedRandom(7);
    bool sawLow = false, sawHigh = false;
    for (int i = 0; i < 1000; ++i)
    {
        const std::uint32_t value = RandomInt(5, 2);
        ASSERT_GE(value, 2u);
        ASSERT_LE(value, 5u);
        sawLow |= value == 2;
        sawHigh |= value == 5;
    }
    EXPECT_TRUE(sawLow && sawHigh);
    EXPECT_EQ(RandomFloat(1.0f, 1.0f), 1.0f);
    for (int i = 0; i < 1000; ++i)
    {
        const float value = RandomFloat(3.0f, -1.0f);
        ASSERT_GE(value, -1.0f);
        ASSERT_LT(value, 3.0f);
    }
}

TEST(RandomTest, TheSameSeedRepeatsTheSameDraws)
{
    SeedRandom(42);
    const std::uint32_t first = RandomInt(0, 1000000);
    const float firstFloat = RandomFloat(0.0f, 1.0f);
    SeedRandom(42);
    EXPECT_EQ(RandomInt(0, 1000000), first);
    EXPECT_EQ(RandomFloat(0.0f, 1.0f), firstFloat);
}

TEST(MathTest, RotationAndProductsFollowColumnVectors)
{
    const Vector2 turned = RotationMatrix(90.0f).TransformPoint({1.0f, 0.0f});
    EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
    EXPECT_NEAR(turned.y, 1.0f, 1e-6f);

    // Scale first, then rotate, then translate.
    const Matrix3 world = TranslationMatrix(10.0f, 20.0f) * RotationMatrix(90.0f) * ScaleMatrix(2.0f, 1.0f);
    const Vector2 p = world.TransformPoint({1.0f, 0.0f});
    EXPECT_NEAR(p.x, 10.0f, 1e-5f);
    EXPECT_NEAR(p.y, 22.0f, 1e-5f);
    EXPECT_FLOAT_EQ(world.m[6], 10.0f);
    EXPECT_FLOAT_EQ(world.m[7], 20.0f);

    EXPECT_EQ(Matrix3() * world, world);
}

TEST(MathTest, NormalizeXYDividesAllThreeByThePlanarLength)
{
    Vector3 v(3.0f, 4.0f, 10.0f);
    NormalizeXY(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_FLOAT_EQ(v.z, 2.0f);
    Vector3 zero(0.0f, 0.0f, 5.0f);
    NormalizeXY(zero);
    EXPECT_EQ(zero, Vector3(0.0f, 0.0f, 5.0f));
}

TEST_F(FileUtilitiesTest, CopyKeepsAFileCopiedOntoItselfAndReportsAnUnwritableDestination)
{
    const std::filesystem::path source = folder / "source.bin";
    std::ofstream(source, std::ios::binary) << std::string("abc\0def", 7);

    EXPECT_EQ(CopyFileContents(source.string(), (folder / "copy.bin").string()), 1);
    EXPECT_EQ(ReadAll(folder / "copy.bin"), std::string("abc\0def", 7));

    EXPECT_EQ(CopyFileContents(source.string(), source.string()), 1);
    EXPECT_EQ(ReadAll(source), std::string("abc\0def", 7));

    EXPECT_EQ(CopyFileContents(source.string(), (folder / "missing" / "copy.bin").string()), 0);
    EXPECT_EQ(CopyFileContents((folder / "none.bin").string(), (folder / "out.bin").string()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
}

TEST_F(FileUtilitiesTest, OnlyRegularFilesAreReadAndNothingElseBlocksOrThrows)
{
    // A folder and a pipe named like pictures: neither is opened, so nothing blocks and nothing throws.
    std::filesystem::create_directories(folder / "x.png");
    const std::filesystem::path pipe = folder / "pipe.png";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::vector<std::uint8_t> bytes{1, 2, 3};
    for (const std::filesystem::path& source : {folder / "x.png", pipe, folder / "none.png"})
    {
        EXPECT_EQ(CopyFileContents(source.string(), (folder / "out.png").string()), 0) << source;
        EXPECT_EQ(ReadRegularFile(source.string(), 1024, bytes), "not a regular file");
        EXPECT_TRUE(bytes.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out.png"));

    // The size limit is inclusive.
    const std::filesystem::path ten = folder / "ten.bin";
    std::ofstream(ten, std::ios::binary) << "0123456789";
    EXPECT_EQ(ReadRegularFile(ten.string(), 9, bytes), "larger than 9 bytes");
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(ReadRegularFile(ten.string(), 10, bytes), "");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
}

TEST_F(FileUtilitiesTest, LogLinesReachTheFileOnFlushAndCloseStartsItAfresh)
{
    const std::string path = (folder / "record.log").string();
    std::ofstream(path) << "old run\n";

    LoggingSystem logger;
    logger.Log(path, "1 0 2 3 4\n");
    logger.Log(path, "2 0 2 3 4\n");
    logger.Flush(path);
    EXPECT_EQ(ReadAll(path), "1 0 2 3 4\n2 0 2 3 4\n");

    logger.Close(path);
    logger.Log(path, "new\n");
    logger.Flush(path);
    EXPECT_EQ(ReadAll(path), "new\n");
}
