#pragma once
#include "ArchiveFwd.h"
#include "VersionedClass.h"

#include <cstdint>
#include <memory>
#include <string>

// Base of every component: data attached to one game object and read by the component systems.
// A concrete class registers its prototype (Prototypes.h) at the end of its own non-copy constructor.
class Component : public VersionedClass
{
  public:
    // name: the class name (prototype key and level-file type); the data version starts at 0.
    Component(std::string name, std::uint32_t typeId, std::uint32_t ownerId = 0);
    virtual ~Component() = default;

    // Stores the id of the owning object.
    virtual void SetOwner(std::uint32_t ownerId);
    // A new heap copy with the same fields, name, type id and owner.
    virtual std::unique_ptr<Component> Clone() const = 0;
    // Reads the class's elements into this instance and returns a clone of it; reads nothing by default.
    virtual std::unique_ptr<Component> Load(LevelIArchive& archive);
    // Writes the class's elements; nothing by default.
    virtual void Save(LevelOArchive& archive) const;
    // Draws the editor widgets of every reflected field; nothing by default.
    virtual void DrawEditor();
    // The class's current data version.
    virtual std::uint32_t GetVersion() const;

    const std::string& GetName() const { return *name; }
    std::uint32_t GetTypeId() const { return typeId; }
    std::uint32_t GetOwner() const { return owner; }

  protected:
    Component(const Component&) = default;
    Component& operator=(const Component&) = default;

    // The interned class name (ClassNames.h): copies share it.
    const std::string* name;
    std::uint32_t typeId;
    std::uint32_t owner;
};
