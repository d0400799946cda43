#include "LevelTestWorld.h"

#include "EnginePrototypes.h"
#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelFile.h"
#include "LevelHooks.h"
#include "LevelIArchive.h"
#include "LevelRecords.h"
#include "MetaHooks.h"
#include "Prototypes.h"
#include "Registries.h"
#include "SystemManager.h"
#include "Transform.h"

#include <iostream>
#include <sstream>
#include <stdexcept>

namespace
{
template <typename T, typename V> auto Get(V T::*field)
{
    return [field](const T& object) { return object.*field; };
}
template <typename T, typename V> auto Set(V T::*field)
{
    return [field](T& object, const V& value) { object.*field = value; };
}

constexpr FieldOptions From(std::uint32_t first)
{
    return FieldOptions{.firstVersion = first};
}
} // namespace

SampleComponent::SampleComponent() : Component(kClassName, kTypeId)
{
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> SampleComponent::Clone() const
{
    return std::make_unique<SampleComponent>(*this);
}

std::unique_ptr<Component> SampleComponent::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    return Clone();
}

void SampleComponent::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

const DescriptorList<SampleComponent>& SampleComponent::Descriptors()
{
    using S = SampleComponent;
    static const DescriptorList<S> descriptors = []
    {
        DescriptorList<S> list;
        list.push_back(std::make_unique<Metabool<S>>("Enabled", From(1), Get(&S::enabled), Set(&S::enabled)));
        list.push_back(std::make_unique<Metaint<S>>("Count", From(1), Get(&S::count), Set(&S::count)));
        list.push_back(std::make_unique<Metafloat<S>>("Speed", From(1), Get(&S::speed), Set(&S::speed)));
        list.push_back(std::make_unique<MetaColor<S>>("Tint", From(1), Get(&S::tint), Set(&S::tint)));
        list.push_back(
            std::make_unique<MetaTexture<S>>("Texture", From(1), Get(&S::texture), Set(&S::texture)));
        list.push_back(std::make_unique<Metaint<S>>("Retired", FieldOptions{.firstVersion = 1, .lastVersion = 1},
                                                    Get(&S::retired), Set(&S::retired)));
        list.push_back(std::make_unique<Metaint<S>>("Unsaved", FieldOptions{.firstVersion = 1, .save = false},
                                                    Get(&S::unsaved), Set(&S::unsaved)));
        list.push_back(std::make_unique<Metaunsigned<S>>("Mask", From(2), Get(&S::mask), Set(&S::mask)));
        list.push_back(std::make_unique<MetaText<S>>("Label", From(2), Get(&S::label), Set(&S::label)));
        list.push_back(std::make_unique<MetaVector2<S>>("Offset", From(3), Get(&S::offset), Set(&S::offset)));
        list.push_back(std::make_unique<MetaVector3<S>>("Anchor", From(4), Get(&S::anchor), Set(&S::anchor)));
        list.push_back(
            std::make_unique<MetaCCSM<S>>("Behavior", From(1), Get(&S::behavior), Set(&S::behavior)));
        return list;
    }();
    return descriptors;
}

TestBox::TestBox()
{
    RegisterComponentPrototype(ClassKey(), *this);
}

std::unique_ptr<Component> TestBox::Load(LevelIArchive& archive)
{
    ReadField(archive, "Width", width);
    return Clone();
}

void TestBox::Save(LevelOArchive& archive) const
{
    WriteField(archive, kSelector, std::string(ClassKey()));
    WriteField(archive, "Width", width);
}

TestCircle::TestCircle()
{
    RegisterComponentPrototype(ClassKey(), *this);
}

std::unique_ptr<Component> TestCircle::Load(LevelIArchive& archive)
{
    ReadField(archive, "Radius", radius);
    return Clone();
}

void TestCircle::Save(LevelOArchive& archive) const
{
    WriteField(archive, kSelector, std::string(ClassKey()));
    WriteField(archive, "Radius", radius);
}

MassComponent::MassComponent() : Component("MassComponent", kTypeId)
{
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> MassComponent::Load(LevelIArchive& archive)
{
    ReadField(archive, "Mass", mass);
    return Clone();
}

void MassComponent::Save(LevelOArchive& archive) const
{
    WriteField(archive, "Mass", mass);
}

TestMachine::TestMachine() : Component("TestMachine", kTypeId)
{
    RegisterComponentPrototype(*this);
}

ThrowingComponent::ThrowingComponent() : Component("ThrowingComponent", kTypeId)
{
    RegisterComponentPrototype(*this);
}

void ThrowingComponent::Save(LevelOArchive& archive) const
{
    WriteField(archive, "Before", 1.0f);
    throw std::runtime_error("save failed midway");
}

SampleScript::SampleScript() : Script(kClassName, kTypeId)
{
    // Attaching keeps a script's version, so the class starts at its own.
    SetDataVersion(kClassVersion);
    RegisterScriptPrototype(*this);
}

SampleScript::SampleScript(const SampleScript& other)
    : Script(other), power(other.power), title(other.title), notified(0)
{
}

std::unique_ptr<Script> SampleScript::Clone() const
{
    auto copy = std::make_unique<SampleScript>(*this);
    copy->Subscribe(kCloneEventType);
    return copy;
}

std::unique_ptr<Script> SampleScript::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    return Clone();
}

void SampleScript::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void SampleScript::OnNotify(Event*)
{
    ++notified;
}

const DescriptorList<SampleScript>& SampleScript::Descriptors()
{
    using S = SampleScript;
    static const DescriptorList<S> descriptors = []
    {
        DescriptorList<S> list;
        list.push_back(std::make_unique<Metafloat<S>>("Power", From(1), Get(&S::power), Set(&S::power)));
        list.push_back(std::make_unique<MetaText<S>>("Title", From(2), Get(&S::title), Set(&S::title)));
        return list;
    }();
    return descriptors;
}

OtherScript::OtherScript() : Script("OtherScript", kTypeId)
{
    RegisterScriptPrototype(*this);
}

void RegisterLevelTestClasses()
{
    RegisterEnginePrototypes();
    SampleComponent sample;
    TestBox box;
    TestCircle circle;
    MassComponent body;
    TestMachine machine;
    ThrowingComponent throwing;
    SampleScript script;
    OtherScript other;
    RegisterComponentFamily(TestShape::kFamilyName, TestShape::kSelector);
}

void InstallLevelHookDoubles(LevelHookDoubles& doubles)
{
    LevelHooks& hooks = GetLevelHooks();
    hooks.closeAllMenus = [&doubles]
    {
        ++doubles.closeAllMenusCalls;
        doubles.pausedAtCloseAllMenus = FrameRateManager::IsPaused();
    };
    hooks.runMenuBuilders = [&doubles] { ++doubles.menuBuilderCalls; };
    hooks.soundObserver = &doubles.sound;
    hooks.getTables = [&doubles] { return doubles.tables; };
    hooks.checkTables = [](const BehaviorTablesData& tables) -> std::string
    {
        for (const CommandContextData& context : tables.contexts)
        {
            if (context.allowedCommandIds.size() > 64)
                return "context " + context.name + " allows too many commands";
        }
        return "";
    };
    hooks.replaceTables = [&doubles](const BehaviorTablesData& tables)
    {
        for (const BehaviorSetData& set : tables.sets)
        {
            for (const BehaviorData& behavior : set.entries)
            {
                if (behavior.stateId > 30)
                    std::cout << "WARNING: no state " << behavior.stateId << "\n";
            }
        }
        doubles.tables = tables;
        ++doubles.replaceTablesCalls;
    };
    hooks.saveBackground = [&doubles](LevelOArchive& archive)
    {
        WriteField(archive, "Version_Number", std::uint32_t{1});
        WriteField(archive, "Texture_Name", doubles.background);
    };
    hooks.stageBackground = [&doubles](LevelIArchive& archive, bool versioned) -> std::function<void()>
    {
        std::string texture;
        if (versioned)
        {
            std::uint32_t version = 0;
            ReadField(archive, "Version_Number", version);
            ReadField(archive, "Texture_Name", texture);
        }
        else
        {
            ReadField(archive, "BackGround", texture);
        }
        return [&doubles, texture]
        {
            doubles.background = texture;
            doubles.backgroundVersion = 1;
        };
    };
}

void ResetLevelWorld()
{
    ClearComponentRegistry(true);
    ClearScriptRegistry(true);
    ResetPrototypes();
    SystemManager::DestroyAll();
    EventManager::Reset();
    MetaHooks::Reset();
    ResetLevelHooks();
    ResetComponentFamilies();
    SetLevelModuleNames({});
    FrameRateManager::Reset();
    RegisterLevelTestClasses();
}

std::string SaveToString()
{
    std::ostringstream out;
    SaveLevelTo(out);
    return out.str();
}

WorldFingerprint TakeFingerprint()
{
    WorldFingerprint print;
    print.level = SaveToString();
    for (const auto& system : SystemManager::Systems())
        print.systems.push_back(system->ObjectIds());
    std::set<Observer*> everyone;
    for (std::int32_t type = 0; type <= kLastEventType; ++type)
    {
        print.observers.push_back(EventManager::ObserversOf(type));
        everyone.insert(print.observers.back().begin(), print.observers.back().end());
    }
    for (Observer* observer : everyone)
        print.ownSets.push_back(observer->SubscribedTypes());
    return print;
}

namespace
{
// An object from CreateObject, given its tag, flags and name.
GameObject* MakeObject(GameObjectFactory& factory, Tag tag, std::uint32_t flags, const std::string& name)
{
    GameObject* object = factory.CreateObject();
    object->tag = tag;
    object->flags |= flags;
    object->name = name;
    return object;
}

Transform* TransformOf(const GameObject* object)
{
    return object->GetComponentAs<Transform>(Transform::kTypeId);
}
} // namespace

void BuildSampleWorld(GameObjectFactory& factory, LevelHookDoubles& doubles)
{
    SetLevelModuleNames({"Mod_A", "Mod_B"});

    // 1: a player with every field kind, a body and a listening script; 2 is its child.
    GameObject* player = MakeObject(factory, 2, 2, "Player One");
    TransformOf(player)->SetTranslation({1.25f, -3.5f, 1.0f});
    TransformOf(player)->SetRotation(33.3f);
    SampleComponent sample;
    sample.enabled = true;
    sample.count = -42;
    sample.speed = 0.1f;
    sample.tint = {0.2f, 0.4f, 0.6f, 0.8f};
    sample.texture = "Player<&>\"Tex\"";
    sample.mask = 4000000000u;
    sample.label = "a label with spaces";
    sample.offset = {1e-7f, 3e7f};
    sample.anchor = {-0.0f, 1.0f / 3.0f, 2.0f};
    player->AddComponent(sample);
    MassComponent body;
    body.mass = 80.5f;
    player->AddComponent(body);
    SampleScript script;
    script.power = 9.75f;
    script.title = "hero";
    player->AddScript(script);
    SampleScript* attached = player->GetScriptAs<SampleScript>(SampleScript::kTypeId);
    // Exactly the listed types, not the one its clone picked up.
    SubscribeExactly(*attached, {3, 12});

    GameObject* child = MakeObject(factory, 1, 4, "Platform");
    player->family.push_back(child->id);
    child->family[0] = player->id;
    TestBox box;
    box.width = 6.5f;
    child->AddComponent(box);
    OtherScript other;
    child->AddScript(other);

    GameObject* ball = MakeObject(factory, 3, 16, "Ball");
    TestCircle circle;
    circle.radius = 0.75f;
    ball->AddComponent(circle);

    MakeObject(factory, 0, 0, "Transform only");
    GameObject* freed = MakeObject(factory, 0, 0, "Freed");
    GameObject* doomed = MakeObject(factory, 5, 0, "Doomed");
    doomed->AddComponent(sample);
    factory.QueueDestroy(freed->id);
    factory.DestroyQueuedObjects();
    factory.QueueDestroy(doomed->id);

    // A prefab with a moved transform, a multi-version component and a script in the script table.
    Transform prefabTransform(4.0f, 5.0f, 1.0f);
    prefabTransform.SetScale({2.0f, 3.0f, 0.0f});
    SampleComponent prefabSample;
    prefabSample.label = "button";
    SampleScript prefabScript;
    prefabScript.title = "prefab script";
    factory.RegisterPrefab("Button", std::make_unique<GameObject>("Button"),
                           {&prefabTransform, &prefabSample}, {&prefabScript});

    for (auto& [typeId, prefabScript] : ScriptPreFabs().at(0).scripts)
        SubscribeExactly(*prefabScript, {});

    doubles.tables.contexts = {{"Move", {1, 2, 3}}, {"Idle", {}}};
    doubles.tables.sets = {{"Player Behavior", 1, {{1, "Move"}, {0, ""}, {2, "Idle"}}}};
    doubles.sound.Subscribe(12);
    doubles.sound.Subscribe(20);
    doubles.background = "Stars";
}
