#include "LevelTestFixture.h"

#include "Event.h"
#include "GameObject.h"
#include "LevelHooks.h"
#include "ModuleFile.h"
#include "ModuleWriter.h"
#include "Registries.h"

#include <cstdlib>

namespace
{
const std::filesystem::path kFixtures = LEVEL_FIXTURE_DIR;

// Compares the writer's output with a committed file; GLIMMOCK_UPDATE_GOLDEN=1 (the update-golden target)
// rewrites the file instead.
void ExpectGolden(const std::string& written, const std::string& fileName)
{
    const std::filesystem::path path = kFixtures / fileName;
    if (std::getenv("GLIMMOCK_UPDATE_GOLDEN") != nullptr)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << written;
        return;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path << " is missing; build the update-golden target";
    std::ostringstream committed;
    committed << file.rdbuf();
    EXPECT_TRUE(committed.str() == written) << fileName << " differs from the writer's output";
}

struct ModuleCounter : Observer
{
    ModuleCounter() { Subscribe(evModuleLoaded); }
    void OnNotify(Event*) override { ++count; }
    int count = 0;
};
} // namespace

class LevelGoldenTest : public LevelFileTest
{
  protected:
    void Install(const std::string& fileName, const std::string& folder)
    {
        std::filesystem::copy_file(kFixtures / fileName, std::filesystem::path(folder) / fileName);
    }
};

TEST_F(LevelGoldenTest, TheWriterProducesTheCommittedLevel)
{
    UseHooks();
    BuildSampleWorld(*factory, *doubles);
    ExpectGolden(SaveToString(), "level_versioned.xml");
}

TEST_F(LevelGoldenTest, TheWriterProducesTheCommittedModule)
{
    UseHooks();
    BuildSampleWorld(*factory, *doubles);
    std::ostringstream out;
    SaveModuleTo(out, {1, 3}, {{1, 2}, {3}});
    ExpectGolden(out.str(), "module_versioned.xml");
}

TEST_F(LevelGoldenTest, EveryLevelFixtureLoadsThroughTheFallback)
{
    UseHooks();
    Install("level_versioned.xml", "Levels");
    LoadLevelWithFallback("level_versioned");
    ASSERT_NE(factory->GetObject(1), nullptr);
    EXPECT_EQ(factory->GetObject(1)->name, "Player One");
    EXPECT_EQ(doubles->background, "Stars");

    RestartWorld();
    Install("level_unversioned.xml", "Levels");
    LoadLevelWithFallback("level_unversioned");
    ASSERT_NE(factory->GetObject(1), nullptr);
    EXPECT_EQ(factory->GetObject(1)->name, "Crate");
    EXPECT_NE(FindComponent(1, MassComponent::kTypeId), nullptr);
    EXPECT_EQ(doubles->background, "Old Stars");
    EXPECT_EQ(doubles->backgroundVersion, 1u);
}

TEST_F(LevelGoldenTest, EveryModuleFixtureLoadsThroughTheFallback)
{
    ModuleCounter counter;
    for (const char* name : {"module_versioned", "module_unversioned"})
    {
        Install(std::string(name) + ".xml", "Modules");
        try
        {
            LoadModule(name, true);
        }
        catch (const LevelFormatError&)
        {
            LoadModule(name, false);
        }
    }
    EXPECT_EQ(counter.count, 2);
    int named = 0;
    for (const auto& object : factory->Objects())
        named += object && (object->name == "Player One" || object->name == "Crate") ? 1 : 0;
    EXPECT_EQ(named, 2);
}
