#include "LevelRecords.h"

#include "Component.h"
#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelFileNames.h"
#include "LevelIArchive.h"
#include "Observer.h"
#include "Prototypes.h"
#include "Script.h"

#include <iostream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace
{
// Object record elements.
constexpr const char* kObjectId = "GameObject_ID";
constexpr const char* kTag = "Tag";
constexpr const char* kFlags = "Flags";
constexpr const char* kName = "Name";
constexpr const char* kComponents = "Components";
constexpr const char* kScripts = "Scripts";
// Component record elements.
constexpr const char* kComponentType = "Component_Type";
constexpr const char* kComponentParent = "Component_Parent";
constexpr const char* kVersionNumber = "Version_Number";
constexpr const char* kNullComponent = "NULL COMPONENT";
// Script record elements.
constexpr const char* kScriptName = "Script_Name";
constexpr const char* kScriptParent = "Script_Parent";
constexpr const char* kNullScript = "null_script";
// Observer list elements.
constexpr const char* kObserverSize = "Observer_Size";
constexpr const char* kObserverEventType = "Observer_EventType";
// The archive's root element, named in errors met before any element of ours.
constexpr const char* kArchiveRoot = "boost_serialization";

// The version an unversioned file's components were written at.
constexpr std::uint32_t kUnversionedComponentVersion = 1;

std::map<std::string, std::string>& Families()
{
    static std::map<std::string, std::string> families;
    return families;
}

[[noreturn]] void FailBeforeFirstElement(const std::string& source, const std::string& reason)
{
    throw LevelFormatError(source + ": element 0 '" + kArchiveRoot + "': " + reason);
}
} // namespace

LevelSourceReader::LevelSourceReader(const std::string& bytes, const std::string& source)
{
    if (bytes.size() > kMaxLevelFileBytes)
        FailBeforeFirstElement(source, "the file is larger than 64 MiB");
    stream = std::make_unique<std::istringstream>(bytes);
    try
    {
        archive = std::make_unique<LevelIArchive>(*stream, source);
    }
    catch (const LevelFormatError&)
    {
        throw;
    }
    catch (const std::exception& error)
    {
        FailBeforeFirstElement(source, error.what());
    }
}

LevelSourceReader::~LevelSourceReader() = default;

GameObjectFactory& RequireFactory()
{
    if (gGameObjectFactory == nullptr)
        throw std::logic_error("level files need a running object factory");
    return *gGameObjectFactory;
}

void RegisterComponentFamily(const std::string& familyName, const std::string& selectorElement)
{
    Families().emplace(familyName, selectorElement);
}

void ResetComponentFamilies()
{
    Families().clear();
}

std::unique_ptr<GameObject> ReadObjectRecord(LevelIArchive& ar)
{
    std::uint32_t id = 0;
    ReadField(ar, kObjectId, id);
    if (id == kEmptyRecordId)
        return nullptr;
    auto object = std::make_unique<GameObject>();
    object->id = id;
    std::int32_t tag = 0;
    ReadField(ar, kTag, tag);
    object->tag = static_cast<Tag>(tag);
    ReadField(ar, kFlags, object->flags);
    ReadField(ar, kName, object->name);
    std::set<std::uint32_t> typeIds;
    ReadSet(ar, kComponents, typeIds);
    object->componentTypes = TypeIdSet(typeIds);
    ReadSet(ar, kScripts, typeIds);
    object->scriptTypes = TypeIdSet(typeIds);
    std::vector<std::uint32_t> family;
    ReadVector(ar, LevelElements::kChildren, family);
    object->family = family;
    if (object->family.empty())
        ar.Fail(LevelElements::kChildren, "the family needs its parent entry");
    return object;
}

std::unique_ptr<Component> ReadComponentRecord(LevelIArchive& ar, bool versioned)
{
    std::string className;
    ReadField(ar, kComponentType, className);
    if (className == kNullComponent)
    {
        std::cout << "NULL COMPONENT DESERIALIZED\n";
        return nullptr;
    }
    std::uint32_t parent = 0;
    ReadField(ar, kComponentParent, parent);
    std::uint32_t version = kUnversionedComponentVersion;
    if (versioned)
        ReadField(ar, kVersionNumber, version);
    const char* classElement = kComponentType;
    auto family = Families().find(className);
    if (family != Families().end())
    {
        classElement = family->second.c_str();
        ReadField(ar, classElement, className);
    }

    const Component* prototype = FindComponentPrototype(className);
    if (prototype == nullptr)
    {
        std::cout << "ERROR: DESERIALIZED COMPONENT NOT RECOGNIZED\n";
        ar.Fail(classElement, "unknown component class '" + className + "'");
    }
    // A fresh copy of the pristine prototype, so no field of an earlier record leaks into this one.
    std::unique_ptr<Component> fresh = prototype->Clone();
    fresh->SetDataVersion(version);
    std::unique_ptr<Component> loaded = fresh->Load(ar);
    if (!loaded)
        ar.Fail(classElement, "the class '" + className + "' loaded nothing");
    loaded->SetDataVersion(loaded->GetVersion());
    loaded->SetOwner(parent);
    return loaded;
}

StagedScript ReadScriptRecord(LevelIArchive& ar, bool versioned)
{
    StagedScript staged;
    std::string className;
    ReadField(ar, kScriptName, className);
    ReadField(ar, kScriptParent, staged.savedOwner);
    if (className == kNullScript)
        return staged;
    const Script* prototype = FindScriptPrototype(className);
    if (prototype == nullptr)
    {
        std::cout << "ERROR: DESERIALIZED SCRIPT NOT RECOGNIZED\n";
        ar.Fail(kScriptName, "unknown script class '" + className + "'");
    }
    std::unique_ptr<Script> fresh = prototype->Clone();
    if (versioned)
    {
        std::uint32_t version = 0;
        ReadField(ar, kVersionNumber, version);
        fresh->SetDataVersion(version);
    }
    staged.script = fresh->Load(ar);
    if (!staged.script)
        ar.Fail(kScriptName, "the class '" + className + "' loaded nothing");
    staged.script->SetDataVersion(staged.script->GetVersion());
    staged.script->SetOwner(staged.savedOwner);
    // A clone may subscribe itself; whoever installs the script decides what it hears.
    SubscribeExactlyToSet(*staged.script, EventTypeSet());
    for (std::int32_t type : ReadObserverList(ar))
        staged.eventTypes.insert(type);
    return staged;
}

std::vector<std::int32_t> ReadObserverList(LevelIArchive& ar)
{
    const std::uint64_t count = ReadCount(ar, kObserverSize);
    std::vector<std::int32_t> eventTypes;
    for (std::uint64_t i = 0; i < count; ++i)
    {
        std::int32_t type = 0;
        ReadField(ar, kObserverEventType, type);
        // Only these types are walked when an observer goes away; any other would keep a dangling pointer.
        if (type < 0 || type > kLastEventType)
            ar.Fail(kObserverEventType, "event type " + std::to_string(type) + " is out of range");
        eventTypes.push_back(type);
    }
    return eventTypes;
}

void WriteObjectRecord(LevelOArchive& ar, const GameObject* object)
{
    if (object == nullptr)
    {
        WriteField(ar, kObjectId, kEmptyRecordId);
        return;
    }
    WriteObjectRecord(ar, *object, object->family.ToVector());
}

void WriteObjectRecord(LevelOArchive& ar, const GameObject& object, const std::vector<std::uint32_t>& family)
{
    WriteField(ar, kObjectId, object.id);
    WriteField(ar, kTag, static_cast<std::int32_t>(object.tag));
    WriteField(ar, kFlags, object.flags);
    WriteField(ar, kName, object.name);
    WriteSet(ar, kComponents, object.componentTypes.ToSet());
    WriteSet(ar, kScripts, object.scriptTypes.ToSet());
    WriteVector(ar, LevelElements::kChildren, family);
}

void WriteComponentRecord(LevelOArchive& ar, const Component* component, std::uint32_t owner, bool versioned)
{
    if (component == nullptr)
    {
        std::cout << "NULL COMPONENT WHEN SERIALIZING\n";
        WriteField(ar, kComponentType, std::string(kNullComponent));
        return;
    }
    WriteField(ar, kComponentType, component->GetName());
    WriteField(ar, kComponentParent, owner);
    if (versioned)
        WriteField(ar, kVersionNumber, component->GetDataVersion());
    component->Save(ar);
}

void WriteScriptRecord(LevelOArchive& ar, const Script* script, std::uint32_t owner, bool versioned)
{
    if (script == nullptr)
    {
        std::cout << "NULL SCRIPT WHEN SERIALIZING\n";
        WriteField(ar, kScriptName, std::string(kNullScript));
        WriteField(ar, kScriptParent, std::uint32_t{0});
        return;
    }
    WriteField(ar, kScriptName, script->GetName());
    WriteField(ar, kScriptParent, owner);
    if (versioned)
        WriteField(ar, kVersionNumber, script->GetDataVersion());
    script->Save(ar);
    WriteObserverList(ar, script->SubscribedTypes());
}

namespace
{
template <typename EventTypes> void WriteEventTypes(LevelOArchive& ar, const EventTypes& eventTypes)
{
    WriteField(ar, kObserverSize, static_cast<std::uint32_t>(eventTypes.size()));
    for (std::int32_t type : eventTypes)
        WriteField(ar, kObserverEventType, type);
}
} // namespace

void WriteObserverList(LevelOArchive& ar, const std::set<std::int32_t>& eventTypes)
{
    WriteEventTypes(ar, eventTypes);
}

void WriteObserverList(LevelOArchive& ar, const EventTypeSet& eventTypes)
{
    WriteEventTypes(ar, eventTypes);
}

namespace
{
template <typename EventTypes> void SubscribeToExactly(Observer& observer, const EventTypes& eventTypes)
{
    const EventTypeSet current = observer.SubscribedTypes();
    for (std::int32_t type : current)
        observer.Unsubscribe(type);
    for (std::int32_t type : eventTypes)
        observer.Subscribe(type);
}
} // namespace

void SubscribeExactly(Observer& observer, const std::vector<std::int32_t>& eventTypes)
{
    SubscribeToExactly(observer, eventTypes);
}

void SubscribeExactlyToSet(Observer& observer, const EventTypeSet& eventTypes)
{
    SubscribeToExactly(observer, eventTypes);
}
