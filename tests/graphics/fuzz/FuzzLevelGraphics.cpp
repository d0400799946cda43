// Stages every input as a level, versioned and unversioned, with the graphics system's hooks installed, so
// material, texture and background blocks are parsed; what stages is committed, the world and the renderer
// run one frame and the world is rebuilt. Only LevelFormatError may leave the reader.
#include "LevelGraphicsWorld.h"

#include "GameObjectFactory.h"
#include "Graphics.h"
#include "LevelArchive.h"
#include "LevelFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static LevelGraphicsWorld world;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (bool versioned : {true, false})
    {
        std::unique_ptr<StagedLevel> level;
        try
        {
            level = StageLevel(bytes, versioned, "fuzz.xml");
        }
        catch (const LevelFormatError&)
        {
            continue;
        }
        CommitLevel(*level);
        level.reset();
        // One frame: the drawing systems submit the loaded materials and emitters spawn.
        gGameObjectFactory->Update(1.0f / 60.0f);
        gGraphics->Update(1.0f / 60.0f);
        world.Restart();
    }
    return 0;
}
