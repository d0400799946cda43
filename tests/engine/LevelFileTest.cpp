#include "LevelTestFixture.h"

#include "Event.h"
#include "EventManager.h"
#include "FrameRateManager.h"
#include "GameObject.h"
#include "LevelArchive.h"
#include "LevelHooks.h"
#include "Prototypes.h"
#include "Registries.h"
#include "SystemManager.h"
#include "Transform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{
template <typename T> T* Get(std::uint32_t objectId, std::uint32_t typeId)
{
    return dynamic_cast<T*>(FindComponent(objectId, typeId));
}

template <typename T> T* GetScriptOf(std::uint32_t objectId, std::uint32_t typeId)
{
    return dynamic_cast<T*>(FindScript(objectId, typeId));
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Saves the sample world, restarts with an empty world and loads it back.
class LevelRoundTripTest : public LevelFileTest
{
  protected:
    void SetUp() override
    {
        LevelFileTest::SetUp();
        UseHooks();
        BuildSampleWorld(*factory, *doubles);
        saved = SaveToString();
        nextIdBefore = factory->FreeIds().empty() ? factory->GetLastId() + 1 : factory->FreeIds().back();
        RestartWorld();
        LoadFromString(saved);
    }

    std::string saved;
    std::uint32_t nextIdBefore = 0;
};
} // namespace

TEST_F(LevelRoundTripTest, EveryFieldComesBackBitExact)
{
    const GameObject* player = factory->GetObject(1);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->name, "Player One");
    EXPECT_EQ(player->tag, 2u);
    EXPECT_EQ(player->flags & 2u, 2u);
    EXPECT_EQ(player->family, (std::vector<std::uint32_t>{0, 2}));
    EXPECT_EQ(factory->GetObject(2)->family, (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(factory->GetObject(2)->flags, 4u);
    EXPECT_EQ(factory->GetObject(3)->flags, 16u);

    const auto* sample = Get<SampleComponent>(1, SampleComponent::kTypeId);
    ASSERT_NE(sample, nullptr);
    EXPECT_TRUE(sample->enabled);
    EXPECT_EQ(sample->count, -42);
    EXPECT_TRUE(SameBits(sample->speed, 0.1f));
    EXPECT_TRUE(SameBits(sample->tint.z, 0.6f));
    EXPECT_EQ(sample->texture, "Player<&>\"Tex\"");
    EXPECT_EQ(sample->mask, 4000000000u);
    EXPECT_EQ(sample->label, "a label with spaces");
    EXPECT_TRUE(SameBits(sample->offset.x, 1e-7f));
    EXPECT_TRUE(SameBits(sample->anchor.x, -0.0f));
    EXPECT_TRUE(SameBits(sample->anchor.y, 1.0f / 3.0f));
    EXPECT_EQ(sample->GetDataVersion(), SampleComponent::kClassVersion);
    EXPECT_EQ(sample->GetOwner(), 1u);

    const auto* transform = Get<Transform>(1, Transform::kTypeId);
    EXPECT_TRUE(SameBits(transform->GetRotation(), 33.3f));
    EXPECT_TRUE(SameBits(transform->GetTranslation().y, -3.5f));
    EXPECT_FLOAT_EQ(Get<MassComponent>(1, MassComponent::kTypeId)->mass, 80.5f);
    EXPECT_FLOAT_EQ(Get<TestBox>(2, TestShape::kTypeId)->width, 6.5f);
    EXPECT_FLOAT_EQ(Get<TestCircle>(3, TestShape::kTypeId)->radius, 0.75f);

    const auto* script = GetScriptOf<SampleScript>(1, SampleScript::kTypeId);
    ASSERT_NE(script, nullptr);
    EXPECT_FLOAT_EQ(script->power, 9.75f);
    EXPECT_EQ(script->title, "hero");
    EXPECT_EQ(script->GetOwner(), 1u);

    EXPECT_EQ(GetLevelModuleNames(), (std::vector<std::string>{"Mod_A", "Mod_B"}));
    EXPECT_EQ(doubles->background, "Stars");
    EXPECT_EQ(doubles->menuBuilderCalls, 1);
    // The (0, "") behaviour is not written.
    ASSERT_EQ(doubles->tables.sets.size(), 1u);
    EXPECT_EQ(doubles->tables.sets[0].entries, (std::vector<BehaviorData>{{1, "Move"}, {2, "Idle"}}));
    EXPECT_EQ(doubles->tables.contexts[0].allowedCommandIds, (std::vector<std::uint32_t>{1, 2, 3}));
}

TEST_F(LevelRoundTripTest, PrefabsKeepTheirTransformAndComponentFields)
{
    const Prefab* prefab = factory->FindPrefab("Button");
    ASSERT_NE(prefab, nullptr);
    EXPECT_TRUE(prefab->prototype->HasFlag(kFlagPrefabPrototype));
    GameObject* button = factory->CreateFromPrefab("Button");
    ASSERT_NE(button, nullptr);
    const auto* transform = Get<Transform>(button->id, Transform::kTypeId);
    EXPECT_FLOAT_EQ(transform->GetScale().x, 2.0f);
    EXPECT_FLOAT_EQ(transform->GetTranslation().y, 5.0f);
    EXPECT_EQ(Get<SampleComponent>(button->id, SampleComponent::kTypeId)->label, "button");
    EXPECT_EQ(GetScriptOf<SampleScript>(button->id, SampleScript::kTypeId)->title, "prefab script");
}

TEST_F(LevelRoundTripTest, IdsFreeStackAndDestroyListSurvive)
{
    const std::uint32_t nextId =
        factory->FreeIds().empty() ? factory->GetLastId() + 1 : factory->FreeIds().back();
    EXPECT_EQ(nextId, nextIdBefore);
    EXPECT_EQ(factory->FreeIds(), (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(factory->DestroyList(), (std::vector<std::uint32_t>{6}));
    EXPECT_EQ(factory->CreateObject()->id, 5u);
    EXPECT_EQ(factory->CreateObject()->id, 7u);
}

TEST_F(LevelRoundTripTest, TransformOnlyObjectsAreGoneAndTheirIdsUnused)
{
    EXPECT_EQ(factory->GetObject(4), nullptr);
    EXPECT_EQ(ComponentRegistry().count(4), 0u);
    factory->CreateObject();
    EXPECT_NE(factory->CreateObject()->id, 4u);
}

TEST_F(LevelRoundTripTest, OnlyLoadedScriptsAndTheSoundObserverAreSubscribed)
{
    Observer* script = FindScript(1, SampleScript::kTypeId);
    for (std::int32_t type = 0; type <= kLastEventType; ++type)
    {
        std::set<Observer*> expected;
        if (type == 3 || type == 12)
            expected.insert(script);
        if (type == 12 || type == 20)
            expected.insert(&doubles->sound);
        EXPECT_EQ(EventManager::ObserversOf(type), expected) << "event type " << type;
    }
    EXPECT_EQ(script->SubscribedTypes(), (std::set<std::int32_t>{3, 12}));
    EXPECT_EQ(doubles->sound.SubscribedTypes(), (std::set<std::int32_t>{12, 20}));
    EXPECT_TRUE(FindScript(2, OtherScript::kTypeId)->SubscribedTypes().empty());
    EXPECT_TRUE(ScriptPreFabs().at(0).scripts.at(SampleScript::kTypeId)->SubscribedTypes().empty());
}

TEST_F(LevelRoundTripTest, ObjectsMeetTheirSystems)
{
    EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds(), (std::set<std::uint32_t>{1}));
    EXPECT_EQ(SystemManager::GetSystem(kCollisionCheckerSlot)->ObjectIds(), (std::set<std::uint32_t>{2, 3}));
}

TEST_F(LevelRoundTripTest, SavingTheLoadedWorldIsAFixedPoint)
{
    const std::string second = SaveToString();
    RestartWorld();
    LoadFromString(second);
    EXPECT_EQ(SaveToString(), second);
}

// Many objects (more than the commit fetches ahead), committed over a world that already has objects,
// components and listening scripts: the old world is gone entirely, and the new one has exactly the
// file's components, scripts, subscriptions and system memberships, in ascending id order.
TEST_F(LevelFileTest, ALargeLevelCommittedOverALiveWorldIsExactlyTheFilesWorld)
{
    UseHooks();
    const auto build = [this](std::uint32_t count, std::int32_t firstType)
    {
        SampleComponent sample;
        MassComponent body;
        SampleScript script;
        OtherScript other;
        for (std::uint32_t i = 0; i < count; ++i)
        {
            GameObject* object = factory->CreateObject();
            sample.count = static_cast<std::int32_t>(i);
            object->AddComponent(sample);
            if (i % 3 == 0)
                object->AddComponent(body);
            if (i % 4 != 1)
            {
                object->AddScript(script);
                SubscribeExactly(*FindScript(object->id, SampleScript::kTypeId),
                                 {static_cast<std::int32_t>((firstType + i) % 21), 12});
            }
            if (i % 5 == 0)
                object->AddScript(other);
        }
    };
    build(60, 4);
    for (std::uint32_t id : {7u, 30u, 31u})
        factory->QueueDestroy(id);
    factory->DestroyQueuedObjects();
    const std::string saved = SaveToString();
    std::vector<std::size_t> listeners;
    for (std::int32_t type = 0; type <= kLastEventType; ++type)
        listeners.push_back(EventManager::ObserversOf(type).size());
    const ObjectIdSet motion = SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds();

    RestartWorld();
    build(45, 9);
    LoadFromString(saved);

    EXPECT_EQ(SaveToString(), saved);
    for (std::int32_t type = 0; type <= kLastEventType; ++type)
        EXPECT_EQ(EventManager::ObserversOf(type).size(), listeners[static_cast<std::size_t>(type)]) << type;
    EXPECT_EQ(SystemManager::GetSystem(kMotionSystemSlot)->ObjectIds(), motion);
    EXPECT_EQ(factory->FreeIds(), (std::vector<std::uint32_t>{7, 30, 31}));

    std::vector<std::uint32_t> owners;
    for (const auto& entry : ScriptRegistry())
    {
        owners.push_back(entry.first);
        for (const auto& script : entry.second)
        {
            ASSERT_NE(script.second, nullptr);
            EXPECT_EQ(script.second->GetOwner(), entry.first);
            EXPECT_EQ(factory->GetObject(entry.first)->scriptTypes.count(script.first), 1u);
        }
    }
    EXPECT_TRUE(std::is_sorted(owners.begin(), owners.end()));
    // 45 objects with a sample script, 3 more with only the other one, less the two destroyed holders.
    EXPECT_EQ(owners.size(), 46u);
    for (std::uint32_t id = 1; id <= 60; ++id)
    {
        const auto* sample = Get<SampleComponent>(id, SampleComponent::kTypeId);
        if (id == 7 || id == 30 || id == 31)
        {
            EXPECT_EQ(sample, nullptr) << id;
            continue;
        }
        ASSERT_NE(sample, nullptr) << id;
        EXPECT_EQ(sample->count, static_cast<std::int32_t>(id - 1));
        const Script* script = FindScript(id, SampleScript::kTypeId);
        if ((id - 1) % 4 == 1)
            EXPECT_EQ(script, nullptr) << id;
        else
            EXPECT_EQ(script->SubscribedTypes(),
                      (std::set<std::int32_t>{static_cast<std::int32_t>((4 + id - 1) % 21), 12}))
                << id;
    }
}

TEST_F(LevelFileTest, SavingOneWorldTwiceGivesTheSameBytes)
{
    UseHooks();
    BuildSampleWorld(*factory, *doubles);
    EXPECT_EQ(SaveToString(), SaveToString());
}

// Failures change nothing.

class LevelFailureTest : public LevelFileTest
{
  protected:
    void SetUp() override
    {
        LevelFileTest::SetUp();
        UseHooks();
        BuildSampleWorld(*factory, *doubles);
        good = SaveToString();
        before = TakeFingerprint();
    }

    // Loads the bytes, expects LevelFormatError naming `element`, and an unchanged world.
    void ExpectRefused(const std::string& bytes, const std::string& element = "", bool versioned = true)
    {
        try
        {
            LoadFromString(bytes, versioned);
            ADD_FAILURE() << "accepted";
        }
        catch (const LevelFormatError& error)
        {
            if (!element.empty())
            {
                EXPECT_NE(std::string(error.what()).find("'" + element + "'"), std::string::npos)
                    << error.what();
            }
            EXPECT_EQ(std::string(error.what()).rfind("memory.xml: element ", 0), 0u) << error.what();
        }
        EXPECT_TRUE(TakeFingerprint() == before);
        EXPECT_EQ(doubles->menuBuilderCalls, 0);
        EXPECT_EQ(doubles->replaceTablesCalls, 0);
    }

    std::string good;
    WorldFingerprint before;
};

TEST_F(LevelFailureTest, TruncationAtAnyOffsetChangesNothing)
{
    for (std::size_t length = 0; length + 30 < good.size(); length += 97)
        ExpectRefused(good.substr(0, length));
}

TEST_F(LevelFailureTest, RenamedOrSwappedElementsAreNamedInTheError)
{
    ExpectRefused(ReplaceOnce(good, "<LastGameObjectId>", "<LastObjectId>"), "LastGameObjectId");
    // The first object record with "Tag" and "Flags" in each other's place.
    std::string swapped = good;
    const std::size_t tag = swapped.find("<Tag>2</Tag>\n<Flags>");
    ASSERT_NE(tag, std::string::npos);
    const std::size_t flagsEnd = swapped.find("</Flags>", tag) + std::strlen("</Flags>");
    const std::string flags = swapped.substr(tag + 13, flagsEnd - tag - 13);
    swapped.replace(tag, flagsEnd - tag, flags + "\n<Tag>2</Tag>");
    ExpectRefused(swapped, "Tag");
}

TEST_F(LevelFailureTest, BadValuesAreRefused)
{
    ExpectRefused(ReplaceOnce(good, "<Enabled>1</Enabled>", "<Enabled>2</Enabled>"), "Enabled");
    ExpectRefused(ReplaceOnce(good, "<Count>-42</Count>", "<Count>many</Count>"), "Count");
    ExpectRefused(ReplaceOnce(good, "<Mass>8.050000000e+01</Mass>", "<Mass>nan</Mass>"), "Mass");
    ExpectRefused(ReplaceOnce(good, "<Versioned>1</Versioned>", "<Versioned>1</Versioned"));
    ExpectRefused("not xml at all");
    ExpectRefused("");
    ExpectRefused(ReplaceOnce(good, "serialization::archive", "serialization::other"));
}

TEST_F(LevelFailureTest, HugeCountsAreRefusedBeforeAllocating)
{
    ExpectRefused(ReplaceOnce(good, "<ObjectList_Size>7<", "<ObjectList_Size>4000000000<"),
                  "ObjectList_Size");
    ExpectRefused(ReplaceOnce(good, "<count>2</count>", "<count>4000000000</count>"), "Module_Names");
    ExpectRefused(ReplaceOnce(good, "<Observer_Size>2<", "<Observer_Size>3000000000<"), "Observer_Size");
}

TEST_F(LevelFailureTest, UnknownClassesAreRefused)
{
    ExpectRefused(ReplaceOnce(good, "<Component_Type>MassComponent<", "<Component_Type>Nobody<"),
                  "Component_Type");
    ExpectRefused(ReplaceOnce(good, "<TestShape_Type>TestBox<", "<TestShape_Type>TestHexagon<"),
                  "TestShape_Type");
    ExpectRefused(ReplaceOnce(good, "<Script_Name>OtherScript<", "<Script_Name>NoScript<"), "Script_Name");
}

TEST_F(LevelFailureTest, TableRulesAreChecked)
{
    // Entry 0 live, a live id off its place, a wrong last id.
    ExpectRefused(
        ReplaceOnce(good, "<GameObject_ID>4294967295</GameObject_ID>", "<GameObject_ID>0</GameObject_ID>"));
    ExpectRefused(ReplaceOnce(good, "<GameObject_ID>3</GameObject_ID>", "<GameObject_ID>2</GameObject_ID>"),
                  "GameObject_ID");
    ExpectRefused(ReplaceOnce(good, "<LastGameObjectId>6<", "<LastGameObjectId>9<"), "ObjectList_Size");
    // Free ids: live, out of range, zero, repeated.
    const std::string freeList =
        "<openSlots>\n\t<count>1</count>\n\t<item_version>0</item_version>\n\t<item>5</item>";
    ExpectRefused(ReplaceOnce(good, freeList, ReplaceOnce(freeList, "<item>5", "<item>3")), "openSlots");
    ExpectRefused(ReplaceOnce(good, freeList, ReplaceOnce(freeList, "<item>5", "<item>70")), "openSlots");
    ExpectRefused(ReplaceOnce(good, freeList, ReplaceOnce(freeList, "<item>5", "<item>0")), "openSlots");
    ExpectRefused(ReplaceOnce(good, freeList,
                              ReplaceOnce(ReplaceOnce(freeList, "<count>1", "<count>2"), "<item>5</item>",
                                          "<item>5</item>\n\t<item>5</item>")),
                  "openSlots");
    // A destroy-list id beyond the table.
    ExpectRefused(ReplaceOnce(good, "<item>6</item>\n</destroyList>", "<item>60</item>\n</destroyList>"),
                  "destroyList");
}

TEST_F(LevelFailureTest, RecordRulesAreChecked)
{
    // An empty family, an empty prefab record.
    ExpectRefused(
        ReplaceOnce(
            good, "<count>2</count>\n\t<item_version>0</item_version>\n\t<item>0</item>\n\t<item>2</item>\n",
            "<count>0</count>\n\t<item_version>0</item_version>\n"),
        "Children");
    const std::size_t prefab = good.find("<Prefab_Name>Button</Prefab_Name>");
    ASSERT_NE(prefab, std::string::npos);
    std::string emptyPrefab = good;
    const std::size_t idStart = emptyPrefab.find("<GameObject_ID>", prefab);
    const std::size_t recordEnd = emptyPrefab.find("</Children>", prefab) + std::strlen("</Children>");
    emptyPrefab.replace(idStart, recordEnd - idStart, "<GameObject_ID>4294967295</GameObject_ID>");
    ExpectRefused(emptyPrefab, "GameObject_ID");
    // A type id that is not the class's, an owner that is not the entry's object, a repeated object.
    ExpectRefused(ReplaceOnce(good, "<Component_ID>7</Component_ID>", "<Component_ID>9</Component_ID>"),
                  "Component_ID");
    ExpectRefused(ReplaceOnce(good, "<Component_Parent>3<", "<Component_Parent>2<"), "Component_ID");
    ExpectRefused(ReplaceOnce(good, "<ComponentObject_ID>3<", "<ComponentObject_ID>2<"),
                  "ComponentObject_ID");
    ExpectRefused(ReplaceOnce(good, "<Script_ID>14</Script_ID>", "<Script_ID>12</Script_ID>"), "Script_ID");
    // An event type the dispatcher never walks.
    ExpectRefused(ReplaceOnce(good, "<Observer_EventType>20<", "<Observer_EventType>21<"),
                  "Observer_EventType");
    ExpectRefused(ReplaceOnce(good, "<Observer_EventType>3<", "<Observer_EventType>-1<"),
                  "Observer_EventType");
}

TEST_F(LevelFailureTest, ChildrenMustBeLiveObjectsThatNameTheirParent)
{
    // Object 1's family is {0, 2}, object 2's is {1}.
    const std::string parentsChildren = "<item>0</item>\n\t<item>2</item>\n</Children>";
    for (const char* child : {"5", "6000", "1", "3"})
    {
        ExpectRefused(ReplaceOnce(good, parentsChildren,
                                  std::string("<item>0</item>\n\t<item>") + child + "</item>\n</Children>"),
                      "Children");
    }
    ExpectRefused(ReplaceOnce(good, "<item>1</item>\n</Children>", "<item>3</item>\n</Children>"),
                  "Children");
    // A child listed twice still names its parent.
    LoadFromString(ReplaceOnce(
        ReplaceOnce(good, parentsChildren, "<item>0</item>\n\t<item>2</item>\n\t<item>2</item>\n</Children>"),
        "<count>2</count>\n\t<item_version>0</item_version>\n\t<item>0</item>",
        "<count>3</count>\n\t<item_version>0</item_version>\n\t<item>0</item>"));
    EXPECT_EQ(factory->GetObject(1)->family, (std::vector<std::uint32_t>{0, 2, 2}));
}

TEST_F(LevelFailureTest, ComponentsOrScriptsFiledUnderAFreeIdAreRefused)
{
    // Object 4's transform entry copied under the free id 5, and a script entry for 5.
    const std::size_t start = good.find("<ComponentObject_ID>4<");
    const std::size_t end = good.find("<ComponentObject_ID>6<");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const std::string transformEntry = ReplaceOnce(
        ReplaceOnce(good.substr(start, end - start), "<ComponentObject_ID>4<", "<ComponentObject_ID>5<"),
        "<Component_Parent>4<", "<Component_Parent>5<");
    std::string withComponents =
        ReplaceOnce(good, "<Components_List_Outer_Size>5<", "<Components_List_Outer_Size>6<");
    withComponents.insert(withComponents.find("<ComponentObject_ID>6<"), transformEntry);
    const std::string scriptEntry = "<ScriptObject_ID>5</ScriptObject_ID>\n"
                                    "<Scripts_List_Inner_Size>1</Scripts_List_Inner_Size>\n"
                                    "<Script_ID>14</Script_ID>\n<Script_Name>OtherScript</Script_Name>\n"
                                    "<Script_Parent>5</Script_Parent>\n<Version_Number>0</Version_Number>\n"
                                    "<Observer_Size>0</Observer_Size>\n";
    const std::string soundList = "<Observer_Size>2</Observer_Size>\n<Observer_EventType>12<";
    std::string withScript = ReplaceOnce(good, "<Scripts_List_Outer_Size>2<", "<Scripts_List_Outer_Size>3<");
    withScript = ReplaceOnce(withScript, soundList, scriptEntry + soundList);

    ExpectRefused(withComponents, "ComponentObject_ID");
    ExpectRefused(withScript, "ScriptObject_ID");

    // Under an id that is empty but not free (nothing will take it) the same entries are kept.
    const std::string freeList =
        "<openSlots>\n\t<count>1</count>\n\t<item_version>0</item_version>\n\t<item>5</item>";
    const std::string noFreeList = "<openSlots>\n\t<count>0</count>\n\t<item_version>0</item_version>";
    std::string kept = ReplaceOnce(withComponents, freeList, noFreeList);
    kept = ReplaceOnce(kept, "<Scripts_List_Outer_Size>2<", "<Scripts_List_Outer_Size>3<");
    LoadFromString(ReplaceOnce(kept, soundList, scriptEntry + soundList));
    EXPECT_NE(FindComponent(5, Transform::kTypeId), nullptr);
    EXPECT_NE(FindScript(5, OtherScript::kTypeId), nullptr);
    EXPECT_EQ(factory->CreateObject()->id, 7u);
}

TEST_F(LevelFailureTest, ARepeatedTypeIdWithinOneObjectIsRefused)
{
    const std::string entry = "<ComponentObject_ID>1</ComponentObject_ID>\n<Components_List_Inner_Size>3<";
    std::string bytes = ReplaceOnce(good, entry,
                                    "<ComponentObject_ID>1</ComponentObject_ID>\n"
                                    "<Components_List_Inner_Size>4<");
    const std::size_t start = bytes.find("<Component_ID>11</Component_ID>");
    const std::size_t end = bytes.find("<ComponentObject_ID>2<");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    bytes.insert(end, bytes.substr(start, end - start));
    ExpectRefused(bytes, "Component_ID");
}

TEST_F(LevelFailureTest, StructurallyBrokenTablesAreRefused)
{
    std::string tooMany = "<CommandContext_Size>65</CommandContext_Size>\n";
    for (int i = 0; i < 65; ++i)
        tooMany += "<CommandContext_Tag>1</CommandContext_Tag>\n";
    std::string bytes = good;
    const std::size_t at = bytes.find("<CommandContext_Size>3</CommandContext_Size>");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = bytes.find("<CommandContext_Name>Idle");
    bytes.replace(at, end - at, tooMany);
    ExpectRefused(bytes, "BehaviorSets_Size");
}

TEST_F(LevelFailureTest, OversizedFilesAreRefused)
{
    ExpectRefused(good + std::string(kMaxLevelFileBytes, ' '), "boost_serialization");
}

// Versions.

TEST_F(LevelFileTest, RecordsLoadOnlyTheFieldsOfTheirStoredVersion)
{
    GameObject* object = factory->CreateObject();
    object->AddScript(*std::make_unique<OtherScript>());
    SampleComponent sample;
    sample.count = 5;
    sample.mask = 6;
    sample.anchor = {7, 8, 9};
    sample.retired = 10;
    object->AddComponent(sample);
    const std::string atFour = SaveToString();
    Get<SampleComponent>(object->id, SampleComponent::kTypeId)->SetDataVersion(1);
    const std::string atOne = SaveToString();
    Get<SampleComponent>(object->id, SampleComponent::kTypeId)->SetDataVersion(0);
    const std::string atZero = SaveToString();
    EXPECT_EQ(atZero.find("<Count>"), std::string::npos);
    EXPECT_NE(atOne.find("<Retired>10<"), std::string::npos);
    EXPECT_EQ(atFour.find("<Retired>"), std::string::npos);
    EXPECT_EQ(atFour.find("<Unsaved>"), std::string::npos);

    LoadFromString(atFour);
    auto* loaded = Get<SampleComponent>(1, SampleComponent::kTypeId);
    EXPECT_EQ(loaded->count, 5);
    EXPECT_EQ(loaded->mask, 6u);
    EXPECT_FLOAT_EQ(loaded->anchor.z, 9.0f);
    EXPECT_EQ(loaded->retired, 0);

    // Read after a v4 record, a v1 record still gets the defaults of later fields.
    LoadFromString(atOne);
    loaded = Get<SampleComponent>(1, SampleComponent::kTypeId);
    EXPECT_EQ(loaded->count, 5);
    EXPECT_EQ(loaded->retired, 10);
    EXPECT_EQ(loaded->mask, 3u);
    EXPECT_FLOAT_EQ(loaded->anchor.z, 0.0f);
    EXPECT_EQ(loaded->GetDataVersion(), SampleComponent::kClassVersion);

    LoadFromString(atZero);
    loaded = Get<SampleComponent>(1, SampleComponent::kTypeId);
    EXPECT_EQ(loaded->count, 7);
    EXPECT_EQ(loaded->unsaved, 11);
    EXPECT_EQ(loaded->GetDataVersion(), SampleComponent::kClassVersion);
}

namespace
{
// [A-Za-z_][A-Za-z0-9_.-]*
bool IsPlainElementName(const std::string& name)
{
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (name.empty() || !isLetter(name[0]))
        return false;
    for (char c : name)
    {
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '-')
            return false;
    }
    return true;
}

// The names of every start tag, leaving out the XML declaration and the document type.
std::vector<std::string> StartTagNames(const std::string& bytes)
{
    std::vector<std::string> names;
    for (std::size_t at = bytes.find('<'); at != std::string::npos; at = bytes.find('<', at + 1))
    {
        if (at + 1 >= bytes.size() || bytes[at + 1] == '/' || bytes[at + 1] == '?' || bytes[at + 1] == '!')
            continue;
        const std::size_t end = bytes.find_first_of(" >", at + 1);
        names.push_back(bytes.substr(at + 1, end - at - 1));
    }
    return names;
}
} // namespace

TEST_F(LevelFileTest, EverySavedElementNameIsAValidXmlName)
{
    for (const auto& [key, prototype] : ComponentPrototypes())
    {
        if (prototype->GetTypeId() != ThrowingComponent::kTypeId &&
            prototype->GetTypeId() != Transform::kTypeId)
            factory->CreateObject()->AddComponent(*prototype->Clone());
    }
    for (const auto& [key, prototype] : ScriptPrototypes())
        factory->CreateObject()->AddScript(*prototype->Clone());
    UseHooks();
    const std::vector<std::string> names = StartTagNames(SaveToString());
    EXPECT_GT(names.size(), 100u);
    for (const std::string& name : names)
        EXPECT_TRUE(IsPlainElementName(name)) << name;
}

// Records.

TEST_F(LevelFileTest, FamilySelectorPicksTheClass)
{
    GameObject* first = factory->CreateObject();
    first->AddComponent(*std::make_unique<TestCircle>());
    first->AddScript(*std::make_unique<OtherScript>());
    GameObject* second = factory->CreateObject();
    second->AddComponent(*std::make_unique<TestBox>());
    second->AddScript(*std::make_unique<OtherScript>());
    const std::uint32_t firstId = first->id;
    const std::uint32_t secondId = second->id;
    const std::string bytes = SaveToString();
    EXPECT_NE(bytes.find("<Component_Type>TestShape</Component_Type>"), std::string::npos);
    LoadFromString(bytes);
    EXPECT_NE(Get<TestCircle>(firstId, TestShape::kTypeId), nullptr);
    EXPECT_NE(Get<TestBox>(secondId, TestShape::kTypeId), nullptr);
}

TEST_F(LevelFileTest, NullRecordsKeepTheReaderInStep)
{
    GameObject* object = factory->CreateObject();
    object->AddComponent(*std::make_unique<MassComponent>());
    object->AddScript(*std::make_unique<SampleScript>());
    object->AddScript(*std::make_unique<OtherScript>());
    const std::uint32_t id = object->id;
    ComponentRegistry()[id][MassComponent::kTypeId].reset();
    ScriptRegistry()[id][SampleScript::kTypeId].reset();
    testing::internal::CaptureStdout();
    const std::string bytes = SaveToString();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("NULL COMPONENT WHEN SERIALIZING"),
              std::string::npos);
    EXPECT_NE(bytes.find("<Script_Name>null_script</Script_Name>"), std::string::npos);
    LoadFromString(bytes);
    EXPECT_EQ(ComponentRegistry().at(id).count(MassComponent::kTypeId), 0u);
    EXPECT_NE(FindComponent(id, Transform::kTypeId), nullptr);
    EXPECT_NE(FindScript(id, OtherScript::kTypeId), nullptr);
    EXPECT_EQ(FindScript(id, SampleScript::kTypeId), nullptr);
}

TEST_F(LevelFileTest, WithDuplicatePrefabsTheFirstWins)
{
    factory->RegisterPrefab("Twin", std::make_unique<GameObject>("first"), {}, {});
    factory->AddPrefab("Twin", std::make_unique<GameObject>("second"));
    LoadFromString(SaveToString());
    ASSERT_EQ(factory->Prefabs().size(), 1u);
    EXPECT_EQ(factory->Prefabs()[0]->prototype->name, "first");
}

// Saving.

TEST_F(LevelFileTest, AThrowingSaveKeepsTheOldFileAndLeavesNoTemporary)
{
    WriteFile("Levels/Arena.xml", "old level");
    factory->CreateObject()->AddComponent(*std::make_unique<ThrowingComponent>());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(SaveLevel("Arena"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("ERROR: level Arena not saved: save failed midway"),
              std::string::npos);
    EXPECT_EQ(ReadFile("Levels/Arena.xml"), "old level");
    EXPECT_FALSE(std::filesystem::exists("Levels/Arena.xml.tmp"));
}

TEST_F(LevelFileTest, ASaveOverAReadOnlyLevelFailsAndKeepsIt)
{
    WriteFile("Levels/Arena.xml", "old level");
    namespace fs = std::filesystem;
    fs::permissions("Levels/Arena.xml",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    factory->CreateObject()->AddScript(*std::make_unique<OtherScript>());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(SaveLevel("Arena"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "ERROR: level Arena not saved: Levels/Arena.xml is read-only"),
              std::string::npos);
    EXPECT_EQ(ReadFile("Levels/Arena.xml"), "old level");
    EXPECT_FALSE(fs::exists("Levels/Arena.xml.tmp"));

    // Once writable again it is replaced.
    fs::permissions("Levels/Arena.xml", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(SaveLevel("Arena"));
    EXPECT_NE(ReadFile("Levels/Arena.xml"), "old level");
}

TEST_F(LevelFileTest, AFullDiskReportsTheSystemsReason)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to stand in for a full disk";
    WriteFile("Levels/Arena.xml", "old level");
    // The temporary file lands on a device that is always full.
    std::filesystem::create_symlink("/dev/full", "Levels/Arena.xml.tmp");
    factory->CreateObject()->AddScript(*std::make_unique<OtherScript>());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(SaveLevel("Arena"));
    const std::string message = testing::internal::GetCapturedStdout();
    EXPECT_NE(message.find("ERROR: level Arena not saved: writing Levels/Arena.xml.tmp failed: " +
                           std::string(std::strerror(ENOSPC))),
              std::string::npos)
        << message;
    EXPECT_EQ(ReadFile("Levels/Arena.xml"), "old level");
    EXPECT_FALSE(std::filesystem::is_symlink("Levels/Arena.xml.tmp"));
}

TEST_F(LevelFileTest, ANonFiniteFieldIsSavedAsZeroWithAWarning)
{
    GameObject* object = factory->CreateObject();
    MassComponent body;
    body.mass = std::numeric_limits<float>::quiet_NaN();
    object->AddComponent(body);
    object->AddScript(*std::make_unique<OtherScript>());
    testing::internal::CaptureStdout();
    EXPECT_TRUE(SaveLevel("Nan"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("WARNING"), std::string::npos);
    const std::uint32_t id = object->id;
    LoadLevel("Nan", true);
    EXPECT_EQ(Get<MassComponent>(id, MassComponent::kTypeId)->mass, 0.0f);
}

TEST_F(LevelFileTest, APausedSaveUnpausesThenClosesTheMenus)
{
    UseHooks();
    FrameRateManager::TogglePause();
    EXPECT_TRUE(SaveLevel("Paused"));
    EXPECT_FALSE(FrameRateManager::IsPaused());
    EXPECT_EQ(doubles->closeAllMenusCalls, 1);
    EXPECT_FALSE(doubles->pausedAtCloseAllMenus);
}

TEST_F(LevelFileTest, NamesFollowTheFileRules)
{
    EXPECT_TRUE(SaveLevel("X"));
    EXPECT_TRUE(std::filesystem::exists("Levels/X.xml"));
    const std::string first = ReadFile("Levels/X.xml");
    factory->CreateObject()->name = "changed";
    EXPECT_TRUE(SaveLevel("X.xml"));
    EXPECT_NE(ReadFile("Levels/X.xml"), first);
    EXPECT_FALSE(std::filesystem::exists("Levels/X.xml.xml"));

    EXPECT_FALSE(SaveLevel("Files_"));
    EXPECT_FALSE(std::filesystem::exists("Levels/Files_.xml"));
    const WorldFingerprint before = TakeFingerprint();
    LoadLevel("Files_", true);
    LoadLevel("Missing", true);
    std::filesystem::create_directories("Levels/Folder.xml");
    LoadLevel("Folder", true);
    EXPECT_TRUE(TakeFingerprint() == before);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(SaveLevel("NoFolder/Level"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("ERROR: level NoFolder/Level not saved"),
              std::string::npos);
}

TEST_F(LevelFileTest, AMissingLevelLeavesTheBuiltWorldInPlace)
{
    factory->CreateObject()->name = "built in code";
    LoadLevelWithFallback("LEVEL_1");
    ASSERT_NE(factory->GetObject(1), nullptr);
    EXPECT_EQ(factory->GetObject(1)->name, "built in code");
}

TEST_F(LevelFileTest, AFailedVersionedLoadIsReportedBeforeTheUnversionedRetry)
{
    UseHooks();
    BuildSampleWorld(*factory, *doubles);
    const std::string good = SaveToString();
    WriteFile("Levels/Good.xml", good);
    WriteFile("Levels/Broken.xml", ReplaceOnce(good, "<Count>-42</Count>", "<Count>many</Count>"));
    const WorldFingerprint before = TakeFingerprint();

    testing::internal::CaptureStdout();
    std::string retryError;
    try
    {
        LoadLevelWithFallback("Broken");
    }
    catch (const LevelFormatError& error)
    {
        retryError = error.what();
    }
    const std::string output = testing::internal::GetCapturedStdout();
    // The warning carries the versioned attempt's own fault; the retry's only blames the first element.
    EXPECT_EQ(
        output.rfind("WARNING: level Broken failed to load as versioned (Levels/Broken.xml: element ", 0), 0u)
        << output;
    EXPECT_NE(output.find("'Count'"), std::string::npos) << output;
    EXPECT_NE(retryError.find("'Module_Names'"), std::string::npos) << retryError;
    EXPECT_TRUE(TakeFingerprint() == before);

    // A good file loads without a word.
    testing::internal::CaptureStdout();
    LoadLevelWithFallback("Good");
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("WARNING"), std::string::npos);
}

// Clean-up and hooks.

TEST_F(LevelFileTest, ALoneComponentLeavesItsSystemAndRegistry)
{
    GameObject* object = factory->CreateObject();
    object->AddComponent(*std::make_unique<TestMachine>());
    RemoveComponent(object->id, Transform::kTypeId);
    object->componentTypes.erase(Transform::kTypeId);
    ComponentRegistry()[object->id].erase(Transform::kTypeId);
    GameObject* survivor = factory->CreateObject();
    survivor->AddScript(*std::make_unique<OtherScript>());
    const std::string bytes = SaveToString();
    RestartWorld(false);
    LoadFromString(bytes);
    EXPECT_EQ(factory->GetObject(1), nullptr);
    EXPECT_EQ(ComponentRegistry().count(1), 0u);
    for (const auto& system : SystemManager::Systems())
        EXPECT_EQ(system->ObjectIds().count(1), 0u) << system->GetName();
    EXPECT_NE(factory->GetObject(2), nullptr);
    EXPECT_NE(FindComponent(2, Transform::kTypeId), nullptr);
}

TEST_F(LevelFileTest, WithoutHooksDefaultsReadBackAndTheBackgroundIsSkipped)
{
    factory->CreateObject()->AddScript(*std::make_unique<OtherScript>());
    const std::string bare = SaveToString();
    EXPECT_NE(bare.find("<Observer_Size>0</Observer_Size>\n<CMDContexts_Size>0</CMDContexts_Size>\n"
                        "<BehaviorSets_Size>0</BehaviorSets_Size>\n<Version_Number>0</Version_Number>"),
              std::string::npos);
    LoadFromString(bare);
    EXPECT_NE(factory->GetObject(1), nullptr);

    UseHooks();
    doubles->background = "Nebula";
    doubles->tables.contexts = {{"Move", {1}}};
    const std::string full = SaveToString();
    ResetLevelHooks();
    LoadFromString(full);
    EXPECT_NE(factory->GetObject(1), nullptr);
}

TEST_F(LevelFileTest, AnEmptySoundListWarnsWhenASoundObserverListens)
{
    UseHooks();
    doubles->sound.Subscribe(4);
    GetLevelHooks().soundObserver = nullptr;
    const std::string bytes = SaveToString();
    GetLevelHooks().soundObserver = &doubles->sound;
    testing::internal::CaptureStdout();
    LoadFromString(bytes);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("WARNING: level memory.xml subscribes no sounds"),
              std::string::npos);
    EXPECT_TRUE(doubles->sound.SubscribedTypes().empty());
}

TEST_F(LevelFailureTest, AnEntryListedOutOfTypeOrderLoadsInOrderAndARepeatedTypeIsRefused)
{
    // The first object entry with two components that another entry follows.
    const std::string twoEntries = "<Components_List_Inner_Size>2<";
    std::size_t entry = good.find("<ComponentObject_ID>");
    std::size_t next = std::string::npos;
    while (entry != std::string::npos)
    {
        next = good.find("<ComponentObject_ID>", entry + 1);
        if (next == std::string::npos)
            break;
        if (good.compare(good.find("<Components_List_Inner_Size>", entry), twoEntries.size(), twoEntries) == 0)
            break;
        entry = next;
    }
    ASSERT_NE(next, std::string::npos);
    const std::size_t first = good.find("<Component_ID>", entry);
    const std::size_t second = good.find("<Component_ID>", first + 1);
    ASSERT_LT(second, next);
    const std::string recordA = good.substr(first, second - first);
    const std::string recordB = good.substr(second, next - second);

    std::string repeated = good;
    repeated.replace(first, next - first, recordA + recordA);
    ExpectRefused(repeated, "Component_ID");

    // Loaded, the swapped entry is the file's own: the same world, saved in ascending type order.
    LoadFromString(good);
    const std::string reloaded = SaveToString();
    std::string reordered = good;
    reordered.replace(first, next - first, recordB + recordA);
    ASSERT_NE(reordered, good);
    LoadFromString(reordered);
    EXPECT_EQ(SaveToString(), reloaded);
}

// An object's family keeps its first ids inside the object and spills longer lists to the heap; class
// names are stored once and shared by every copy. Neither may change what a world holds or saves.
TEST_F(LevelFileTest, AWideFamilyAndSharedClassNamesSurviveCopiesMovesAndARoundTrip)
{
    UseHooks();
    SampleComponent sample;
    GameObject* parent = factory->CreateObject();
    const std::uint32_t parentId = parent->id;
    std::vector<std::uint32_t> expected{0};
    for (int i = 0; i < 6; ++i)
    {
        // Objects with only a transform do not outlive a load.
        GameObject* child = factory->CreateObject();
        child->AddComponent(sample);
        child->family[0] = parentId;
        parent->family.push_back(child->id);
        expected.push_back(child->id);
    }
    ASSERT_EQ(parent->family, expected);
    parent->SetDirty(true);
    for (std::size_t i = 1; i < expected.size(); ++i)
        EXPECT_TRUE(factory->GetObject(expected[i])->HasFlag(kFlagDirty));

    // Copies and moves between inline and spilled lists keep every id and leave the source intact or empty.
    FamilyList copy = parent->family;
    FamilyList moved = std::move(copy);
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(moved, expected);
    FamilyList shortList{7, 8};
    shortList = moved;
    EXPECT_EQ(shortList, expected);
    moved = {3};
    EXPECT_EQ(moved, (std::vector<std::uint32_t>{3}));
    moved = std::move(shortList);
    EXPECT_EQ(moved, expected);
    EXPECT_EQ(GameObject(*parent).family, (std::vector<std::uint32_t>{0}));

    // Clones share the class name of the instance they copy; the name reads as the class's.
    parent->AddComponent(sample);
    const Component* attached = FindComponent(parent->id, SampleComponent::kTypeId);
    ASSERT_NE(attached, nullptr);
    EXPECT_EQ(attached->GetName(), SampleComponent::kClassName);
    EXPECT_EQ(&attached->GetName(), &sample.GetName());
    SampleScript script;
    parent->AddScript(script);
    EXPECT_EQ(&FindScript(parent->id, SampleScript::kTypeId)->GetName(), &script.GetName());

    const std::string saved = SaveToString();
    RestartWorld();
    LoadFromString(saved);
    EXPECT_EQ(factory->GetObject(parentId)->family, expected);
    EXPECT_EQ(factory->GetObject(expected[6])->family, (std::vector<std::uint32_t>{parentId}));
    EXPECT_EQ(FindComponent(parentId, SampleComponent::kTypeId)->GetName(), SampleComponent::kClassName);
    EXPECT_EQ(SaveToString(), saved);
}
