// Bakes the game's code-built levels into XML files.
// Usage: levelbake --out DIR [--only NAME] [--data DIR]
// Writes DIR/Levels/<name>.xml for every level target and DIR/Modules/<name>.xml for every module target
// (or the one named). It starts the game in a copy of the data folder,
// with the offscreen video driver and no audio unless the environment chooses others, and never runs an
// engine update. On failure it prints one "ERROR: " line and exits with 1.
#include "GameStartup.h"
#include "LevelBaker.h"
#include "MatchLevels.h"
#include "SystemSlots.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#ifndef GLIMMOCK_DATA_DIR
#define GLIMMOCK_DATA_DIR "data"
#endif

namespace
{
int Fail(const std::string& message)
{
    std::printf("ERROR: %s\n", message.c_str());
    std::fflush(stdout);
    return 1;
}

struct Arguments
{
    std::string out;
    std::string only;
    std::string data = GLIMMOCK_DATA_DIR;
};

bool Parse(int argc, char** argv, Arguments& arguments)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (option == "--out")
            arguments.out = value;
        else if (option == "--only")
            arguments.only = value;
        else if (option == "--data")
            arguments.data = value;
        else
            return false;
    }
    return !arguments.out.empty();
}
} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    if (!Parse(argc, argv, arguments))
        return Fail("usage: levelbake --out DIR [--only NAME] [--data DIR]");
    if (!arguments.only.empty() && FindBakeTarget(arguments.only) == nullptr &&
        FindModuleBakeTarget(arguments.only) == nullptr)
        return Fail("no level or module target named " + arguments.only);

    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path out = fs::absolute(arguments.out, error);
    const fs::path work = fs::temp_directory_path(error) / ("levelbake-" + std::to_string(::getpid()));
    fs::remove_all(work, error);
    fs::copy(arguments.data, work, fs::copy_options::recursive, error);
    if (error)
        return Fail("could not copy the data folder " + arguments.data + ": " + error.message());
    fs::current_path(work, error);

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "none", 0);
    int status = 0;
    try
    {
        auto engine = StartGame(MakeGameSystemFactories());
        for (const BakeTarget& target : BakeTargets())
        {
            if (!arguments.only.empty() && target.name != arguments.only)
                continue;
            const std::string failure = BakeLevel(target, out.string());
            if (!failure.empty())
            {
                status = Fail(failure);
                break;
            }
            std::printf("Baked %s\n", target.name.c_str());
        }
        for (const ModuleBakeTarget& target : ModuleBakeTargets())
        {
            if (status != 0 || (!arguments.only.empty() && target.name != arguments.only))
                continue;
            const std::string failure = BakeModule(target, out.string());
            if (!failure.empty())
            {
                status = Fail(failure);
                break;
            }
            std::printf("Baked module %s\n", target.name.c_str());
        }
        ResetBakeWorld();
        ShutDownGame(*engine);
    }
    catch (const std::exception& failure)
    {
        status = Fail(failure.what());
    }
    fs::current_path(fs::temp_directory_path(error), error);
    fs::remove_all(work, error);
    return status;
}
