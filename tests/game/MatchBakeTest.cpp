#include "LevelBaker.h"
#include "MatchLevels.h"
#include "PlayHarness.h"
#include "TestSandbox.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The committed match level and modules against a fresh bake.
namespace
{
class MatchBake : public PlayTest
{
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// A driver may drop a shader input it finds unused, which changes the material blocks: bytes are compared
// only on the renderer the files were baked with.
bool BakedRenderer()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr && std::string(renderer).find("llvmpipe") != std::string::npos;
}
} // namespace

TEST_F(MatchBake, ARebakeEqualsTheCommittedLevelAndModules)
{
    const std::filesystem::path out = TestSandboxFolder() / "baked";
    const std::filesystem::path committed = GLIMMOCK_SOURCE_DATA;
    const BakeTarget* level = FindBakeTarget("LEVEL_1");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(BakeLevel(*level, out.string()), "");
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> files = {
        {out / "Levels" / "LEVEL_1.xml", committed / "Levels" / "LEVEL_1.xml"}};
    for (const ModuleBakeTarget& module : ModuleBakeTargets())
    {
        EXPECT_EQ(BakeModule(module, out.string()), "");
        files.push_back(
            {out / "Modules" / (module.name + ".xml"), committed / "Modules" / (module.name + ".xml")});
    }
    ResetBakeWorld();
    EXPECT_EQ(ModuleBakeTargets().size(), 5u);
    for (const auto& [fresh, kept] : files)
    {
        SCOPED_TRACE(kept.filename().string());
        const std::string bytes = ReadFile(fresh);
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(std::filesystem::exists(kept)) << "committed";
        if (!BakedRenderer())
            continue;
        EXPECT_TRUE(bytes == ReadFile(kept)) << "re-bake with: cmake --build build --target bake-data";
    }
}
