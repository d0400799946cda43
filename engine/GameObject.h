#pragma once
#include "Component.h"
#include "FamilyList.h"
#include "Script.h"
#include "TypeIdSet.h"

#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

// Debug and sanitizer builds check every static downcast against dynamic_cast.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
#define GLIMMOCK_CHECK_CASTS 1
#endif

// An object's role; gameplay finds players, balls and goals by it.
using Tag = std::uint32_t;
inline constexpr Tag kTagUntagged = 0;
inline constexpr Tag kTagPlatform = 1;
inline constexpr Tag kTagPlayer = 2;
inline constexpr Tag kTagBall = 3;
inline constexpr Tag kTagGoal = 4;
inline constexpr Tag kTagSideWall = 5;
inline constexpr Tag kTagMatchManager = 6;
inline constexpr Tag kTagHud = 7;
inline constexpr Tag kTagMenu = 8;
inline constexpr Tag kTagMenuButton = 9;

// Object flag bits.
inline constexpr std::uint32_t kFlagQueuedForDestruction = 1u << 0;
// Its transform changed this frame.
inline constexpr std::uint32_t kFlagDirty = 1u << 1;
// Skipped by the drawing systems, the behaviour machines and the physics step.
inline constexpr std::uint32_t kFlagHidden = 1u << 2;
// Only a template for a prefab; never in the object table.
inline constexpr std::uint32_t kFlagPrefabPrototype = 1u << 3;
// Skipped by the physics step.
inline constexpr std::uint32_t kFlagNoPhysics = 1u << 4;

// A record that owns nothing but its identity: its components and scripts live in the registries,
// keyed by its id. A plain record: the factory and the level reader set its fields directly.
class GameObject
{
  public:
    static constexpr const char* kDefaultName = "Default";

    explicit GameObject(std::string name = kDefaultName);
    // A copy of a prototype: id 0, one-entry family; flags, tag, name and type sets copied.
    GameObject(const GameObject& prototype);
    GameObject& operator=(const GameObject&) = delete;

    // The registered component of the type, or null (also when the type is not in the object's set).
    Component* GetComponent(std::uint32_t typeId) const;
    // The registered script of the type, or null.
    Script* GetScript(std::uint32_t typeId) const;
    // GetComponent as the concrete class, or null when absent or of another class.
    template <typename T> T* GetComponentAs(std::uint32_t typeId) const
    {
        return CastTo<T>(GetComponent(typeId));
    }
    // GetScript as the concrete class, or null.
    template <typename T> T* GetScriptAs(std::uint32_t typeId) const { return CastTo<T>(GetScript(typeId)); }

    // Stores a clone of the component (the caller keeps its instance, whose owner becomes this object)
    // and registers the object with the systems. Refused for a prefab prototype and for a second
    // component of one type ("Tried to set a component twice.\n").
    void AddComponent(Component& component);
    // The same for scripts ("Tried to set a script twice.\n"); the clone's Init is not called.
    void AddScript(Script& script);

    // Replaces the name.
    void SetName(const std::string& newName) { name = newName; }
    // true marks the object and, depth first, its children and their transforms dirty; false clears
    // only this object's bit. A cycle in the family lists ends.
    void SetDirty(bool dirty);

    bool HasFlag(std::uint32_t flag) const { return (flags & flag) != 0; }
    void SetFlag(std::uint32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }
    bool IsQueuedForDestruction() const { return HasFlag(kFlagQueuedForDestruction); }
    // The parent's id, 0 for none.
    std::uint32_t GetParent() const { return family.empty() ? 0 : family.front(); }

    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    Tag tag = kTagUntagged;
    std::string name;
    TypeIdSet componentTypes;
    TypeIdSet scriptTypes;
    // Entry 0 is the parent's id (0 = none); the entries after it are the children's ids.
    FamilyList family;

  private:
    // A type id almost always holds one class, so a downcast checks the instance's class against the ones
    // already seen to be T or derived from it and casts statically; only a class met for the first time
    // pays for dynamic_cast. Test doubles that share a type id with a real class thus still yield null.
    template <typename T, typename Base> static T* CastTo(Base* instance)
    {
        if (instance == nullptr)
            return nullptr;
        static const std::type_info* knownClasses[kKnownClassCount] = {};
        const std::type_info* actual = &typeid(*instance);
        for (const std::type_info* known : knownClasses)
        {
            if (known == actual)
            {
                T* cast = static_cast<T*>(instance);
#ifdef GLIMMOCK_CHECK_CASTS
                CheckCast(cast == dynamic_cast<T*>(instance));
#endif
                return cast;
            }
        }
        T* cast = dynamic_cast<T*>(instance);
        if (cast != nullptr)
        {
            for (std::size_t i = kKnownClassCount - 1; i > 0; --i)
                knownClasses[i] = knownClasses[i - 1];
            knownClasses[0] = actual;
        }
        return cast;
    }
    static void CheckCast(bool agrees);
    static constexpr std::size_t kKnownClassCount = 4;
};
