#define SDL_MAIN_HANDLED
#include "GameStartup.h"
#include "StopSignal.h"
#include "SystemSlots.h"

#include <SDL.h>

#include <exception>
#include <filesystem>
#include <iostream>

namespace
{
// Asset folders ("./Shaders/", "Levels/", ...) are relative to the executable's folder.
void EnterExecutableFolder()
{
    char* basePath = SDL_GetBasePath();
    if (basePath == nullptr)
        return;
    std::error_code error;
    std::filesystem::current_path(basePath, error);
    if (error)
        std::cout << "WARNING: could not enter " << basePath << ": " << error.message() << "\n";
    SDL_free(basePath);
}
} // namespace

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    SDL_SetMainReady();
    InstallStopSignalHandlers();
    EnterExecutableFolder();
    if (SDL_Init(SDL_INIT_TIMER) != 0)
    {
        std::cerr << "SDL_Init failed: " << SDL_GetError() << "\n";
        return 1;
    }

    int status = 0;
    try
    {
        std::unique_ptr<Engine> engine = StartGame(MakeGameSystemFactories());
        RunGame(*engine);
        ShutDownGame(*engine);
    }
    catch (const std::exception& error)
    {
        std::cerr << "Start-up failed: " << error.what() << "\n";
        status = 1;
    }
    catch (...)
    {
        std::cerr << "Start-up failed: UNKNOWN\n";
        status = 1;
    }
    SDL_Quit();
    return status;
}
