#include "LevelTestFixture.h"

#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "LevelArchive.h"
#include "ModuleFile.h"
#include "ModuleWriter.h"
#include "Prototypes.h"
#include "Registries.h"
#include "SystemManager.h"

namespace
{
struct ModuleListener : Observer
{
    void OnNotify(Event* event) override
    {
        if (auto* loaded = dynamic_cast<ModuleLoadedEvent*>(event))
            events.push_back(*loaded);
    }
    std::vector<ModuleLoadedEvent> events;
};

// Loads the module it is given from its Update, once; it records every update it gets.
class ModuleLoaderScript : public Script
{
  public:
    static constexpr std::uint32_t kTypeId = 15;

    ModuleLoaderScript() : Script("ModuleLoaderScript", kTypeId) { RegisterScriptPrototype(*this); }
    ModuleLoaderScript(const ModuleLoaderScript&) = default;
    std::unique_ptr<Script> Clone() const override { return std::make_unique<ModuleLoaderScript>(*this); }
    void Update(float) override
    {
        updatedOwners.push_back(owner);
        if (moduleName.empty())
            return;
        LoadModule(moduleName, true);
        moduleName.clear();
    }

    std::string moduleName; // not saved: a loaded copy loads nothing
    static inline std::vector<std::uint32_t> updatedOwners;
};

class ModuleFileTest : public LevelFileTest
{
  protected:
    void SetUp() override
    {
        LevelFileTest::SetUp();
        listener.Subscribe(evModuleLoaded);
    }

    // Writes, in a scratch world, a module of three tag-1 blocks (the first with a listening script), then
    // starts the target world: tag-1 objects 1 and 2, a tag-2 object 3 with a script, and ids 5 then 4 freed.
    std::string MakeBlockModule(std::vector<std::uint32_t> tags = {1}, bool versioned = true,
                                bool oneGroupEach = false)
    {
        std::vector<std::uint32_t> ids;
        for (const char* name : {"Block A", "Block B", "Block C"})
        {
            GameObject* block = factory->CreateObject();
            block->tag = 1;
            block->name = name;
            block->family = {9, 8};
            block->AddComponent(*std::make_unique<TestBox>());
            ids.push_back(block->id);
        }
        SampleScript script;
        script.title = "module script";
        factory->GetObject(ids[0])->AddScript(script);
        SubscribeExactly(*FindScript(ids[0], SampleScript::kTypeId), {7, 12});

        std::vector<std::vector<std::uint32_t>> groups;
        if (oneGroupEach)
            groups = {{ids[0]}, {ids[1], ids[2]}};
        else if (!tags.empty())
            groups = {ids};
        std::ostringstream out;
        SaveModuleTo(out, tags, groups, versioned);

        RestartWorld();
        for (Tag tag : {1u, 1u, 2u, 0u, 0u})
            factory->CreateObject()->tag = tag;
        factory->GetObject(3)->AddScript(*std::make_unique<SampleScript>());
        factory->QueueDestroy(5);
        factory->QueueDestroy(4);
        factory->DestroyQueuedObjects();
        listener.Subscribe(evModuleLoaded);
        return out.str();
    }

    void Merge(const std::string& bytes, bool versioned = true)
    {
        StagedModule module = StageModule(bytes, versioned, "memory.xml");
        CommitModule(module);
    }

    ModuleListener listener;
};
} // namespace

TEST_F(ModuleFileTest, AGroupQueuesItsTagAndItsObjectsTakeFreedIdsFirst)
{
    Merge(MakeBlockModule());
    EXPECT_TRUE(factory->GetObject(1)->IsQueuedForDestruction());
    EXPECT_TRUE(factory->GetObject(2)->IsQueuedForDestruction());
    EXPECT_FALSE(factory->GetObject(3)->IsQueuedForDestruction());
    EXPECT_EQ(factory->DestroyList(), (std::vector<std::uint32_t>{1, 2}));
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(listener.events[0].tags, (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(listener.events[0].newIds, (std::vector<std::uint32_t>{4, 5, 6}));
    EXPECT_EQ(factory->CreateObject()->id, 7u);
}

TEST_F(ModuleFileTest, ObjectsKeepTheirNamesAndGetTheirComponentsAndScripts)
{
    Merge(MakeBlockModule());
    const GameObject* block = factory->GetObject(4);
    EXPECT_EQ(block->name, "Block A");
    EXPECT_EQ(block->tag, 1u);
    EXPECT_EQ(block->family, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(factory->GetObject(6)->name, "Block C");
    EXPECT_EQ(FindComponent(4, TestShape::kTypeId)->GetOwner(), 4u);
    EXPECT_EQ(SystemManager::GetSystem(kCollisionCheckerSlot)->ObjectIds(),
              (std::set<std::uint32_t>{4, 5, 6}));
    auto* script = dynamic_cast<SampleScript*>(FindScript(4, SampleScript::kTypeId));
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->title, "module script");
    EXPECT_EQ(script->GetOwner(), 4u);
    EXPECT_EQ(script->SubscribedTypes(), (std::set<std::int32_t>{7, 12}));
    // The untouched script of object 3 stays: the writer stores owner 0.
    EXPECT_NE(FindScript(3, SampleScript::kTypeId), nullptr);
}

TEST_F(ModuleFileTest, AScriptRemovesTheScriptOfItsSavedOwner)
{
    const std::string bytes = ReplaceOnce(MakeBlockModule(), "<Script_Parent>0<", "<Script_Parent>3<");
    Merge(bytes);
    EXPECT_EQ(FindScript(3, SampleScript::kTypeId), nullptr);
    EXPECT_NE(FindScript(4, SampleScript::kTypeId), nullptr);
}

TEST_F(ModuleFileTest, NoTagsStillSendsTheEvent)
{
    const std::string bytes = MakeBlockModule({});
    const WorldFingerprint before = TakeFingerprint();
    Merge(bytes);
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_TRUE(listener.events[0].tags.empty());
    EXPECT_TRUE(listener.events[0].newIds.empty());
    EXPECT_TRUE(TakeFingerprint() == before);
}

TEST_F(ModuleFileTest, ALaterGroupOfOneTagQueuesTheEarlierGroupsObjects)
{
    Merge(MakeBlockModule({1, 1}, true, true));
    EXPECT_TRUE(factory->GetObject(4)->IsQueuedForDestruction());
    EXPECT_FALSE(factory->GetObject(5)->IsQueuedForDestruction());
    EXPECT_EQ(listener.events.at(0).newIds, (std::vector<std::uint32_t>{4, 5, 6}));
}

TEST_F(ModuleFileTest, AFailedVersionedReadAndItsRetryMergeOnce)
{
    WriteFile("Modules/Old.xml", MakeBlockModule({1}, false));
    EXPECT_THROW(LoadModule("Old", true), LevelFormatError);
    EXPECT_TRUE(listener.events.empty());
    LoadModule("Old", false);
    ASSERT_EQ(listener.events.size(), 1u);
    int blocks = 0;
    for (const auto& object : factory->Objects())
        blocks += object && object->name == "Block A" ? 1 : 0;
    EXPECT_EQ(blocks, 1);
}

TEST_F(ModuleFileTest, SavedModulesLoad)
{
    GameObject* block = factory->CreateObject();
    block->name = "Saved";
    block->AddScript(*std::make_unique<OtherScript>());
    ASSERT_TRUE(SaveModule("Arena_2", {4}, {{block->id}}));
    EXPECT_FALSE(std::filesystem::exists("Modules/Arena_2.xml.tmp"));
    LoadModule("Arena_2.xml", true);
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(factory->GetObject(listener.events[0].newIds.at(0))->name, "Saved");
}

TEST_F(ModuleFileTest, MissingFilesDoNothingAndSendNothing)
{
    MakeBlockModule();
    const WorldFingerprint before = TakeFingerprint();
    LoadModule("Files_", true);
    LoadModule("Nowhere", true);
    EXPECT_TRUE(listener.events.empty());
    EXPECT_TRUE(TakeFingerprint() == before);
}

TEST_F(ModuleFileTest, MalformedModulesChangeNothing)
{
    const std::string good = MakeBlockModule();
    const WorldFingerprint before = TakeFingerprint();
    const std::vector<std::string> bad = {
        ReplaceOnce(good, "<Tags_size>1<", "<Tags_size>2<"),
        ReplaceOnce(good, "<Component_Type>TestShape<", "<Component_Type>Unknown<"),
        ReplaceOnce(good, "<Observer_EventType>12<", "<Observer_EventType>21<"),
        ReplaceOnce(good, "<Objects_size>3<", "<Objects_size>4000000000<"),
        ReplaceOnce(good, "<GameObject_ID>1<", "<GameObject_ID>4294967295<"),
    };
    for (const std::string& bytes : bad)
        EXPECT_THROW(Merge(bytes), LevelFormatError);
    for (std::size_t length = 0; length + 30 < good.size(); length += 61)
        EXPECT_THROW(Merge(good.substr(0, length)), LevelFormatError) << length;
    EXPECT_TRUE(listener.events.empty());
    EXPECT_TRUE(TakeFingerprint() == before);
    try
    {
        Merge(bad[0]);
    }
    catch (const LevelFormatError& error)
    {
        EXPECT_NE(std::string(error.what()).find("'Tags'"), std::string::npos) << error.what();
    }
}

TEST_F(ModuleFileTest, AModuleLoadedByAScriptReplacesItsOwnersScriptsDuringTheScriptPass)
{
    // The module: one tag-2 object whose loader and sample scripts were saved as object 1's.
    GameObject* saved = factory->CreateObject();
    saved->tag = 2;
    saved->name = "Switch";
    saved->AddScript(*std::make_unique<ModuleLoaderScript>());
    saved->AddScript(*std::make_unique<SampleScript>());
    ASSERT_TRUE(SaveModule("Switch", {2}, {{saved->id}}));
    WriteFile("Modules/Switch.xml", ReplaceOnce(ReplaceOnce(ReadFile("Modules/Switch.xml"),
                                                            "<Script_Parent>0<", "<Script_Parent>1<"),
                                                "<Script_Parent>0<", "<Script_Parent>1<"));

    // The running level: object 1 loads the module from its loader, object 2 (tag 2) only counts, id 3
    // is free.
    RestartWorld();
    listener.Subscribe(evModuleLoaded);
    ModuleLoaderScript::updatedOwners.clear();
    for (int i = 0; i < 3; ++i)
        factory->CreateObject();
    factory->GetObject(2)->tag = 2;
    ModuleLoaderScript loader;
    loader.moduleName = "Switch";
    factory->GetObject(1)->AddScript(loader);
    factory->GetObject(1)->AddScript(*std::make_unique<SampleScript>());
    loader.moduleName.clear();
    factory->GetObject(2)->AddScript(loader);
    factory->QueueDestroy(3);

    factory->Update(0.1f);

    // The loader lost itself and its neighbour mid-pass; the pass went on to object 2 and nobody ran twice.
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(listener.events[0].newIds, std::vector<std::uint32_t>{3});
    EXPECT_EQ(ModuleLoaderScript::updatedOwners, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(FindScript(1, ModuleLoaderScript::kTypeId), nullptr);
    EXPECT_EQ(FindScript(1, SampleScript::kTypeId), nullptr);
    ASSERT_NE(FindScript(3, ModuleLoaderScript::kTypeId), nullptr);
    EXPECT_EQ(FindScript(3, SampleScript::kTypeId)->GetOwner(), 3u);
    EXPECT_TRUE(factory->GetObject(2)->IsQueuedForDestruction());

    // Next frame object 2 is gone and the merged object runs; the replaced scripts never do again.
    ModuleLoaderScript::updatedOwners.clear();
    factory->Update(0.1f);
    EXPECT_EQ(ModuleLoaderScript::updatedOwners, std::vector<std::uint32_t>{3});
    EXPECT_EQ(listener.events.size(), 1u);
}
