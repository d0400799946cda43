#include "BoxCollider.h"
#include "CircleCollider.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStateRequest.h"
#include "InputSystem.h"
#include "M2Level1.h"
#include "M2Level2.h"
#include "RigidBody.h"
#include "SoundHooks.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
constexpr float kDt = 1.0f / 60.0f;
constexpr std::int32_t kWood = 1;
constexpr std::int32_t kSuperBall = 5;

// The editor levels' control on objects built in code, without GL: keys are written into the input
// system's lists as the pump would, and each Update is one engine update of the level.
class EditorControl : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetObjectModel();
        EventManager::Reset();
        SoundHooks::Reset();
        FrameRateManager::Reset();
        ResetGameStateRequest();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        input = std::make_unique<InputSystem>();
    }
    void TearDown() override
    {
        input.reset();
        factory->Exit();
        factory.reset();
        ResetObjectModel();
        ResetGameStateRequest();
    }

    std::uint32_t Make(Tag tag, const Vector3& at, const Vector3& scale, bool body, bool collider,
                       bool circle)
    {
        GameObject* object = factory->CreateObject();
        object->tag = tag;
        Transform* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        transform->SetTranslation(at);
        transform->SetScale(scale);
        if (body)
        {
            RigidBody rigid(object->id, tag == kTagBall ? kSuperBall : kWood);
            object->AddComponent(rigid);
        }
        if (collider && circle)
        {
            CircleCollider shape;
            object->AddComponent(shape);
        }
        else if (collider)
        {
            BoxCollider shape;
            object->AddComponent(shape);
        }
        return object->id;
    }

    // Two players and a ball, in that id order, unless a test builds its own.
    void MakeWorld()
    {
        left = Make(kTagPlayer, {0, 0, 1}, {25, 45, 0}, true, true, false);
        right = Make(kTagPlayer, {0, 0, 1}, {25, 45, 0}, true, true, false);
        ball = Make(kTagBall, {0, -150, 1}, {20, 20, 0}, true, true, true);
    }

    // One engine update: the keys held now, those pressed this update among them.
    void Update(EditorLevel& level, std::initializer_list<std::int32_t> held,
                std::initializer_list<std::int32_t> pressed = {})
    {
        input->keysDown.assign(held.begin(), held.end());
        input->keysDown.insert(input->keysDown.end(), pressed.begin(), pressed.end());
        input->keysTriggered.assign(pressed.begin(), pressed.end());
        level.Update(kDt);
    }
    // Lets the cooldown run out.
    void Wait(EditorLevel& level, int updates = 20)
    {
        for (int i = 0; i < updates; ++i)
            Update(level, {});
    }

    static Transform& T(std::uint32_t id)
    {
        return *gGameObjectFactory->GetObject(id)->GetComponentAs<Transform>(ComponentTypeId::kTransform);
    }
    static RigidBody& B(std::uint32_t id) { return *GetRigidBody(gGameObjectFactory->GetObject(id)); }
    static Collider& C(std::uint32_t id)
    {
        return *gGameObjectFactory->GetObject(id)->GetComponentAs<Collider>(ComponentTypeId::kCollider);
    }

    std::unique_ptr<GameObjectFactory> factory;
    std::unique_ptr<InputSystem> input;
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t ball = 0;
};
} // namespace

// The first tag-2 object runs on A and D (right wins), the second on the arrows; a grab needs the ball
// strictly within 30 units on both axes; a second press within 0.25 s is ignored; the held ball sits 20
// units toward the holder's run and does not turn; both throw laws follow the holder's x velocity as it
// was before the update, each sign and standing still.
TEST_F(EditorControl, PlayersRunGrabAndThrowByTheRules)
{
    MakeWorld();
    M2Level1 level;
    level.Init();
    ASSERT_EQ(level.FirstPlayer(), left);
    ASSERT_EQ(level.SecondPlayer(), right);
    ASSERT_EQ(level.Ball(), ball);
    EXPECT_EQ(T(left).GetTranslation().x, -250.0f);
    EXPECT_EQ(T(right).GetTranslation().x, 250.0f);
    EXPECT_EQ(T(left).GetTranslation().y, -200.0f);
    EXPECT_FALSE(B(left).GetCanRotate());

    const struct
    {
        std::initializer_list<std::int32_t> keys;
        float leftVx, rightVx;
    } runs[] = {{{SDLK_d}, 150.0f, 0.0f},
                {{SDLK_a}, -150.0f, 0.0f},
                {{SDLK_a, SDLK_d}, 150.0f, 0.0f},
                {{SDLK_LEFT}, 0.0f, -150.0f},
                {{SDLK_LEFT, SDLK_RIGHT, SDLK_d}, 150.0f, 150.0f},
                {{}, 0.0f, 0.0f}};
    for (const auto& run : runs)
    {
        Update(level, run.keys);
        EXPECT_EQ(B(left).GetVelocity().x, run.leftVx);
        EXPECT_EQ(B(right).GetVelocity().x, run.rightVx);
    }
    // Without W the body may fall but not rise.
    B(left).SetVelocity({0.0f, 80.0f, 3.0f});
    Update(level, {});
    EXPECT_EQ(B(left).GetVelocity().y, 0.0f);
    EXPECT_EQ(B(left).GetVelocity().z, 0.0f);
    B(left).SetVelocity({0.0f, 80.0f, 0.0f});
    Update(level, {SDLK_w});
    EXPECT_EQ(B(left).GetVelocity().y, 80.0f);

    // Reach: 30 away on either axis is too far, 29.9 is near enough.
    Wait(level);
    T(ball).SetTranslation({-250.0f + 30.0f, -200.0f, 1.0f});
    Update(level, {}, {SDLK_LSHIFT});
    EXPECT_FALSE(level.IsBallHeld());
    T(ball).SetTranslation({-250.0f, -200.0f + 30.0f, 1.0f});
    Update(level, {}, {SDLK_LSHIFT});
    EXPECT_FALSE(level.IsBallHeld());
    T(ball).SetTranslation({-250.0f + 29.9f, -200.0f - 29.9f, 1.0f});
    Update(level, {}, {SDLK_LSHIFT});
    ASSERT_TRUE(level.IsBallHeld());
    EXPECT_EQ(level.Holder(), left);
    EXPECT_TRUE(B(ball).GetStatic());
    EXPECT_FALSE(C(ball).GetResolution());
    // Pressed again at once: still held (the cooldown ignores it).
    Update(level, {}, {SDLK_LSHIFT});
    EXPECT_TRUE(level.IsBallHeld());

    // Held: 20 units toward the run, at the holder's height, kept from turning.
    B(ball).SetAngularVelocity(90.0f);
    Update(level, {SDLK_d});
    EXPECT_EQ(T(ball).GetTranslation().x, T(left).GetTranslation().x + 20.0f);
    EXPECT_EQ(T(ball).GetTranslation().y, T(left).GetTranslation().y);
    EXPECT_EQ(B(ball).GetAngularVelocity(), 0.0f);
    Update(level, {SDLK_a});
    EXPECT_EQ(T(ball).GetTranslation().x, T(left).GetTranslation().x - 20.0f);

    // Thrown while the holder ran left last update: the pre-update velocity decides, whatever is held now.
    Wait(level);
    Update(level, {SDLK_a});
    const float inverseMass = B(ball).ComputeInverseMass();
    const float ballX = T(ball).GetTranslation().x;
    B(ball).SetVelocity({0.0f, 0.0f, 0.0f});
    Update(level, {SDLK_d}, {SDLK_LSHIFT});
    EXPECT_FALSE(level.IsBallHeld());
    EXPECT_EQ(level.Holder(), 0u);
    EXPECT_FALSE(B(ball).GetStatic());
    EXPECT_TRUE(C(ball).GetResolution());
    EXPECT_EQ(T(ball).GetTranslation().x, ballX - 20.0f);
    EXPECT_FLOAT_EQ(B(ball).GetVelocity().x, -500.0f * inverseMass);
    EXPECT_FLOAT_EQ(B(ball).GetVelocity().y, 200.0f * inverseMass);

    // From a standing holder: (its own x speed, -200) times inverse mass.
    Wait(level);
    T(ball).SetTranslation(T(left).GetTranslation());
    Update(level, {}, {SDLK_LSHIFT});
    ASSERT_TRUE(level.IsBallHeld());
    Wait(level);
    B(ball).SetVelocity({40.0f, 0.0f, 0.0f});
    Update(level, {}, {SDLK_LSHIFT});
    EXPECT_FLOAT_EQ(B(ball).GetVelocity().x, 40.0f + 40.0f * inverseMass);
    EXPECT_FLOAT_EQ(B(ball).GetVelocity().y, -200.0f * inverseMass);

    // The second player grabs with right Shift and throws rightward.
    Wait(level);
    T(ball).SetTranslation(T(right).GetTranslation());
    Update(level, {}, {SDLK_RSHIFT});
    ASSERT_EQ(level.Holder(), right);
    Wait(level);
    Update(level, {SDLK_RIGHT});
    B(ball).SetVelocity({0.0f, 0.0f, 0.0f});
    Update(level, {}, {SDLK_RSHIFT});
    EXPECT_FLOAT_EQ(B(ball).GetVelocity().x, 500.0f * inverseMass);
}

// The second level sets the thrown ball's speed rather than pushing it.
TEST_F(EditorControl, SecondLevelSetsTheThrownSpeed)
{
    MakeWorld();
    M2Level2 level;
    level.Init();
    const struct
    {
        std::int32_t run;
        float vx, vy;
    } throws[] = {{SDLK_d, 300.0f, 200.0f}, {SDLK_a, -300.0f, 200.0f}, {0, 7.0f, -200.0f}};
    for (const auto& law : throws)
    {
        Wait(level);
        T(ball).SetTranslation(T(left).GetTranslation());
        Update(level, {}, {SDLK_LSHIFT});
        ASSERT_TRUE(level.IsBallHeld());
        Wait(level);
        Update(level, {law.run});
        B(ball).SetVelocity({7.0f, 5.0f, 0.0f});
        Update(level, {}, {SDLK_LSHIFT});
        EXPECT_EQ(B(ball).GetVelocity().x, law.vx) << law.run;
        EXPECT_EQ(B(ball).GetVelocity().y, law.vy) << law.run;
    }
}

// Key 3 asks for the match, then key 2 for the second level, which stands; Escape quits only without 2;
// keypad digits do nothing.
TEST_F(EditorControl, LevelKeysFollowTheirOrder)
{
    MakeWorld();
    M2Level1 level;
    level.Init();
    // Paused, the engine passes no time: the cooldown waits, the keys still request.
    EXPECT_EQ(level.GrabCooldown(), EditorLevel::kGrabCooldown);
    input->keysDown = {SDLK_3};
    level.Update(0.0f);
    EXPECT_EQ(level.GrabCooldown(), EditorLevel::kGrabCooldown);
    EXPECT_EQ(GetRequestedGameState(), GameStateIndex::GameplayDemo);
    const struct
    {
        std::initializer_list<std::int32_t> keys;
        std::int32_t requested;
    } cases[] = {{{SDLK_3}, GameStateIndex::GameplayDemo},
                 {{SDLK_3, SDLK_2}, GameStateIndex::M2Level2},
                 {{SDLK_3, SDLK_ESCAPE}, kQuitRequest},
                 {{SDLK_2, SDLK_ESCAPE}, GameStateIndex::M2Level2},
                 {{SDLK_KP_2}, -7}};
    for (const auto& keys : cases)
    {
        RequestGameState(-7);
        Update(level, keys.keys);
        EXPECT_EQ(GetRequestedGameState(), keys.requested);
    }
}

// Entering again forgets a hold; a player without a body or a ball without a collider is warned about
// once and not used; extra players and balls are ignored.
TEST_F(EditorControl, InitTakesOnlyCompleteObjectsAndForgetsTheHold)
{
    MakeWorld();
    Make(kTagPlayer, {0, 0, 1}, {25, 45, 0}, true, true, false);
    Make(kTagBall, {0, 0, 1}, {20, 20, 0}, true, true, true);
    M2Level1 level;
    level.Init();
    EXPECT_EQ(level.Ball(), ball);
    T(ball).SetTranslation(T(left).GetTranslation());
    Wait(level);
    Update(level, {}, {SDLK_LSHIFT});
    ASSERT_TRUE(level.IsBallHeld());
    level.Init();
    EXPECT_FALSE(level.IsBallHeld());
    EXPECT_EQ(level.Holder(), 0u);
    level.Unload();
    EXPECT_EQ(level.FirstPlayer(), 0u);
    EXPECT_EQ(level.Ball(), 0u);

    factory->QueueDestroyAll();
    factory->DestroyQueuedObjects();
    const std::uint32_t bodiless = Make(kTagPlayer, {0, 0, 1}, {25, 45, 0}, false, true, false);
    const std::uint32_t other = Make(kTagPlayer, {0, 0, 1}, {25, 45, 0}, true, true, false);
    const std::uint32_t shapeless = Make(kTagBall, {0, 0, 1}, {20, 20, 0}, true, false, true);
    testing::internal::CaptureStdout();
    level.Init();
    const std::string out = testing::internal::GetCapturedStdout();
    // Freed ids come back most recent first: the id order decides which player is first.
    const bool bodilessFirst = bodiless < other;
    EXPECT_NE(out.find(std::string("WARNING: Editor_0: the ") + (bodilessFirst ? "first" : "second") +
                       " player (object " + std::to_string(bodiless) + ") has no RigidBody"),
              std::string::npos)
        << out;
    EXPECT_NE(
        out.find("WARNING: Editor_0: the ball (object " + std::to_string(shapeless) + ") has no Collider"),
        std::string::npos)
        << out;
    EXPECT_EQ(level.FirstPlayer(), bodilessFirst ? 0u : other);
    EXPECT_EQ(level.SecondPlayer(), bodilessFirst ? other : 0u);
    EXPECT_EQ(level.Ball(), 0u);
    // Nothing runs without both players; the level keys still do.
    Update(level, {SDLK_d, SDLK_ESCAPE});
    EXPECT_EQ(B(other).GetVelocity().x, 0.0f);
    EXPECT_EQ(GetRequestedGameState(), kQuitRequest);
}
