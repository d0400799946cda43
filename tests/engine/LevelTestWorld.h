#pragma once
// Component and script classes, hook doubles and a world reset for the level and module tests and the
// fuzz targets. The classes cover every field kind, versions 0 to 4 and a component family.
#include "BehaviorTablesData.h"
#include "Component.h"
#include "Metadata.h"
#include "Observer.h"
#include "Script.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

class GameObjectFactory;
class Event;

// Every field kind, added over versions 1 to 4, plus an unsaved and a retired field.
class SampleComponent : public Component
{
  public:
    static constexpr const char* kClassName = "SampleComponent";
    static constexpr std::uint32_t kTypeId = 3;
    static constexpr std::uint32_t kClassVersion = 4;

    SampleComponent();
    SampleComponent(const SampleComponent&) = default;
    std::unique_ptr<Component> Clone() const override;
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    std::uint32_t GetVersion() const override { return kClassVersion; }
    static const DescriptorList<SampleComponent>& Descriptors();

    bool enabled = false;         // from version 1
    std::int32_t count = 7;       // from version 1
    float speed = 1.5f;           // from version 1
    Vector4 tint{1, 1, 1, 1};     // from version 1
    std::string texture = "None"; // from version 1
    std::uint32_t mask = 3;       // from version 2
    std::string label = "label";  // from version 2
    Vector2 offset{0, 0};         // from version 3
    Vector3 anchor{0, 0, 0};      // from version 4
    std::int32_t retired = 0;     // version 1 only
    std::int32_t unsaved = 11;    // never saved
    std::string behavior;         // saved by nobody
};

// A family: both classes are named "TestShape" and their records name the class in "TestShape_Type".
class TestShape : public Component
{
  public:
    static constexpr const char* kFamilyName = "TestShape";
    static constexpr const char* kSelector = "TestShape_Type";
    static constexpr std::uint32_t kTypeId = 2;

    std::uint32_t GetVersion() const override { return 1; }
    virtual const char* ClassKey() const = 0;

  protected:
    TestShape() : Component(kFamilyName, kTypeId) {}
    TestShape(const TestShape&) = default;
};

class TestBox : public TestShape
{
  public:
    TestBox();
    TestBox(const TestBox&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<TestBox>(*this); }
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    const char* ClassKey() const override { return "TestBox"; }

    float width = 1.0f;
};

class TestCircle : public TestShape
{
  public:
    TestCircle();
    TestCircle(const TestCircle&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<TestCircle>(*this); }
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    const char* ClassKey() const override { return "TestCircle"; }

    float radius = 0.5f;
};

// Sits in the motion system's slot together with a Transform.
class MassComponent : public Component
{
  public:
    static constexpr std::uint32_t kTypeId = 7;
    MassComponent();
    MassComponent(const MassComponent&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<MassComponent>(*this); }
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    std::uint32_t GetVersion() const override { return 1; }

    float mass = 1.0f;
};

// A field-less component alone in the behaviour-machine system's slot.
class TestMachine : public Component
{
  public:
    static constexpr std::uint32_t kTypeId = 1;
    TestMachine();
    TestMachine(const TestMachine&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<TestMachine>(*this); }
};

// Its Save writes one field and then throws.
class ThrowingComponent : public Component
{
  public:
    static constexpr std::uint32_t kTypeId = 8;
    ThrowingComponent();
    ThrowingComponent(const ThrowingComponent&) = default;
    std::unique_ptr<Component> Clone() const override { return std::make_unique<ThrowingComponent>(*this); }
    void Save(LevelOArchive& archive) const override;
};

// A script with fields; its clones subscribe themselves to kCloneEventType, as listening scripts do.
class SampleScript : public Script
{
  public:
    static constexpr const char* kClassName = "SampleScript";
    static constexpr std::uint32_t kTypeId = 12;
    static constexpr std::uint32_t kClassVersion = 2;
    static constexpr std::int32_t kCloneEventType = 5;

    SampleScript();
    SampleScript(const SampleScript& other);
    std::unique_ptr<Script> Clone() const override;
    std::unique_ptr<Script> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    void OnNotify(Event* event) override;
    std::uint32_t GetVersion() const override { return kClassVersion; }
    static const DescriptorList<SampleScript>& Descriptors();

    float power = 2.0f;           // from version 1
    std::string title = "script"; // from version 2
    int notified = 0;
};

// A script without fields.
class OtherScript : public Script
{
  public:
    static constexpr std::uint32_t kTypeId = 14;
    OtherScript();
    OtherScript(const OtherScript&) = default;
    std::unique_ptr<Script> Clone() const override { return std::make_unique<OtherScript>(*this); }
};

// Hook doubles.
struct SoundDouble : Observer
{
    void OnNotify(Event*) override { ++notified; }
    int notified = 0;
};

struct LevelHookDoubles
{
    SoundDouble sound;
    BehaviorTablesData tables; // what getTables returns and replaceTables stores
    int closeAllMenusCalls = 0;
    int menuBuilderCalls = 0;
    int replaceTablesCalls = 0;
    bool pausedAtCloseAllMenus = false;
    std::string background;              // the installed background texture
    std::uint32_t backgroundVersion = 0; // the installed background version
};

// Registers the engine's and the test classes' prototypes and the "TestShape" family.
void RegisterLevelTestClasses();
// Fills every level hook with the doubles.
void InstallLevelHookDoubles(LevelHookDoubles& doubles);
// Clean global state: registries, prefab tables, prototypes, systems, events, hooks, families, module
// names and the pause flag; then the test classes again.
void ResetLevelWorld();

// Everything a failed load must leave alone: the writer's output, the system sets, the subscriptions
// (observers of each event type and each observer's own set).
struct WorldFingerprint
{
    std::string level;
    std::vector<std::set<std::uint32_t>> systems;
    std::vector<std::set<Observer*>> observers;
    std::vector<std::set<std::int32_t>> ownSets;
    bool operator==(const WorldFingerprint&) const = default;
};
WorldFingerprint TakeFingerprint();
// The writer's output for the running world.
std::string SaveToString();

// A small world using every feature of the file: families, flags 2, 4 and 16, tags, free ids, a destroy
// list, prefabs, versioned components, scripts with fields and lists, a script prefab, tables, sounds.
void BuildSampleWorld(GameObjectFactory& factory, LevelHookDoubles& doubles);
