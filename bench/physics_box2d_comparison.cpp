// The physics step beside Box2D's on one scene: a walled square arena, 12% covered by boxes and circles of
// 1 to 3 m at seeded positions and velocities, gravity 10 m/s², 1/60 s steps, no sleeping. Box2D works in
// metres; the project works in units, 10 to the metre. Each iteration steps both engines once; after the
// 300 iterations (5 simulated seconds) each engine's bodies still inside the arena are counted twice: inside
// the walls' outer faces (the body has not gone through a wall) and inside their inner faces (its centre
// has not sunk into a wall either).
#include "BoxCollider.h"
#include "CircleCollider.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "PhysicsPrototypes.h"
#include "Prototypes.h"
#include "QuadTree.h"
#include "RigidBody.h"
#include "SystemManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace
{
constexpr float kUnitsPerMetre = 10.0f;
constexpr float kStep = 1.0f / 60.0f;
constexpr float kGravity = 10.0f;
constexpr float kCoverage = 0.12f;
constexpr float kWallThickness = 5.0f;
constexpr float kMaxSpeed = 5.0f;
constexpr int kSteps = 300;
constexpr std::int32_t kWood = 1;
constexpr std::int32_t kStatic = 7;
constexpr float kWoodRestitution = 0.2f;

// One body of the scene, in metres and degrees.
struct BodyPlan
{
    bool round = false;
    float size = 1.0f; // a box's side or a circle's diameter
    float x = 0.0f;
    float y = 0.0f;
    float degrees = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
};

// The whole scene: the arena's inner half-side and the bodies.
struct SceneSpec
{
    float halfSide = 0.0f;
    std::vector<BodyPlan> bodies;
};

// How many bodies are where, after the run.
struct BodyCount
{
    int insideWalls = 0;  // centre inside the walls' outer faces
    int clearOfWalls = 0; // centre inside their inner faces

    void Add(const SceneSpec& scene, float x, float y)
    {
        const float reach = std::max(std::fabs(x), std::fabs(y));
        if (!std::isfinite(reach))
            return;
        insideWalls += reach < scene.halfSide + kWallThickness ? 1 : 0;
        clearOfWalls += reach < scene.halfSide ? 1 : 0;
    }
};

float Unit(std::mt19937& random)
{
    return static_cast<float>(random() >> 8) * (1.0f / 16777216.0f);
}

SceneSpec MakeScene(int count, std::uint32_t seed = 20261209u)
{
    std::mt19937 random(seed);
    SceneSpec scene;
    float area = 0.0f;
    for (int i = 0; i < count; ++i)
    {
        BodyPlan body;
        body.round = i % 2 == 1;
        body.size = 1.0f + 2.0f * Unit(random);
        body.degrees = body.round ? 0.0f : Unit(random) * 360.0f;
        const float heading = Unit(random) * 6.2831853f;
        const float speed = Unit(random) * kMaxSpeed;
        body.vx = speed * std::cos(heading);
        body.vy = speed * std::sin(heading);
        area += body.round ? 0.7853982f * body.size * body.size : body.size * body.size;
        scene.bodies.push_back(body);
    }
    scene.halfSide = std::sqrt(area / kCoverage) / 2.0f;
    // Each body in its own cell of a grid over the arena, at a seeded spot inside it: the bodies start
    // apart, so neither engine begins by pushing overlaps out.
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(count))));
    const float cell = 2.0f * scene.halfSide / static_cast<float>(perRow);
    std::vector<int> cells(static_cast<std::size_t>(perRow * perRow));
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] = static_cast<int>(i);
    for (std::size_t i = cells.size() - 1; i > 0; --i)
        std::swap(cells[i], cells[random() % (i + 1)]);
    for (std::size_t i = 0; i < scene.bodies.size(); ++i)
    {
        BodyPlan& body = scene.bodies[i];
        // The largest reach of a box at any angle, so that a turned box stays in its cell.
        const float reach = body.size * 0.7071068f;
        const float room = std::max(0.0f, cell / 2.0f - reach);
        const float centreX = -scene.halfSide + (static_cast<float>(cells[i] % perRow) + 0.5f) * cell;
        const float centreY = -scene.halfSide + (static_cast<float>(cells[i] / perRow) + 0.5f) * cell;
        body.x = centreX + (Unit(random) * 2.0f - 1.0f) * room;
        body.y = centreY + (Unit(random) * 2.0f - 1.0f) * room;
    }
    return scene;
}

// The four walls as (centre x, centre y, width, height) in metres.
std::vector<std::array<float, 4>> Walls(const SceneSpec& scene)
{
    const float h = scene.halfSide;
    const float t = kWallThickness;
    const float full = 2.0f * (h + t);
    return {{0.0f, -h - t / 2.0f, full, t},
            {0.0f, h + t / 2.0f, full, t},
            {-h - t / 2.0f, 0.0f, t, full},
            {h + t / 2.0f, 0.0f, t, full}};
}

class ProjectWorld
{
  public:
    explicit ProjectWorld(const SceneSpec& scene)
    {
        EventManager::Reset();
        FrameRateManager::Reset();
        ResetPrototypes();
        QuadTree::Reset();
        factory = std::make_unique<GameObjectFactory>();
        factory->Init();
        RegisterPhysics();

        for (const auto& wall : Walls(scene))
        {
            GameObject* object = Place(wall[0], wall[1], wall[2], wall[3], 0.0f);
            BoxCollider box(object->id);
            object->AddComponent(box);
            RigidBody body(object->id, kStatic);
            body.SetStatic(true);
            object->AddComponent(body);
        }
        for (const BodyPlan& plan : scene.bodies)
        {
            GameObject* object = Place(plan.x, plan.y, plan.size, plan.size, plan.degrees);
            if (plan.round)
            {
                CircleCollider circle(object->id);
                circle.SetRadius(0.5f);
                object->AddComponent(circle);
            }
            else
            {
                BoxCollider box(object->id);
                object->AddComponent(box);
            }
            RigidBody body(object->id, kWood);
            // Gravity is a velocity change per step here.
            body.SetGravityScale(-kGravity * kUnitsPerMetre * kStep);
            body.SetVelocity({plan.vx * kUnitsPerMetre, plan.vy * kUnitsPerMetre, 0.0f});
            object->AddComponent(body);
            bodyIds.push_back(object->id);
        }
    }

    ~ProjectWorld()
    {
        factory->Exit();
        factory.reset();
        QuadTree::Reset();
        EventManager::Reset();
    }

    void Step() { PhysicsUpdate(kStep); }

    BodyCount Count(const SceneSpec& scene) const
    {
        BodyCount count;
        for (std::uint32_t id : bodyIds)
        {
            const GameObject* object = factory->GetObject(id);
            const auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
            const Vector3& p = transform->GetTranslation();
            count.Add(scene, p.x / kUnitsPerMetre, p.y / kUnitsPerMetre);
        }
        return count;
    }

  private:
    GameObject* Place(float x, float y, float width, float height, float degrees)
    {
        GameObject* object = factory->CreateObject();
        auto* transform = object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
        transform->SetTranslation({x * kUnitsPerMetre, y * kUnitsPerMetre, 1.0f});
        transform->SetScale({width * kUnitsPerMetre, height * kUnitsPerMetre, 0.0f});
        transform->SetRotation(degrees);
        return object;
    }

    std::unique_ptr<GameObjectFactory> factory;
    std::vector<std::uint32_t> bodyIds;
};

class Box2DWorld
{
  public:
    explicit Box2DWorld(const SceneSpec& scene) : world(b2Vec2(0.0f, -kGravity))
    {
        world.SetAllowSleeping(false);
        for (const auto& wall : Walls(scene))
        {
            b2BodyDef def;
            def.position.Set(wall[0], wall[1]);
            b2Body* body = world.CreateBody(&def);
            b2PolygonShape box;
            box.SetAsBox(wall[2] / 2.0f, wall[3] / 2.0f);
            body->CreateFixture(&box, 0.0f);
        }
        for (const BodyPlan& plan : scene.bodies)
        {
            b2BodyDef def;
            def.type = b2_dynamicBody;
            def.position.Set(plan.x, plan.y);
            def.angle = plan.degrees * b2_pi / 180.0f;
            def.linearVelocity.Set(plan.vx, plan.vy);
            b2Body* body = world.CreateBody(&def);
            b2FixtureDef fixture;
            b2CircleShape circle;
            b2PolygonShape box;
            if (plan.round)
            {
                circle.m_radius = plan.size / 2.0f;
                fixture.shape = &circle;
            }
            else
            {
                box.SetAsBox(plan.size / 2.0f, plan.size / 2.0f);
                fixture.shape = &box;
            }
            fixture.density = 1.0f;
            fixture.friction = 0.0f;
            fixture.restitution = kWoodRestitution;
            body->CreateFixture(&fixture);
            bodies.push_back(body);
        }
    }

    void Step() { world.Step(kStep, 8, 3); }

    BodyCount Count(const SceneSpec& scene) const
    {
        BodyCount count;
        for (const b2Body* body : bodies)
            count.Add(scene, body->GetPosition().x, body->GetPosition().y);
        return count;
    }

  private:
    b2World world;
    std::vector<b2Body*> bodies;
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

// Times both engines' steps separately; the iteration time Google Benchmark reports is their sum.
static void BM_PhysicsVersusBox2D(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const SceneSpec scene = MakeScene(count);
    ProjectWorld project(scene);
    Box2DWorld reference(scene);
    double projectSeconds = 0.0;
    double box2dSeconds = 0.0;
    for (auto _ : state)
    {
        auto start = std::chrono::steady_clock::now();
        project.Step();
        const double projectStep = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        reference.Step();
        const double box2dStep = SecondsSince(start);
        projectSeconds += projectStep;
        box2dSeconds += box2dStep;
        state.SetIterationTime(projectStep + box2dStep);
    }
    const double steps = static_cast<double>(state.iterations());
    state.counters["bodies"] = count;
    state.counters["project_us"] = projectSeconds / steps * 1e6;
    state.counters["box2d_us"] = box2dSeconds / steps * 1e6;
    state.counters["ratio"] = projectSeconds / box2dSeconds;
    state.counters["project_ns_per_body"] = projectSeconds / steps / count * 1e9;
    state.counters["box2d_ns_per_body"] = box2dSeconds / steps / count * 1e9;
    const BodyCount projectCount = project.Count(scene);
    const BodyCount box2dCount = reference.Count(scene);
    state.counters["inside_project"] = projectCount.insideWalls;
    state.counters["inside_box2d"] = box2dCount.insideWalls;
    state.counters["clear_project"] = projectCount.clearOfWalls;
    state.counters["clear_box2d"] = box2dCount.clearOfWalls;
}
BENCHMARK(BM_PhysicsVersusBox2D)
    ->Arg(16)
    ->Arg(256)
    ->Arg(1024)
    ->Arg(4096)
    ->Iterations(kSteps)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
