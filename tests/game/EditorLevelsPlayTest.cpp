#include "Collider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "LevelBaker.h"
#include "LevelFile.h"
#include "M2Level1.h"
#include "M2Level2.h"
#include "OffscreenGL.h"
#include "PlayHarness.h"
#include "Renderer.h"
#include "RigidBody.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"

#include <SDL_keycode.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
namespace fs = std::filesystem;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::size_t CountOf(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class EditorLevels : public PlayTest
{
  protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        if (IsSkipped())
            return;
        if (Game().CurrentState() != -1)
        {
            RequestGameState(-1);
            Game().Step();
            Game().ResetWorld();
        }
    }
    void TearDown() override
    {
        for (std::int32_t key : {SDLK_d, SDLK_a, SDLK_LSHIFT, SDLK_2, SDLK_3})
            Game().Release(key);
    }

    static void Enter(std::int32_t index)
    {
        RequestGameState(index);
        WindowProvider::SetWindowVisible(0, true);
        Game().Step(2);
    }

    // Bakes the target as the baker does, into baked/Levels/, and returns the bytes.
    static std::string Bake(const std::string& name)
    {
        // The renderer's batches point into the materials the bake destroys: draw and empty them first.
        gGraphics->Update(0.0f);
        const BakeTarget* target = FindBakeTarget(name);
        if (target == nullptr)
            return {};
        const std::string failure = BakeLevel(*target, "baked");
        EXPECT_EQ(failure, "");
        return ReadFile("baked/Levels/" + name + ".xml");
    }

    static Transform& T(const std::string& name)
    {
        return *Named(name)->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    }
};
} // namespace

// The committed editor levels are what a fresh build of them writes (byte for byte where the renderer is
// llvmpipe, whose shader inputs the files record), they load without an unknown class or a missing
// texture, hold the parts the levels play with, and stand still when nobody plays.
TEST_F(EditorLevels, CommittedFilesAreAFreshBakeAndSettle)
{
    const struct
    {
        const char* name;
        std::int32_t state;
    } targets[] = {{"Editor_2", GameStateIndex::M2Level2}, {"Editor_0", GameStateIndex::M2Level1}};
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    for (const auto& target : targets)
    {
        SCOPED_TRACE(target.name);
        const std::string fresh = Bake(target.name);
        ASSERT_FALSE(fresh.empty());
        if (renderer.find("llvmpipe") != std::string::npos)
        {
            EXPECT_TRUE(fresh == ReadFile(std::string("Levels/") + target.name + ".xml"))
                << "the fresh bake is in baked/Levels/ of the test's folder";
        }

        // Editor_2 is entered cold: only start-up textures; Editor_0 makes its own first.
        testing::internal::CaptureStdout();
        Enter(target.state);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("NOT RECOGNIZED"), std::string::npos) << out;
        EXPECT_EQ(out.find("Could not locate texture"), std::string::npos) << out;
        EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;

        for (const char* name : {"Left Player", "Right Player"})
        {
            GameObject* player = Named(name);
            ASSERT_NE(player, nullptr) << name;
            EXPECT_EQ(player->tag, kTagPlayer);
            EXPECT_EQ(player->componentTypes.size(), 4u) << name; // Transform, RigidBody, Collider, Renderer
            EXPECT_EQ(GetRigidBody(player)->GetSubstance(), 1);
            EXPECT_FALSE(GetRigidBody(player)->GetCanRotate());
            EXPECT_TRUE(player->GetComponentAs<Collider>(ComponentTypeId::kCollider)->GetResolution());
            EXPECT_TRUE(player->scriptTypes.empty());
        }
        GameObject* ball = Named("Ball");
        ASSERT_NE(ball, nullptr);
        EXPECT_EQ(ball->tag, kTagBall);
        EXPECT_TRUE(ball->GetComponentAs<Collider>(ComponentTypeId::kCollider)->IsCircle());
        // The file brings no prefabs (the menus add their own after any load).
        EXPECT_NE(fresh.find("<PreFab_Vector_Size>0</PreFab_Vector_Size>"), std::string::npos);
        EXPECT_NE(fresh.find("<SPreFab_Vector_Size>0</SPreFab_Vector_Size>"), std::string::npos);
        EXPECT_TRUE(GetLevelModuleNames().empty());

        Game().Step(300);
        EXPECT_NEAR(T("Left Player").GetTranslation().x, -250.0f, 1.0f);
        EXPECT_NEAR(T("Right Player").GetTranslation().x, 250.0f, 1.0f);
        EXPECT_NEAR(T("Left Player").GetTranslation().y, -177.5f, 1.0f);
        EXPECT_NEAR(T("Right Player").GetTranslation().y, -177.5f, 1.0f);
        EXPECT_LT(std::abs(T("Ball").GetTranslation().x), 410.0f);
        EXPECT_GT(T("Ball").GetTranslation().y, -200.0f);
        Game().Shot(std::string("editor_level_") + target.name);
    }
    // Editor_0's ball weighs 2: a throw's impulse of 500 moves it at 250 units a second.
    EXPECT_FLOAT_EQ(GetRigidBody(Named("Ball"))->ComputeMass(), 2.0f);
    EXPECT_FLOAT_EQ(GetRigidBody(Named("Ball"))->GetRestitution(), 0.95f);
}

// A missing file leaves the level empty and its keys working; a truncated one says so once.
TEST_F(EditorLevels, MissingOrTruncatedFilesLeaveAnEmptyLevel)
{
    const std::string kept = ReadFile("Levels/Editor_0.xml");
    fs::rename("Levels/Editor_0.xml", "Levels/Editor_0.kept");
    testing::internal::CaptureStdout();
    Enter(GameStateIndex::M2Level1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(CountOf(out, "ERROR"), 0u) << out;
    auto& level = dynamic_cast<M2Level1&>(gGameStateManager->GetState(GameStateIndex::M2Level1));
    EXPECT_EQ(level.FirstPlayer(), 0u);
    EXPECT_EQ(level.Ball(), 0u);
    Game().Press(SDLK_2);
    Game().Step(2);
    Game().Release(SDLK_2);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::M2Level2);

    WriteFile("Levels/Editor_0.xml", kept.substr(0, kept.size() / 2));
    testing::internal::CaptureStdout();
    Enter(GameStateIndex::M2Level1);
    out = testing::internal::GetCapturedStdout();
    fs::remove("Levels/Editor_0.xml");
    fs::rename("Levels/Editor_0.kept", "Levels/Editor_0.xml");
    EXPECT_EQ(CountOf(out, "ERROR: level Editor_0 failed to load: "), 1u) << out;
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::M2Level1);
    EXPECT_EQ(level.FirstPlayer(), 0u);
    EXPECT_EQ(Named("Left Player"), nullptr);
}

// Played in state 4: a second of D runs about 150 units, left Shift by the ball grabs it and a later press
// while running throws it; re-entry forgets the hold; key 2 loads Editor_2 and key 3 enters the match.
TEST_F(EditorLevels, PlayersRunGrabAndThrowInTheLoadedLevel)
{
    Enter(GameStateIndex::M2Level1);
    Game().Step(60);
    auto& level = dynamic_cast<M2Level1&>(gGameStateManager->GetState(GameStateIndex::M2Level1));
    ASSERT_NE(level.FirstPlayer(), 0u);
    EXPECT_EQ(level.FirstPlayer(), Named("Left Player")->id);
    const float startX = T("Left Player").GetTranslation().x;
    Game().Press(SDLK_d);
    Game().Step(60);
    Game().Release(SDLK_d);
    Game().Step();
    EXPECT_NEAR(T("Left Player").GetTranslation().x - startX, 150.0f, 10.0f);

    // The ball is put at the player's side, then grabbed.
    T("Ball").SetTranslation(T("Left Player").GetTranslation() + Vector3{10.0f, 0.0f, 0.0f});
    GetRigidBody(Named("Ball"))->SetVelocity({0.0f, 0.0f, 0.0f});
    Game().Press(SDLK_LSHIFT);
    Game().Step();
    Game().Release(SDLK_LSHIFT);
    Game().Step(20);
    ASSERT_TRUE(level.IsBallHeld());
    Game().Shot("editor_level_holding");
    Game().Press(SDLK_d);
    Game().Step(5);
    Game().Press(SDLK_LSHIFT);
    Game().Step();
    Game().Release(SDLK_LSHIFT);
    Game().Release(SDLK_d);
    Game().Step();
    EXPECT_FALSE(level.IsBallHeld());
    EXPECT_GT(GetRigidBody(Named("Ball"))->GetVelocity().x, 200.0f);

    // Held again, then the level is entered afresh: the hold is gone.
    Game().Step(20);
    T("Ball").SetTranslation(T("Left Player").GetTranslation());
    Game().Press(SDLK_LSHIFT);
    Game().Step();
    Game().Release(SDLK_LSHIFT);
    ASSERT_TRUE(level.IsBallHeld());
    Game().Press(SDLK_2);
    Game().Step(2);
    Game().Release(SDLK_2);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::M2Level2);
    EXPECT_NE(Named("Left Player"), nullptr);
    Enter(GameStateIndex::M2Level1);
    EXPECT_FALSE(level.IsBallHeld());
    EXPECT_EQ(level.Holder(), 0u);

    Game().Press(SDLK_3);
    Game().Step(2);
    Game().Release(SDLK_3);
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::GameplayDemo);
}
