#pragma once
#include "ArchiveFwd.h"
#include "Observer.h"
#include "VersionedClass.h"

#include <cstdint>
#include <memory>
#include <string>

// Base of every script: per-object logic updated every frame that may observe events. Scripts that
// listen subscribe in Init (and in Clone, for the copy) and unsubscribe in Exit and their destructor.
// A concrete class registers its prototype (Prototypes.h) at the end of its own non-copy constructor.
class Script : public Observer, public VersionedClass
{
  public:
    // name: the class name (prototype key and level-file "Script_Name"); version 0, no subscriptions.
    Script(std::string name, std::uint32_t typeId, std::uint32_t ownerId = 0);
    ~Script() override = default;

    // Reacts to an event of a subscribed type; nothing by default.
    void OnNotify(Event* event) override;
    // A new heap copy with the same fields, name, type id and owner.
    virtual std::unique_ptr<Script> Clone() const = 0;
    // Per-frame work with the object's (possibly scaled) dt; nothing by default.
    virtual void Update(float dt);
    // Start: subscribe to events, find objects and resources; nothing by default.
    virtual void Init();
    // Stop: unsubscribe; nothing by default.
    virtual void Exit();
    // Reads the class's elements into this instance and returns a clone of it; reads nothing by default.
    virtual std::unique_ptr<Script> Load(LevelIArchive& archive);
    // Writes the class's elements; nothing by default.
    virtual void Save(LevelOArchive& archive) const;
    // The class's current data version.
    virtual std::uint32_t GetVersion() const;

    // Stores the id of the owning object.
    void SetOwner(std::uint32_t ownerId) { owner = ownerId; }
    const std::string& GetName() const { return *name; }
    std::uint32_t GetTypeId() const { return typeId; }
    std::uint32_t GetOwner() const { return owner; }

  protected:
    // A copy starts with no subscriptions (Observer); Clone subscribes the copy where the class listens.
    Script(const Script&) = default;
    Script& operator=(const Script&) = default;

    // The interned class name (ClassNames.h): copies share it.
    const std::string* name;
    std::uint32_t typeId;
    std::uint32_t owner;
};
