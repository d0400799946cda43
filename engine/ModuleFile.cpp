#include "ModuleFile.h"

#include "Component.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelFile.h"
#include "LevelFileNames.h"
#include "LevelIArchive.h"
#include "LevelPaths.h"
#include "Registries.h"
#include "Script.h"
#include "SystemManager.h"

using namespace LevelElements;

namespace
{
StagedModuleObject StageModuleObject(LevelIArchive& ar, bool versioned)
{
    StagedModuleObject staged;
    staged.object = ReadObjectRecord(ar);
    if (!staged.object)
        ar.Fail("GameObject_ID", "a module object needs a live record");

    const std::uint64_t componentCount = ReadCount(ar, kComponentsSize);
    for (std::uint64_t i = 0; i < componentCount; ++i)
    {
        std::unique_ptr<Component> component = ReadComponentRecord(ar, versioned);
        if (!component)
            continue;
        const std::uint32_t typeId = component->GetTypeId();
        if (!staged.components.emplace(typeId, std::move(component)).second)
            ar.Fail(kComponentsSize,
                    "component type " + std::to_string(typeId) + " repeats within one object");
    }
    const std::uint64_t scriptCount = ReadCount(ar, kScriptsSize);
    for (std::uint64_t i = 0; i < scriptCount; ++i)
    {
        StagedScript script = ReadScriptRecord(ar, versioned);
        if (!script.script)
            continue;
        const std::uint32_t typeId = script.script->GetTypeId();
        if (!staged.scripts.emplace(typeId, std::move(script)).second)
            ar.Fail(kScriptsSize, "script type " + std::to_string(typeId) + " repeats within one object");
    }
    return staged;
}

// Queues every live object of the tag, the objects of an earlier group of that tag included.
void QueueTaggedObjects(GameObjectFactory& factory, std::uint32_t tag)
{
    for (GameObject* object : factory.GetObjectsWithTag(tag))
        factory.QueueDestroy(object->id);
}

// Registers the object like any new one (the most recently freed id, else a new one, with nothing left
// under it), keeping its file name; then installs its components and scripts.
std::uint32_t MergeObject(GameObjectFactory& factory, StagedModuleObject& staged)
{
    const std::string name = staged.object->name;
    GameObject* object = factory.RegisterObject(std::move(staged.object));
    object->name = name;
    const std::uint32_t id = object->id;

    ComponentSlots& components = ComponentRegistry()[id];
    for (auto& [typeId, component] : staged.components)
    {
        component->SetOwner(id);
        object->componentTypes.insert(typeId);
        components.emplace(typeId, std::move(component));
    }
    SystemManager::RegisterObject(object);

    for (auto& [typeId, script] : staged.scripts)
    {
        // The saved owner loses its script of this type, as older modules expect. Through the counted
        // removal: a script pass that loaded this module looks its place up again.
        RemoveScript(script.savedOwner, typeId);
        script.script->SetOwner(id);
        object->scriptTypes.insert(typeId);
        SubscribeExactlyToSet(*script.script, script.eventTypes);
        ScriptRegistry()[id].emplace(typeId, std::move(script.script));
    }
    if (!staged.scripts.empty())
        SystemManager::RegisterObject(object);
    return id;
}
} // namespace

StagedModuleObject::StagedModuleObject() = default;
StagedModuleObject::~StagedModuleObject() = default;
StagedModuleObject::StagedModuleObject(StagedModuleObject&&) noexcept = default;
StagedModuleObject& StagedModuleObject::operator=(StagedModuleObject&&) noexcept = default;

StagedModule StageModule(const std::string& bytes, bool versioned, const std::string& source)
{
    StagedModule module;
    module.source = source;
    LevelSourceReader reader(bytes, source);
    LevelIArchive& ar = reader.Archive();
    if (versioned)
    {
        // Present in versioned files, but its value means nothing.
        bool ignored = false;
        ReadField(ar, kVersioned, ignored);
    }
    const std::uint64_t groupCount = ReadCount(ar, kTagsSize);
    ReadVector(ar, kTags, module.tags);
    if (groupCount > module.tags.size())
        ar.Fail(kTags, "fewer tags than the " + std::to_string(groupCount) + " groups");
    for (std::uint64_t i = 0; i < groupCount; ++i)
    {
        StagedModuleGroup group;
        group.tag = module.tags[i];
        const std::uint64_t objectCount = ReadCount(ar, kObjectsSize);
        for (std::uint64_t j = 0; j < objectCount; ++j)
            group.objects.push_back(StageModuleObject(ar, versioned));
        module.groups.push_back(std::move(group));
    }
    return module;
}

void CommitModule(StagedModule& module)
{
    GameObjectFactory& factory = RequireFactory();
    ModuleLoadedEvent loaded;
    loaded.tags = module.tags;
    for (StagedModuleGroup& group : module.groups)
    {
        QueueTaggedObjects(factory, group.tag);
        for (StagedModuleObject& staged : group.objects)
            loaded.newIds.push_back(MergeObject(factory, staged));
    }
    EventManager::Dispatch(&loaded);
}

void LoadModule(const std::string& name, bool versioned)
{
    if (IsSkippedFileName(name))
        return;
    const std::string path = LevelFilePath(kModuleFolder, name);
    std::string bytes;
    if (!ReadFileStart(path, kMaxLevelFileBytes + 1, bytes))
        return;
    StagedModule module = StageModule(bytes, versioned, path);
    CommitModule(module);
}
