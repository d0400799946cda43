#include "Camera.h"
#include "Collider.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateManager.h"
#include "GameStateRequest.h"
#include "Graphics.h"
#include "Level1Temp.h"
#include "Level2Temp.h"
#include "LevelFile.h"
#include "OffscreenGL.h"
#include "PhysicsTestState.h"
#include "PlayHarness.h"
#include "RigidBody.h"
#include "SoundPlayLog.h"
#include "SpriteField.h"
#include "Transform.h"
#include "TypeIds.h"
#include "WindowProvider.h"
#include "WindowRecord.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr std::int32_t kEscape = 27;

class DevLevels : public PlayTest
{
  protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        if (IsSkipped())
            return;
        // A request of the current state changes nothing: leave it first, so each test enters afresh.
        if (Game().CurrentState() != -1)
        {
            RequestGameState(-1);
            Game().Step();
            Game().ResetWorld();
        }
        SetSoundPlayLogging(true);
    }
    void TearDown() override
    {
        SetSoundPlayLogging(false);
        for (std::int32_t key : {std::int32_t{'1'}, std::int32_t{'2'}, std::int32_t{'3'}, std::int32_t{'4'},
                                 std::int32_t{'5'}, kEscape})
            Game().Release(key);
    }

    template <typename T> static T& State(std::int32_t index)
    {
        return dynamic_cast<T&>(gGameStateManager->GetState(index));
    }

    // What a developer does: write the index and show the window; the camera lags a frame, so two updates.
    static void Enter(std::int32_t index)
    {
        RequestGameState(index);
        WindowProvider::SetWindowVisible(0, true);
        Game().Step(2);
    }

    // Holds the key for n updates, then lets it go.
    static void Hold(std::int32_t key, int updates = 1)
    {
        Game().Press(key);
        Game().Step(updates);
        Game().Release(key);
        Game().Step();
    }

    static Transform* TransformOf(std::uint32_t id)
    {
        GameObject* object = gGameObjectFactory->GetObject(id);
        return object != nullptr ? object->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
    }

    static RigidBody* BodyOf(std::uint32_t id) { return GetRigidBody(gGameObjectFactory->GetObject(id)); }

    static std::size_t LiveObjectCount()
    {
        std::size_t count = 0;
        for (const auto& object : gGameObjectFactory->Objects())
            count += object != nullptr && !object->IsQueuedForDestruction() ? 1 : 0;
        return count;
    }
};

bool IsMagenta(const std::uint8_t* p)
{
    return p[0] > 180 && p[1] < 90 && p[2] > 180;
}

bool IsRed(const std::uint8_t* p)
{
    return p[0] > 180 && p[1] < 90 && p[2] < 90;
}

// The window pixel of a world point, the camera at the origin with a 900 x 675 view.
void WorldToPixel(float x, float y, int& px, int& py)
{
    px = static_cast<int>(std::lround(320.0f + x * 640.0f / 900.0f));
    py = static_cast<int>(std::lround(240.0f - y * 480.0f / 675.0f));
}

bool ColourNear(const std::vector<std::uint8_t>& pixels, float x, float y, int radius,
                bool (*matches)(const std::uint8_t*))
{
    int px = 0;
    int py = 0;
    WorldToPixel(x, y, px, py);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (matches(PixelAt(pixels, px + dx, py + dy)))
                return true;
    return false;
}
} // namespace

// Entered before any level has made its colours, the ray test finds every texture it names. Each held
// key casts toward its shape, names it exactly, plays "BallSteal" and marks the hit: at the circle's
// rim, at the origin for a box (a box hit leaves the record untouched). The first object in id order
// answers, not the nearest, and the level is never saved.
TEST_F(DevLevels, RayCastsAnswerInIdOrderAndMarkTheirHits)
{
    testing::internal::CaptureStdout();
    Enter(GameStateIndex::Level2Temp);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Could not locate texture"), std::string::npos) << out;
    auto& level = State<Level2Temp>(GameStateIndex::Level2Temp);
    ASSERT_LT(level.AxisAlignedBoxId(), level.RotatedBoxId());
    ASSERT_LT(level.RotatedBoxId(), level.CircleId());
    EXPECT_TRUE(gGraphics->drawDebug);

    const struct
    {
        std::int32_t key;
        const char* line;
        float x, y;
    } casts[] = {{'1', "Axis aligned box was hit!\n", 0.0f, 0.0f},
                 {'2', "Circle was hit!\n", -185.86f, 185.86f},
                 {'3', "Rotated box was hit!\n", 0.0f, 0.0f}};
    for (const auto& cast : casts)
    {
        ClearSoundPlayLog();
        Game().Press(cast.key);
        testing::internal::CaptureStdout();
        Game().Step(2);
        out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, std::string(cast.line) + cast.line) << "key " << char(cast.key);
        // Every update while a hit is held plays the sound.
        EXPECT_EQ(std::count(SoundPlayLog().begin(), SoundPlayLog().end(), "BallSteal"), 2);
        const auto pixels = Game().Shot(std::string("ray_") + char(cast.key));
        EXPECT_TRUE(ColourNear(pixels, cast.x, cast.y, 2, IsRed)) << "hit point of key " << char(cast.key);
        Game().Release(cast.key);
        Game().Step();
    }

    // The box moved onto the circle's ray answers first, and is not the circle.
    TransformOf(level.AxisAlignedBoxId())->SetTranslation({-100.0f, 100.0f, 1.0f});
    Game().Step();
    Game().Press('2');
    testing::internal::CaptureStdout();
    Game().Step(2);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "");
    Game().Release('2');
    Game().Step();

    level.SaveLevel("RayLevel");
    EXPECT_FALSE(std::filesystem::exists("Levels/RayLevel.xml"));
}

// The spring pulls the disc toward the cursor in world units: the cursor at pixel (480, 160) is the world
// point (225, 112.5), where the view is 900 units wide. Keys 1 and 2 together leave the disc dynamic; a
// restart keeps the objects and the flags the keys gave them. Entered after a spinning scene, the view is
// known again and the outlines show.
TEST_F(DevLevels, PhysicsTestSpringFollowsTheCursorInWorldUnits)
{
    Enter(GameStateIndex::Level1Temp);
    Hold('3', 30);
    gGraphics->drawDebug = false;
    Enter(GameStateIndex::PhysicsTestState);
    Game().Step();
    const Camera& camera = *CameraManager::GetCameras().front();
    EXPECT_EQ(camera.position.x, 0.0f);
    EXPECT_EQ(camera.position.y, 0.0f);
    EXPECT_EQ(camera.right.x, 1.0f);
    EXPECT_EQ(camera.up.y, 1.0f);
    EXPECT_TRUE(gGraphics->drawDebug);

    auto& state = State<PhysicsTestState>(GameStateIndex::PhysicsTestState);
    const std::uint32_t disc = state.DiscId();
    ASSERT_NE(BodyOf(disc), nullptr);
    EXPECT_FLOAT_EQ(BodyOf(disc)->GetMass(), 3000.0f);
    // Set turning clockwise at 35 degrees per second; the motion step has slowed it since.
    EXPECT_LT(BodyOf(disc)->GetAngularVelocity(), 0.0f);
    EXPECT_TRUE(BodyOf(state.FloorId())->GetStatic());
    EXPECT_EQ(BodyOf(state.PillarId())->GetMass(), 0.0f);

    SDL_WarpMouseInWindow(WindowProvider::GetMainWindow()->window, 480, 160);
    Game().Step();
    const auto mouse = PhysicsTestState::MouseInWorld();
    ASSERT_TRUE(mouse.has_value());
    EXPECT_NEAR(mouse->x, 225.0f, 0.01f);
    EXPECT_NEAR(mouse->y, 112.5f, 0.01f);

    // 150 units off: no force; nearer: pushed away; farther: pulled in.
    const Vector3 atRest = PhysicsTestState::SpringForce(*mouse, {75.0f, 112.5f, 1.0f});
    EXPECT_NEAR(atRest.x, 0.0f, 1.0f);
    EXPECT_EQ(atRest.z, 0.0f);
    const struct
    {
        float x;
        float sign;
    } places[] = {{75.0f, 0.0f}, {150.0f, -1.0f}, {0.0f, 1.0f}};
    for (const auto& place : places)
    {
        TransformOf(disc)->SetTranslation({place.x, 112.5f, 1.0f});
        BodyOf(disc)->SetVelocity({0.0f, 0.0f, 0.0f});
        Game().Step();
        const float vx = BodyOf(disc)->GetVelocity().x;
        if (place.sign == 0.0f)
            EXPECT_NEAR(vx, 0.0f, 0.05f) << "at x " << place.x;
        else
            EXPECT_GT(vx * place.sign, 0.5f) << "at x " << place.x;
        EXPECT_NEAR(BodyOf(disc)->GetVelocity().y, 0.0f, 0.05f);
    }

    // The spring line ends on the cursor.
    TransformOf(disc)->SetTranslation({75.0f, 112.5f, 1.0f});
    BodyOf(disc)->SetVelocity({0.0f, 0.0f, 0.0f});
    const auto pixels = Game().Shot("physics_test_spring");
    EXPECT_TRUE(IsMagenta(PixelAt(pixels, 478, 160)) || IsMagenta(PixelAt(pixels, 478, 159)) ||
                IsMagenta(PixelAt(pixels, 478, 161)));
    for (int y = 157; y <= 163; ++y)
        EXPECT_FALSE(IsMagenta(PixelAt(pixels, 483, y))) << "past the cursor at y " << y;

    Game().Press('1');
    Game().Press('2');
    Game().Step();
    EXPECT_FALSE(BodyOf(disc)->GetStatic());
    Game().Release('2');
    Game().Step();
    EXPECT_TRUE(BodyOf(disc)->GetStatic());
    EXPECT_FALSE(gGameObjectFactory->GetObject(disc)
                     ->GetComponentAs<Collider>(ComponentTypeId::kCollider)
                     ->GetResolution());
    Game().Release('1');

    Hold('4');
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::PhysicsTestState);
    EXPECT_EQ(state.DiscId(), disc);
    EXPECT_TRUE(BodyOf(disc)->GetStatic());
    EXPECT_EQ(TransformOf(disc)->GetTranslation().x, 50.0f);
    EXPECT_EQ(TransformOf(disc)->GetTranslation().y, 100.0f);
    EXPECT_EQ(BodyOf(disc)->GetVelocity().x, 0.0f);
    EXPECT_EQ(BodyOf(disc)->GetVelocity().y, 0.0f);
}

// The kept objects are the ones the level made, whatever ids came before; scene 2 restarts its box each
// time; held scene 3 resets at rest; the first held key wins; the pile settles the same way twice.
TEST_F(DevLevels, SceneKeysMoveOnlyTheKeptObjects)
{
    auto& level = State<Level1Temp>(GameStateIndex::Level1Temp);
    level.ResetRun();
    GameObject* dummy = gGameObjectFactory->CreateObject();
    const std::uint32_t dummyId = dummy->id;
    TransformOf(dummyId)->SetTranslation({-700.0f, 300.0f, 1.0f});
    Enter(GameStateIndex::Level1Temp);
    // A switch queues every object: the dummy is gone, and no kept id names its id.
    ASSERT_EQ(level.SceneOneIds().size(), 51u);
    EXPECT_EQ(std::count(level.SceneOneIds().begin(), level.SceneOneIds().end(), dummyId), 0);
    EXPECT_EQ(LiveObjectCount(), 52u);

    // One made now takes a freed id; key 1 leaves it alone.
    GameObject* stranger = gGameObjectFactory->CreateObject();
    const std::uint32_t strangerId = stranger->id;
    TransformOf(strangerId)->SetTranslation({-700.0f, 300.0f, 1.0f});
    Game().Press('1');
    Game().Step();
    for (std::size_t k = 0; k < level.SceneOneIds().size(); ++k)
    {
        const Vector3& at = TransformOf(level.SceneOneIds()[k])->GetTranslation();
        EXPECT_NEAR(at.x, 240.0f - 10.0f * static_cast<float>(k), 0.5f) << k;
        EXPECT_NEAR(at.y, 100.0f + 15.0f * static_cast<float>(k + 1), 0.5f) << k;
    }
    EXPECT_EQ(TransformOf(strangerId)->GetTranslation().x, -700.0f);
    // Keys 1 and 5 together: 1 wins, nothing is requested.
    Game().Press('5');
    Game().Step();
    EXPECT_EQ(GetRequestedGameState(), GameStateIndex::Level1Temp);
    Game().Release('5');
    Game().Release('1');
    Game().Step();
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::Level1Temp);

    Hold('2');
    Game().Step(20);
    Hold('2');
    const std::uint32_t box = level.SceneTwoBoxId();
    EXPECT_FALSE(BodyOf(box)->GetStatic());
    EXPECT_NEAR(TransformOf(box)->GetTranslation().x, 880.0f - 2.0f * 150.0f / 60.0f, 1.0f);
    EXPECT_NEAR(TransformOf(box)->GetTranslation().y, 210.0f, 1.0f);
    EXPECT_NEAR(BodyOf(box)->GetVelocity().x, -150.0f, 1.0f);
    EXPECT_EQ(CameraManager::GetCameras().front()->position.x, 640.0f);
    EXPECT_EQ(level.CameraAngle(), 0.0f);

    // Held for 60 updates, scene 3 resets every update: no speed piles up from one to the next.
    Game().Press('3');
    for (int update = 0; update < 60; ++update)
    {
        Game().Step();
        for (std::uint32_t id : level.SceneThreeIds())
        {
            ASSERT_LE(std::abs(BodyOf(id)->GetVelocity().y), 10.5f) << "update " << update;
            ASSERT_EQ(BodyOf(id)->GetAngularVelocity(), 0.0f) << "update " << update;
        }
    }
    Game().Release('3');
    Game().Step();
    EXPECT_TRUE(level.IsSpinning());
    EXPECT_NEAR(level.CameraAngle(), 5.0f, 0.01f);
    // Key 4 keeps the angle; key 1 zeroes it.
    Hold('4');
    EXPECT_FALSE(level.IsSpinning());
    EXPECT_NEAR(level.CameraAngle(), 61.0f * 5.0f / 60.0f, 0.01f);

    // The pile of 51 settles alike from the same start.
    auto settle = [&] {
        for (std::uint32_t id : level.SceneOneIds())
            TransformOf(id)->SetRotation(0.0f);
        Hold('1');
        Game().Step(600);
        std::vector<float> state;
        for (std::uint32_t id : level.SceneOneIds())
        {
            const Vector3& at = TransformOf(id)->GetTranslation();
            const Vector3& v = BodyOf(id)->GetVelocity();
            state.insert(state.end(), {at.x, at.y, TransformOf(id)->GetRotation(), v.x, v.y,
                                       BodyOf(id)->GetAngularVelocity()});
        }
        return state;
    };
    const std::vector<float> first = settle();
    EXPECT_EQ(level.CameraAngle(), 0.0f);
    for (float value : first)
        ASSERT_TRUE(std::isfinite(value));
    const std::vector<float> second = settle();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
    const auto pixels = Game().Shot("level1_scene1");
    (void)pixels;
}

// The sprite field turns only while scene 4 shows it; a second visit builds nothing and the keys only
// move the camera.
TEST_F(DevLevels, SecondVisitBuildsNothingAndTheFieldTurnsOnlyWhileOn)
{
    auto& level = State<Level1Temp>(GameStateIndex::Level1Temp);
    level.ResetRun();
    Enter(GameStateIndex::Level1Temp);
    Hold('2');
    Game().Shot("level1_scene2");
    Hold('3', 20);
    Game().Shot("level1_scene3");
    Hold('4');
    ASSERT_NE(level.Field(), nullptr);
    const std::uint64_t afterPress = level.Field()->Frame();
    EXPECT_EQ(afterPress, 1u);
    Game().Step(3);
    EXPECT_EQ(level.Field()->Frame(), 4u);
    const auto field = Game().Shot("level1_scene4");
    EXPECT_GT(PixelAt(field, 322, 240)[0], 150);
    Hold('1');
    const std::uint64_t stopped = level.Field()->Frame();
    Game().Step(5);
    EXPECT_EQ(level.Field()->Frame(), stopped);

    Hold('5');
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::PhysicsTestState);
    Enter(GameStateIndex::Level1Temp);
    Game().Step();
    EXPECT_EQ(LiveObjectCount(), 0u);
    const struct
    {
        std::int32_t key;
        float x;
    } keys[] = {{'2', 640.0f}, {'3', 1500.0f}, {'4', 3000.0f}, {'1', 0.0f}};
    for (const auto& key : keys)
    {
        Hold(key.key);
        Game().Step();
        EXPECT_EQ(LiveObjectCount(), 0u) << "key " << char(key.key);
        EXPECT_EQ(CameraManager::GetCameras().front()->position.x, key.x) << "key " << char(key.key);
    }
}

// Leaving the level saves it as "test": 51 boxes, the floor and the prefab. Over a read-only file the
// save says so once, keeps the old file and the switch still happens.
TEST_F(DevLevels, LeavingSavesTheTestLevelOrKeepsTheOldOne)
{
    namespace fs = std::filesystem;
    auto& level = State<Level1Temp>(GameStateIndex::Level1Temp);
    level.ResetRun();
    fs::create_directories("Levels");
    fs::remove("Levels/test.xml");
    Enter(GameStateIndex::Level1Temp);
    Enter(GameStateIndex::Level2Temp);
    ASSERT_TRUE(fs::exists("Levels/test.xml"));

    gGraphics->Update(0.0f);
    LoadLevelWithFallback("test");
    // The level's own objects are the bodies: the menus build theirs after any load.
    std::size_t bodies = 0;
    for (const auto& object : gGameObjectFactory->Objects())
        bodies += object != nullptr && GetRigidBody(object.get()) != nullptr ? 1 : 0;
    EXPECT_EQ(bodies, 52u);
    EXPECT_NE(gGameObjectFactory->FindPrefab("PhysicsObject"), nullptr);

    std::ifstream in("Levels/test.xml", std::ios::binary);
    std::stringstream before;
    before << in.rdbuf();
    in.close();
    fs::permissions("Levels/test.xml",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Enter(GameStateIndex::Level1Temp);
    testing::internal::CaptureStdout();
    Enter(GameStateIndex::Level2Temp);
    const std::string out = testing::internal::GetCapturedStdout();
    fs::permissions("Levels/test.xml", fs::perms::owner_write, fs::perm_options::add);
    std::size_t errors = 0;
    for (std::size_t at = out.find("ERROR"); at != std::string::npos; at = out.find("ERROR", at + 1))
        ++errors;
    EXPECT_EQ(errors, 1u) << out;
    EXPECT_EQ(Game().CurrentState(), GameStateIndex::Level2Temp);
    std::ifstream again("Levels/test.xml", std::ios::binary);
    std::stringstream after;
    after << again.rdbuf();
    EXPECT_EQ(after.str(), before.str());
}
