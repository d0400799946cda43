// Stages every input as a module, versioned and unversioned; what stages is merged into a small world,
// which then runs one update and is rebuilt. Only LevelFormatError may leave the reader.
#include "FuzzWorld.h"

#include "GameObjectFactory.h"
#include "LevelArchive.h"
#include "ModuleFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzWorld world;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (bool versioned : {true, false})
    {
        StagedModule module;
        try
        {
            module = StageModule(bytes, versioned, "fuzz.xml");
        }
        catch (const LevelFormatError&)
        {
            continue;
        }
        CommitModule(module);
        gGameObjectFactory->Update(0.0f);
        world.Restart();
    }
    return 0;
}
