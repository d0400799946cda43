#include "BallStates.h"
#include "BehaviorIds.h"
#include "BoxCollider.h"
#include "CCSM.h"
#include "DeformationScript.h"
#include "DestructableScript.h"
#include "DraggingCollisionScript.h"
#include "EffectWorld.h"
#include "Event.h"
#include "GameObject.h"
#include "GameStats.h"
#include "HazardCollisionScript.h"
#include "Light.h"
#include "MoveScript.h"
#include "PhysicsPrototypes.h"
#include "PlayerEffects.h"
#include "QuadTree.h"
#include "RigidBody.h"
#include "SoundPlayLog.h"
#include "StatNames.h"
#include "Substance.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

// The squash and stretch, the lava and its burn, and the moving platforms on hand-built objects.
namespace
{
using Lines = std::vector<std::string>;
constexpr float kStep = 1.0f / 60.0f;
constexpr std::int32_t kWood = 1;

class ObjectEffectTest : public EffectWorldTest
{
  protected:
    // A player in "Player Behavior" (on the ground) at the position, with a body and the given stats.
    GameObject& Player(Vector3 at, const std::map<std::string, float>& stats)
    {
        GameObject& player = WithMachine(kTagPlayer, "Player Behavior");
        Place(player, at, {20.0f, 40.0f, 1.0f});
        RigidBody body(kWood);
        player.AddComponent(body);
        for (const auto& [name, value] : stats)
            StatsOf(player).SetStat(name, value);
        return player;
    }
    GameObject& Ball()
    {
        GameObject& ball = WithMachine(kTagBall, "Ball Behavior");
        RigidBody body(kWood);
        ball.AddComponent(body);
        return ball;
    }
    // The player takes the ball as a grab does.
    static void Hold(GameObject& player, GameObject& ball)
    {
        CCSM& machine = MachineOfObject(ball);
        machine.PushState(kStateGrabbed);
        static_cast<StateGrabbed*>(machine.GetState(kStateGrabbed))->Hold(player.id, ball.id);
        Body(ball).SetStatic(true);
        StatsOf(player).SetStat(kStatGrabbedObject, static_cast<float>(ball.id));
    }
    GameObject& Lava()
    {
        GameObject* lava = objects.CreateObject();
        HazardCollisionScript hazard;
        lava->AddScript(hazard);
        return *lava;
    }
    static void Touch(const GameObject& a, const GameObject& b)
    {
        CollisionEvent contact(a.id, b.id);
        Send(contact);
    }
    template <typename T> static T& Add(GameObject& object, std::uint32_t typeId)
    {
        T script;
        object.AddScript(script);
        return *object.GetScriptAs<T>(typeId);
    }
    static void Place(GameObject& object, Vector3 at, Vector3 scale = {1.0f, 1.0f, 1.0f})
    {
        auto* transform = object.GetComponentAs<Transform>(ComponentTypeId::kTransform);
        transform->SetTranslation(at);
        transform->SetScale(scale);
    }
    static Vector3 At(const GameObject& object)
    {
        return object.GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
    }
    static Vector3 Scale(const GameObject& object)
    {
        return object.GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetScale();
    }
    static GameStats& StatsOf(const GameObject& object)
    {
        return *object.GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
    }
    static RigidBody& Body(const GameObject& object)
    {
        return *object.GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody);
    }
    static CCSM& MachineOfObject(const GameObject& object)
    {
        return *object.GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
    }
    static std::uint32_t Top(const GameObject& object)
    {
        return MachineOfObject(object).GetTopState()->GetId();
    }
    // One frame: the audio advances, then the burn runs.
    void Frame(DestructableScript& burn)
    {
        Advance(kStep);
        burn.Update(kStep);
    }
    int Markers() const
    {
        int count = 0;
        for (std::uint32_t id = 1; id < 200; ++id)
            if (const GameObject* object = objects.GetObject(id))
                count += object->name == DestructableScript::kMarkerName ? 1 : 0;
        return count;
    }
    static int Count(const std::string& name)
    {
        int count = 0;
        for (const std::string& played : SoundPlayLog())
            count += played == name ? 1 : 0;
        return count;
    }
};

const std::map<std::string, float> kDeformStats = {{kStatDeformScaleMaxMin, 3.0f},
                                                   {kStatDeformRate, 9.0f},
                                                   {kStatReformRate, 0.5f},
                                                   {kStatScaleX, 20.0f},
                                                   {kStatScaleY, 40.0f}};

// Running on the ground widens by "Deform rate" x dt per frame up to D past rest, then reforms by the
// fraction "Reform rate" per frame, lowering the sprite as it regains height, and snaps to rest:
// 23.15, 21.575, 20.7875, 20 x 40. Catches per-second and per-frame mix-ups.
TEST_F(ObjectEffectTest, RunningSquashesThenReformsAndSnapsToRest)
{
    GameObject& player = Player({0.0f, 100.0f, 1.0f}, kDeformStats);
    auto& deform = Add<DeformationScript>(player, ScriptTypeId::kDeformationScript);
    Body(player).SetVelocity({150.0f, 0.0f, 0.0f});

    deform.Update(kStep);
    EXPECT_TRUE(deform.IsSquashing());
    EXPECT_EQ(Scale(player).x, 20.0f) << "the first frame only notices the motion";
    int widening = 0;
    while (deform.IsSquashing() && widening < 100)
    {
        const float before = Scale(player).x;
        deform.Update(kStep);
        if (Scale(player).x > before)
        {
            ++widening;
            EXPECT_NEAR(Scale(player).x - before, 0.15f, 1e-4f);
        }
    }
    // The frame that ends the squash reforms at once.
    EXPECT_EQ(widening, 21);
    EXPECT_NEAR(Scale(player).x, 21.575f, 1e-4f);
    EXPECT_NEAR(Scale(player).y, 38.425f, 1e-4f);
    EXPECT_NEAR(At(player).y, 100.0f - 0.07875f, 1e-4f);
    deform.Update(kStep);
    EXPECT_NEAR(Scale(player).x, 20.7875f, 1e-4f);
    EXPECT_NEAR(At(player).y, 100.0f - 0.07875f - 0.039375f, 1e-4f);
    deform.Update(kStep);
    EXPECT_EQ(Scale(player).x, 20.0f);
    EXPECT_EQ(Scale(player).y, 40.0f);
    EXPECT_NEAR(At(player).y, 100.0f - 0.118125f, 1e-4f) << "the snap does not move the sprite";
}

// In the air at a steady speed the player narrows to 16.85 and holds it until it lands; then it reforms.
TEST_F(ObjectEffectTest, FlyingStretchesToTheLimitAndHoldsUntilLanding)
{
    GameObject& player = Player({0.0f, 0.0f, 1.0f}, kDeformStats);
    auto& deform = Add<DeformationScript>(player, ScriptTypeId::kDeformationScript);
    MachineOfObject(player).ChangeState(kStateInAir);
    ASSERT_EQ(Top(player), kStateInAir);
    Body(player).SetVelocity({150.0f, 0.0f, 0.0f});
    for (int frame = 0; frame < 80; ++frame)
        deform.Update(kStep);
    EXPECT_NEAR(Scale(player).x, 16.85f, 1e-4f);
    EXPECT_NEAR(Scale(player).y, 43.15f, 1e-4f);
    EXPECT_TRUE(deform.IsStretching());

    MachineOfObject(player).ChangeState(kStateOnGround);
    deform.Update(kStep);
    EXPECT_FALSE(deform.IsStretching());
    EXPECT_NEAR(Scale(player).x, 18.425f, 1e-4f);
}

// Missing stats are created (rest 20 x 40, the one "Deform Scale Max/Min"); a reform that can no longer
// change the width in float snaps; a reform rate above 1 counts as 1; a still body is left alone; an
// unusable rest scale skips the frame.
TEST_F(ObjectEffectTest, DeformationCreatesItsStatsAndNeverStallsOrDiverges)
{
    GameObject& bare = Player({0.0f, 0.0f, 1.0f}, {});
    Place(bare, {0.0f, 0.0f, 1.0f}, {20.0f, 40.0f, 1.0f});
    auto& bareDeform = Add<DeformationScript>(bare, ScriptTypeId::kDeformationScript);
    bareDeform.Update(kStep);
    const GameStats::StatMap& created = StatsOf(bare).GetStats();
    EXPECT_EQ(created.at(kStatScaleX), 20.0f);
    EXPECT_EQ(created.at(kStatScaleY), 40.0f);
    EXPECT_EQ(created.count("Deform Scale Max/Min"), 1u);
    EXPECT_EQ(created.count("Deform Scale Max"), 0u);
    EXPECT_EQ(Scale(bare).x, 20.0f) << "a still body at rest does nothing";
    EXPECT_EQ(At(bare).y, 0.0f);

    for (float rate : {0.3f, 3.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        std::map<std::string, float> stats = kDeformStats;
        stats[kStatReformRate] = rate;
        GameObject& player = Player({0.0f, 0.0f, 1.0f}, stats);
        Place(player, {0.0f, 0.0f, 1.0f}, {23.15f, 36.85f, 1.0f});
        auto& deform = Add<DeformationScript>(player, ScriptTypeId::kDeformationScript);
        for (int frame = 0; frame < 200; ++frame)
            deform.Update(kStep);
        EXPECT_EQ(Scale(player).x, 20.0f) << "rate " << rate;
        EXPECT_EQ(Scale(player).y, 40.0f) << "rate " << rate;
        EXPECT_TRUE(std::isfinite(At(player).y));
    }

    std::map<std::string, float> broken = kDeformStats;
    broken[kStatScaleX] = -1.0f;
    GameObject& player = Player({0.0f, 0.0f, 1.0f}, broken);
    Place(player, {0.0f, 0.0f, 1.0f}, {23.0f, 36.0f, 1.0f});
    Add<DeformationScript>(player, ScriptTypeId::kDeformationScript).Update(kStep);
    EXPECT_EQ(Scale(player).x, 23.0f);
}

// A player holding the ball touches lava: the ball is freed, the hand emptied, and from the next update the
// burn runs: one "PlayerRespawn", the player waiting off-screen while the marker light travels linearly to
// the spawn point, and at the 61st step the player at the spawn point and the marker gone.
TEST_F(ObjectEffectTest, LavaDropsTheBallAndBurnsThePlayerBackToItsSpawnPoint)
{
    GameObject& player =
        Player({40.0f, -200.0f, 0.5f}, {{kStatGoalSpawnX, 100.0f}, {kStatGoalSpawnY, 300.0f}});
    auto& burn = Add<DestructableScript>(player, ScriptTypeId::kDestructableScript);
    GameObject& ball = Ball();
    Hold(player, ball);
    GameObject& lava = Lava();

    Touch(lava, player);
    EXPECT_EQ(Top(ball), kStateUnGrabbed);
    EXPECT_FALSE(Body(ball).GetStatic());
    EXPECT_EQ(StatsOf(player).GetStats().at(kStatGrabbedObject), 0.0f);
    EXPECT_EQ(SoundPlayLog(), Lines{"LavaBurn"});
    EXPECT_FALSE(burn.IsBurning()) << "the burn starts at the next update";

    Frame(burn);
    EXPECT_EQ(Count("PlayerRespawn"), 1);
    const std::uint32_t marker = burn.GetMarker();
    ASSERT_NE(objects.GetObject(marker), nullptr);
    const Light* light = GetLight(*objects.GetObject(marker));
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->size.x, 50.0f);
    EXPECT_EQ(light->intensity, 0.1f);
    EXPECT_EQ(light->tint.x, 50.0f);
    EXPECT_EQ(light->shadowTint.w, 255.0f);

    for (int step = 2; step <= 60; ++step)
    {
        Frame(burn);
        const Vector3 owner = At(player);
        EXPECT_EQ(owner.x, -3000.0f);
        EXPECT_EQ(owner.y, 300.0f);
        EXPECT_EQ(owner.z, 0.0f);
        const float k = burn.GetBurnTime();
        const Vector3 light = At(*objects.GetObject(marker));
        EXPECT_NEAR(light.x, 40.0f + k * 60.0f, 1e-3f);
        EXPECT_NEAR(light.y, -200.0f + k * 500.0f, 1e-3f);
        EXPECT_EQ(light.z, 0.5f);
    }
    EXPECT_TRUE(burn.IsBurning()) << "the 60th step still waits";
    Frame(burn);
    EXPECT_FALSE(burn.IsBurning());
    EXPECT_EQ(At(player).x, 100.0f);
    EXPECT_EQ(At(player).y, 300.0f);
    EXPECT_EQ(At(player).z, 0.0f);
    EXPECT_TRUE(objects.GetObject(marker)->IsQueuedForDestruction());
    objects.DestroyQueuedObjects();
    EXPECT_EQ(Markers(), 0);
    for (int step = 0; step < 60; ++step)
        Frame(burn);
    EXPECT_EQ(Count("PlayerRespawn"), 1) << "one contact, one burn";
}

// A ball in the lava is freed and burns without "PlayerRespawn"; a marker someone else removed comes back.
TEST_F(ObjectEffectTest, ABallBurnsSilentlyAndALostMarkerIsRecreated)
{
    GameObject& ball = Ball();
    StatsOf(ball).SetStat(kStatGoalSpawnX, std::numeric_limits<float>::infinity());
    MachineOfObject(ball).PushState(kStateGrabbed);
    auto& burn = Add<DestructableScript>(ball, ScriptTypeId::kDestructableScript);
    Touch(Lava(), ball);
    EXPECT_EQ(Top(ball), kStateUnGrabbed);
    Frame(burn);
    const std::uint32_t first = burn.GetMarker();
    objects.QueueDestroy(first);
    objects.DestroyQueuedObjects();
    Frame(burn);
    EXPECT_EQ(Markers(), 1) << "recreated";
    for (int step = 0; step < 60; ++step)
        Frame(burn);
    EXPECT_EQ(SoundPlayLog(), Lines{"LavaBurn"});
    EXPECT_EQ(At(ball).x, 0.0f) << "an infinite spawn point counts as 0";
}

// Stale or odd holdings never pop the wrong machine: a hand naming nothing, a marker, or a ball whose only
// state is Grabbed. An owner destroyed mid-burn takes its marker with it.
TEST_F(ObjectEffectTest, TheLavaPopsOnlyAReallyHeldBallAndLeavesNoStrayMarker)
{
    GameObject& lava = Lava();
    GameObject& loneBall = Ball();
    MachineOfObject(loneBall).ChangeState(kStateGrabbed);
    GameObject* someObject = objects.CreateObject();
    for (float held : {999.0f, static_cast<float>(someObject->id), static_cast<float>(loneBall.id),
                       std::numeric_limits<float>::quiet_NaN()})
    {
        GameObject& player = Player({0.0f, 0.0f, 1.0f}, {{kStatGrabbedObject, held}});
        Touch(lava, player);
        EXPECT_EQ(StatsOf(player).GetStats().at(kStatGrabbedObject), 0.0f);
    }
    EXPECT_EQ(MachineOfObject(loneBall).GetStateStack(), std::vector<StateId>{kStateGrabbed});

    GameObject& player = Player({0.0f, 0.0f, 1.0f}, {});
    auto& burn = Add<DestructableScript>(player, ScriptTypeId::kDestructableScript);
    Touch(lava, player);
    for (int step = 0; step < 10; ++step)
        Frame(burn);
    EXPECT_EQ(Markers(), 1);
    objects.QueueDestroy(player.id);
    objects.DestroyQueuedObjects();
    objects.DestroyQueuedObjects();
    EXPECT_EQ(Markers(), 0);
}

// The LShift+6 shortcut flips every player's burn toggle, and only players'.
TEST_F(ObjectEffectTest, TheShortcutTogglesEveryPlayersBurn)
{
    GameObject& one = Player({}, {});
    GameObject& two = Player({}, {});
    GameObject& ball = Ball();
    auto& first = Add<DestructableScript>(one, ScriptTypeId::kDestructableScript);
    auto& second = Add<DestructableScript>(two, ScriptTypeId::kDestructableScript);
    auto& ballBurn = Add<DestructableScript>(ball, ScriptTypeId::kDestructableScript);
    TogglePlayerEffects();
    EXPECT_TRUE(first.IsToggled());
    EXPECT_TRUE(second.IsToggled());
    EXPECT_FALSE(ballBurn.IsToggled());
    TogglePlayerEffects();
    EXPECT_FALSE(first.IsToggled());
}

class LongLavaTest : public ObjectEffectTest
{
  protected:
    LongLavaTest() { lavaSeconds = 1.5; }
};

// A burn sound longer than the burn gives one burn, not two.
TEST_F(LongLavaTest, ALongBurnSoundGivesOneBurn)
{
    GameObject& player = Player({}, {});
    auto& burn = Add<DestructableScript>(player, ScriptTypeId::kDestructableScript);
    Touch(Lava(), player);
    for (int step = 0; step < 120; ++step)
        Frame(burn);
    EXPECT_EQ(Count("PlayerRespawn"), 1);
    EXPECT_EQ(Markers(), 1) << "queued once, not yet destroyed";
}

class NoLavaSoundTest : public ObjectEffectTest
{
  protected:
    NoLavaSoundTest() { lavaSeconds = 0.0; }
};

// Without "LavaBurn" there is nothing to start the burn.
TEST_F(NoLavaSoundTest, NoBurnSoundNoBurn)
{
    GameObject& player = Player({5.0f, 6.0f, 1.0f}, {});
    auto& burn = Add<DestructableScript>(player, ScriptTypeId::kDestructableScript);
    Touch(Lava(), player);
    for (int step = 0; step < 70; ++step)
        Frame(burn);
    EXPECT_FALSE(burn.IsBurning());
    EXPECT_EQ(At(player).x, 5.0f);
    EXPECT_TRUE(SoundPlayLog().empty());
}

// A platform between (0, 0) and (100, 0) at speed 10 turns within 5 of each point, heading for point 1
// first once attached (a constructed script heads for point 2); speed 0, equal points and unusable stats
// give velocity 0.
TEST_F(ObjectEffectTest, APlatformShuttlesBetweenItsPoints)
{
    EXPECT_EQ(MoveScript().GetHeading(), MoveScript::kTowardSecond);
    GameObject& platform = WithMachine(kTagPlatform, "");
    RigidBody body(kStaticSubstance);
    platform.AddComponent(body);
    Place(platform, {50.0f, 0.0f, 1.0f});
    for (const auto& [name, value] : std::map<std::string, float>{{kStatPoint1X, 0.0f},
                                                                  {kStatPoint1Y, 0.0f},
                                                                  {kStatPoint2X, 100.0f},
                                                                  {kStatPoint2Y, 0.0f},
                                                                  {kStatMovementSpeed, 10.0f}})
        StatsOf(platform).SetStat(name, value);
    auto& move = Add<MoveScript>(platform, ScriptTypeId::kMoveScript);
    EXPECT_EQ(move.GetHeading(), MoveScript::kTowardFirst);

    std::vector<float> turns;
    float lowest = 50.0f, highest = 50.0f;
    std::uint32_t heading = move.GetHeading();
    for (int frame = 0; frame < 400; ++frame)
    {
        move.Update(kStep);
        const Vector3 v = Body(platform).GetVelocity();
        EXPECT_NEAR(std::fabs(v.x), 10.0f, 1e-4f);
        EXPECT_EQ(v.y, 0.0f);
        if (move.GetHeading() != heading)
            turns.push_back(At(platform).x);
        heading = move.GetHeading();
        Place(platform, At(platform) + v * 0.5f);
        lowest = std::min(lowest, At(platform).x);
        highest = std::max(highest, At(platform).x);
    }
    ASSERT_GE(turns.size(), 3u);
    EXPECT_LT(turns[0], 5.0f);
    EXPECT_GT(turns[1], 95.0f);
    EXPECT_GT(lowest, -1.0f);
    EXPECT_LT(highest, 101.0f);

    for (const auto& [name, value] :
         std::map<std::string, float>{{kStatMovementSpeed, 0.0f}, {kStatPoint2X, 0.0f}})
    {
        StatsOf(platform).SetStat(name, value);
        move.Update(kStep);
        EXPECT_EQ(Body(platform).GetVelocity().x, 0.0f) << name;
    }
    StatsOf(platform).SetStat(kStatMovementSpeed, 10.0f);
    Place(platform, {0.0f, 0.0f, 1.0f});
    move.Update(kStep);
    EXPECT_EQ(Body(platform).GetVelocity().x, 0.0f) << "both points where the platform is";
    EXPECT_EQ(Body(platform).GetVelocity().y, 0.0f);
    StatsOf(platform).SetStat(kStatPoint2X, std::numeric_limits<float>::quiet_NaN());
    move.Update(kStep);
    EXPECT_EQ(Body(platform).GetVelocity().x, 0.0f);
}

// A rider touching a platform that moved (3, -1) since the last step moves (3, -1); an unmoved platform
// moves nobody, and a contact naming a destroyed object does nothing.
TEST_F(ObjectEffectTest, APlatformCarriesWhatTouchesIt)
{
    GameObject& platform = WithMachine(kTagPlatform, "");
    RigidBody body(kStaticSubstance);
    platform.AddComponent(body);
    Add<DraggingCollisionScript>(platform, ScriptTypeId::kDraggingCollisionScript);
    GameObject& rider = Player({10.0f, 20.0f, 1.0f}, {});
    Body(platform).SetPreviousPosition({0.0f, 0.0f, 0.0f});
    Place(platform, {3.0f, -1.0f, 0.0f});
    Touch(rider, platform);
    EXPECT_EQ(At(rider).x, 13.0f);
    EXPECT_EQ(At(rider).y, 19.0f);
    EXPECT_EQ(At(rider).z, 1.0f);

    Body(platform).SetPreviousPosition({3.0f, -1.0f, 0.0f});
    Touch(platform, rider);
    EXPECT_EQ(At(rider).x, 13.0f);
    CollisionEvent stale(platform.id, 150);
    Send(stale);
}

// Through real physics steps: a platform of the Static substance (no mass, so no gravity) shuttling at
// (180, -60) per second moves (3, -1) a step, and a rider sunk into it moves (3, -1) more than the same
// rider on the same platform without the script (the contact pushes both out alike); once the platform is
// flagged static it stands, whatever its velocity, and carries nobody.
TEST_F(ObjectEffectTest, RealPhysicsStepsCarryARiderWithAMovingPlatform)
{
    QuadTree::Reset();
    RegisterPhysics();
    auto box = [&](Vector3 at, Vector3 size, std::int32_t substance) -> GameObject& {
        GameObject* object = objects.CreateObject();
        Place(*object, at, size);
        RigidBody body(substance);
        body.SetGravityScale(0.0f);
        object->AddComponent(body);
        BoxCollider collider;
        object->AddComponent(collider);
        return *object;
    };
    struct Pair
    {
        GameObject* platform;
        GameObject* rider;
    };
    std::vector<Pair> pairs;
    for (float x : {0.0f, 3000.0f})
    {
        GameObject& platform = box({x, 0.0f, 1.0f}, {200.0f, 20.0f, 1.0f}, kStaticSubstance);
        Body(platform).SetVelocity({180.0f, -60.0f, 0.0f});
        pairs.push_back({&platform, &box({x, 15.0f, 1.0f}, {20.0f, 20.0f, 1.0f}, kWood)});
    }
    Add<DraggingCollisionScript>(*pairs[0].platform, ScriptTypeId::kDraggingCollisionScript);
    std::vector<Vector3> moved;
    for (const Pair& pair : pairs)
        moved.push_back(At(*pair.rider));
    const Vector3 platformBefore = At(*pairs[0].platform);
    PhysicsUpdate(kStep);
    EXPECT_NEAR(At(*pairs[0].platform).x - platformBefore.x, 3.0f, 1e-4f);
    EXPECT_NEAR(At(*pairs[0].platform).y - platformBefore.y, -1.0f, 1e-4f);
    for (std::size_t i = 0; i < pairs.size(); ++i)
        moved[i] = At(*pairs[i].rider) - moved[i];
    EXPECT_NEAR(moved[0].x - moved[1].x, 3.0f, 1e-4f);
    EXPECT_NEAR(moved[0].y - moved[1].y, -1.0f, 1e-4f);
    EXPECT_EQ(At(*pairs[0].rider).z, 1.0f);

    GameObject& platform = *pairs[0].platform;
    GameObject& rider = *pairs[0].rider;
    Body(platform).SetStatic(true);
    Body(rider).SetVelocity({0.0f, 0.0f, 0.0f});
    const Vector3 platformStanding = At(platform);
    PhysicsUpdate(kStep);
    const Vector3 riderResting = At(rider);
    PhysicsUpdate(kStep);
    EXPECT_EQ(At(rider).x, riderResting.x);
    EXPECT_EQ(At(platform).x, platformStanding.x) << "a static-flagged body never moves";
    QuadTree::Reset();
}
} // namespace
