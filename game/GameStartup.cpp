#include "GameStartup.h"

#include "DebugDraw.h"
#include "GamePrototypes.h"
#include "LevelHooks.h"
#include "MenuHooks.h"
#include "MetaHooks.h"
#include "PlatformHooks.h"
#include "SoundHooks.h"

std::unique_ptr<Engine> StartGame(SystemFactories factories)
{
    auto engine = std::make_unique<Engine>(std::move(factories));
    engine->Init();
    RegisterAllPrototypes();
    return engine;
}

void RunGame(Engine& engine)
{
    engine.Run();
}

void ShutDownGame(Engine& engine)
{
    engine.Shutdown();
}

std::vector<StartupHook> StartupHookChecklist()
{
    const LevelHooks& level = GetLevelHooks();
    return {
        // Sound: playing by name, and the banks and event lists dropped on the window.
        {"SoundHooks::play", static_cast<bool>(SoundHooks::play)},
        {"SoundHooks::stop", static_cast<bool>(SoundHooks::stop)},
        {"PlatformHooks::loadBank", static_cast<bool>(PlatformHooks::loadBank)},
        {"PlatformHooks::loadGUIDs", static_cast<bool>(PlatformHooks::loadGUIDs)},
        // Graphics: dropped textures and the material and texture fields.
        {"PlatformHooks::importTexture", static_cast<bool>(PlatformHooks::importTexture)},
        {"MetaHooks::editTexture", static_cast<bool>(MetaHooks::editTexture)},
        {"MetaHooks::saveMaterial", static_cast<bool>(MetaHooks::saveMaterial)},
        {"MetaHooks::loadMaterial", static_cast<bool>(MetaHooks::loadMaterial)},
        {"MetaHooks::editMaterial", static_cast<bool>(MetaHooks::editMaterial)},
        // Input and behaviours: their field editors.
        {"MetaHooks::editInput", static_cast<bool>(MetaHooks::editInput)},
        {"MetaHooks::editBehavior", static_cast<bool>(MetaHooks::editBehavior)},
        // Debug shapes of physics and gameplay reach the renderer.
        {"DebugDraw sink", &GetDebugDraw() != &DebugDrawDetail::nothingSink},
        // Level files: behaviour tables, the sound system's subscriptions and the background.
        {"LevelHooks::getTables", static_cast<bool>(level.getTables)},
        {"LevelHooks::replaceTables", static_cast<bool>(level.replaceTables)},
        {"LevelHooks::soundObserver", level.soundObserver != nullptr},
        {"LevelHooks::saveBackground", static_cast<bool>(level.saveBackground)},
        {"LevelHooks::stageBackground", static_cast<bool>(level.stageBackground)},
        // Menus: the menu system's stack, for gameplay.
        {"MenuHooks::openMenus", static_cast<bool>(MenuHooks::openMenus)},
        {"MenuHooks::pushMenu", static_cast<bool>(MenuHooks::pushMenu)},
        {"MenuHooks::popMenu", static_cast<bool>(MenuHooks::popMenu)},
        {"MenuHooks::closeAllMenus", static_cast<bool>(MenuHooks::closeAllMenus)},
        {"MenuHooks::showConfirmation", static_cast<bool>(MenuHooks::showConfirmation)},
        // Menu building: wired by the menus themselves when they are built.
        {"LevelHooks::closeAllMenus", static_cast<bool>(level.closeAllMenus)},
        {"LevelHooks::runMenuBuilders", static_cast<bool>(level.runMenuBuilders)},
    };
}
