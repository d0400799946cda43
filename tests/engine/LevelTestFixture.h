#pragma once
#include "GameObjectFactory.h"
#include "LevelFile.h"
#include "LevelTestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

// A running object factory over clean global state, in a temporary working folder holding "Levels/" and
// "Modules/".
class LevelFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        previousFolder = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() /
                 ("glimmock_levels_" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "Levels");
        std::filesystem::create_directories(folder / "Modules");
        std::filesystem::current_path(folder);
        StartWorld();
    }
    void TearDown() override
    {
        StopWorld();
        std::filesystem::current_path(previousFolder);
        std::filesystem::remove_all(folder);
    }

    void StartWorld()
    {
        ResetLevelWorld();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
    }
    void StopWorld()
    {
        factory->Exit();
        factory.reset();
        ResetLevelWorld();
    }
    // A fresh, empty world with the same hooks, as after starting the game again.
    void RestartWorld(bool withHooks = true)
    {
        StopWorld();
        doubles = std::make_unique<LevelHookDoubles>();
        StartWorld();
        if (withHooks)
            InstallLevelHookDoubles(*doubles);
    }
    void UseHooks() { InstallLevelHookDoubles(*doubles); }

    // Stages and commits a level held in memory.
    void LoadFromString(const std::string& bytes, bool versioned = true)
    {
        std::unique_ptr<StagedLevel> level = StageLevel(bytes, versioned, "memory.xml");
        CommitLevel(*level);
    }

    static std::string ReadFile(const std::filesystem::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    static void WriteFile(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << bytes;
    }

    std::filesystem::path previousFolder;
    std::filesystem::path folder;
    std::unique_ptr<GameObjectFactory> factory;
    std::unique_ptr<LevelHookDoubles> doubles = std::make_unique<LevelHookDoubles>();
};

// Replaces the first occurrence of from with to; fails the test when there is none.
inline std::string ReplaceOnce(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "no " << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}
