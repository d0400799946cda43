#pragma once
#include "ArchiveFwd.h"
#include "EventTypeSet.h"
#include "RegistryStorage.h"
#include "TypeIds.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Component;
class GameObject;
class GameObjectFactory;
class Observer;
class Script;

// The records that level and module files share: objects, components, scripts and observer lists. Readers
// build detached instances that touch no registry, system or event set; installing them is the caller's.

// A component map read from a file and not installed yet, by type id. Slots rather than a tree: a large
// level stages thousands of these, and committing it then frees no node per component.
using StagedComponents = TypeSlots<Component, ComponentTypeId::kCount>;

// A script read from a file, with the event types it was subscribed to; not subscribed yet.
struct StagedScript
{
    std::unique_ptr<Script> script; // null for a "null_script" record
    std::uint32_t savedOwner = 0;
    EventTypeSet eventTypes;
};

// A script map read from a file and not installed yet, by type id.
using StagedScripts = std::map<std::uint32_t, StagedScript>;

// The id an empty object record stores.
inline constexpr std::uint32_t kEmptyRecordId = 4294967295u;

// The running object factory; throws std::logic_error when there is none, before anything changes.
GameObjectFactory& RequireFactory();

// Registers a component family: a record whose "Component_Type" is familyName carries the element
// selectorElement right after its header, naming the class to load. Registering twice changes nothing.
void RegisterComponentFamily(const std::string& familyName, const std::string& selectorElement);
// Forgets every family: a clean start for tests.
void ResetComponentFamilies();

// Level and module files larger than this are refused as malformed.
inline constexpr std::size_t kMaxLevelFileBytes = 64u * 1024u * 1024u;

// The strict archive over a whole file held in memory. Stopping before the end of the file is safe.
class LevelSourceReader
{
  public:
    // Reads the archive header; throws LevelFormatError for a file that is too large or no level archive.
    LevelSourceReader(const std::string& bytes, const std::string& source);
    ~LevelSourceReader();
    LevelSourceReader(const LevelSourceReader&) = delete;
    LevelSourceReader& operator=(const LevelSourceReader&) = delete;

    LevelIArchive& Archive() { return *archive; }

  private:
    std::unique_ptr<std::istringstream> stream;
    std::unique_ptr<LevelIArchive> archive;
};

// Reads one object record; null for an empty record. Throws LevelFormatError.
std::unique_ptr<GameObject> ReadObjectRecord(LevelIArchive& ar);
// Reads one component record into a fresh copy of its class's prototype; null for a "NULL COMPONENT"
// record. The component carries its class version and the saved owner.
std::unique_ptr<Component> ReadComponentRecord(LevelIArchive& ar, bool versioned);
// Reads one script record and its observer list; a "null_script" record leaves the script null.
StagedScript ReadScriptRecord(LevelIArchive& ar, bool versioned);

// Writes one object record; null writes the empty record.
void WriteObjectRecord(LevelOArchive& ar, const GameObject* object);
// Writes one object record with the given family list in place of the object's.
void WriteObjectRecord(LevelOArchive& ar, const GameObject& object, const std::vector<std::uint32_t>& family);
// Writes one component record with the given owner id; null writes the "NULL COMPONENT" record.
// Unversioned records carry no "Version_Number".
void WriteComponentRecord(LevelOArchive& ar, const Component* component, std::uint32_t owner,
                          bool versioned = true);
// Writes one script record with the given owner id and its observer list; null writes the "null_script"
// record.
void WriteScriptRecord(LevelOArchive& ar, const Script* script, std::uint32_t owner, bool versioned = true);
// Writes "Observer_Size" and one "Observer_EventType" per type, ascending.
void WriteObserverList(LevelOArchive& ar, const std::set<std::int32_t>& eventTypes);
void WriteObserverList(LevelOArchive& ar, const EventTypeSet& eventTypes);
// Reads an observer list; types outside 0..20 are malformed.
std::vector<std::int32_t> ReadObserverList(LevelIArchive& ar);

// Unsubscribes the observer from everything and subscribes it to exactly these types.
void SubscribeExactly(Observer& observer, const std::vector<std::int32_t>& eventTypes);
// The same from a staged record's type set.
void SubscribeExactlyToSet(Observer& observer, const EventTypeSet& eventTypes);
