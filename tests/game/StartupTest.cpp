#include "BehaviorInput.h"
#include "CCSMFactory.h"
#include "CircleCollider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStartup.h"
#include "GameStats.h"
#include "Graphics.h"
#include "LevelFile.h"
#include "Light.h"
#include "MenuButtonState.h"
#include "OffscreenGL.h"
#include "ParticleComponent.h"
#include "PlayHarness.h"
#include "Prototypes.h"
#include "RigidBody.h"
#include "SoundCue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

// Right after start-up every component class has its prototype and every upward hook is wired, so a
// level that uses classes no screen has built yet still loads.
TEST(Startup, EveryClassHasItsPrototypeAndEveryHookIsWired)
{
    PlayHarness game;
    std::string reason;
    if (!game.Start(reason, {{}, false}))
        GLIMMOCK_SKIP_OR_FAIL_WITHOUT_GL(reason);

    for (const char* name :
         {"BehaviorInput", "BoxCollider", "CCSM", "CircleCollider", "GameStats", "Light", "ParticleComponent",
          "Renderer", "RigidBody", "SoundCue", "TextRenderer", "TimeManipulator", "Transform"})
        EXPECT_NE(FindComponentPrototype(name), nullptr) << name;

    for (const StartupHook& hook : StartupHookChecklist())
        EXPECT_TRUE(hook.set) << hook.name;
    // The menus' button state and commands have replaced gameplay's stand-ins.
    EXPECT_NE(dynamic_cast<const MenuButtonState*>(gCCSMFactory->FindStatePrototype(kStateMenuButtonMode)), nullptr);
    EXPECT_NE(dynamic_cast<const PressButton*>(gCCSMFactory->FindCommandPrototype(kCommandPressMenuButton)), nullptr);
    EXPECT_NE(FindScriptPrototype("MenuScript"), nullptr);

    // A level holding classes that no state has made yet is read back whole.
    {
        GameObject* object = gGameObjectFactory->CreateObject();
        object->SetName("Probe");
        RigidBody body;
        CircleCollider circle;
        Light light;
        ParticleComponent particles;
        GameStats stats;
        SoundCue cue;
        object->AddComponent(body);
        object->AddComponent(circle);
        object->AddComponent(light);
        object->AddComponent(particles);
        object->AddComponent(stats);
        object->AddComponent(cue);
    }
    std::filesystem::create_directories("Levels");
    ASSERT_TRUE(SaveLevel("BootProbe"));
    gGameObjectFactory->QueueDestroyAll();
    game.Step();

    // States load levels inside the engine's update, after the renderer has drawn and emptied its batches;
    // a load between the sprites' submissions and the draw would free materials the batches still hold.
    gGraphics->Update(0.0f);
    testing::internal::CaptureStdout();
    LoadLevelWithFallback("BootProbe");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("NOT RECOGNIZED"), std::string::npos) << out;
    const GameObject* probe = gGameObjectFactory->GetObjectByName("Probe");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->componentTypes.size(), 7u); // the six and the Transform
    game.Step();
    game.Stop();
}
