#pragma once
#include "EngineSystem.h"
#include "GameObject.h"
#include "ObjectIdSet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Component;
class Script;

// A named template object (flag bit 3 set, never in the object table); its components and scripts sit
// in the prefab tables under the same name.
struct Prefab
{
    std::string name;
    std::unique_ptr<GameObject> prototype;
};

// Hands out ids, owns every live object and every prefab, destroys queued objects at the start of its
// update, then runs the component systems after the first two and every script.
class GameObjectFactory : public EngineSystem
{
  public:
    GameObjectFactory();
    ~GameObjectFactory() override;

    // Empty table with the null entry 0, then the component systems.
    void Init() override;
    // The destroy pass, the component systems from index 2 on, then every script.
    void Update(float dt) override;
    // Destroys every object, prefab, component, script, prototype and component system.
    void Exit() override;

    // A new object named "Object_<id>" with a Transform.
    GameObject* CreateObject();
    // A new object made from the named prefab with its own copies of the prefab's components and scripts
    // (and a Transform when it had none); null with a message when no prefab has the name.
    GameObject* CreateFromPrefab(const std::string& prefabName);
    // Takes the object, gives it the most recently freed id (or a new one) and the name "Object_<id>".
    // Components and scripts still filed under that id are deleted first.
    GameObject* RegisterObject(std::unique_ptr<GameObject> object);

    // The object of the id; null for 0, an id past the table or a free id. Queued objects included.
    GameObject* GetObject(std::uint32_t id) const;
    // The live objects with the tag, in id order, skipping those queued for destruction.
    std::vector<GameObject*> GetObjectsWithTag(Tag tag) const;
    // The first live object in id order with exactly this name, skipping those queued for destruction.
    GameObject* GetObjectByName(const std::string& name) const;

    // The one way to queue an object for destruction: sets flag bit 0 and appends the id to the destroy
    // list. Id 0, an id past the table and a free id are ignored.
    void QueueDestroy(std::uint32_t id);
    // Queues every live object.
    void QueueDestroyAll();
    // Runs the destroy pass now: each queued object with its components and scripts, its id freed once.
    void DestroyQueuedObjects();
    // Destroys one object now with its components and scripts, leaving its id unused (not freed).
    void DestroyObjectKeepingId(std::uint32_t id);
    // Destroys every object without freeing ids or touching the registries; the table keeps its length.
    void DestroyAllObjects();
    // Destroys every prefab, last first.
    void DestroyAllPrefabs();

    // Registers a prefab: the prototype (flag bit 3 set here) with the type ids of the given components
    // and scripts, whose clones go to the prefab tables under the name. A second prefab of one name is
    // refused and returns the first.
    GameObject* RegisterPrefab(const std::string& prefabName, std::unique_ptr<GameObject> prototype,
                               const std::vector<const Component*>& components,
                               const std::vector<const Script*>& scripts);
    // Appends a prefab record as it is (the level reader); the prefab tables are not touched.
    Prefab& AddPrefab(const std::string& prefabName, std::unique_ptr<GameObject> prototype);
    // The first prefab of the name, or null.
    Prefab* FindPrefab(const std::string& prefabName) const;

    // Installs an object at exactly its stored id, without renaming or registering it with the systems
    // (the level reader); the table grows as needed and an object already there is replaced.
    GameObject* InstallObject(std::unique_ptr<GameObject> object);
    // Restores the counters the level reader saved.
    void SetLastId(std::uint32_t id) { lastId = id; }
    void SetFreeIds(std::vector<std::uint32_t> ids) { freeIds = std::move(ids); }
    void SetDestroyList(std::vector<std::uint32_t> ids) { destroyList = std::move(ids); }
    // Resizes the object table (entry 0 stays null); entries beyond the new length are destroyed.
    void ResizeTable(std::size_t length);

    std::uint32_t GetLastId() const { return lastId; }
    // Indexed by id; a null entry is a free id.
    const std::vector<std::unique_ptr<GameObject>>& Objects() const { return objects; }
    const std::vector<std::unique_ptr<Prefab>>& Prefabs() const { return prefabs; }
    // The free-id stack, bottom first.
    const std::vector<std::uint32_t>& FreeIds() const { return freeIds; }
    const std::vector<std::uint32_t>& DestroyList() const { return destroyList; }

  private:
    void UpdateComponentSystems(float dt);
    void UpdateScripts(float dt);

    std::uint32_t lastId = 0;
    std::vector<std::unique_ptr<GameObject>> objects;
    std::vector<std::unique_ptr<Prefab>> prefabs;
    std::vector<std::uint32_t> freeIds;
    std::vector<std::uint32_t> destroyList;
    // The ids of the objects with scripts, kept between script passes.
    ObjectIdList scriptOwners;
};

extern GameObjectFactory* gGameObjectFactory;

// Deletes every registered component and script, both prefab tables, every prototype and every component
// system: a clean start for tests, which own their factory themselves.
void ResetObjectModel();
