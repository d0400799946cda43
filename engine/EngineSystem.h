#pragma once
#include "NameTables.h"

// Base of every engine-level system: the engine creates, initialises, updates and exits them in order.
class EngineSystem
{
public:
    explicit EngineSystem(SystemType type) : systemType(type) {}
    virtual ~EngineSystem() = default;
    EngineSystem(const EngineSystem&) = delete;
    EngineSystem& operator=(const EngineSystem&) = delete;

    // Start-up work, once every engine system exists.
    virtual void Init() {}
    // Per-frame work; dt in seconds.
    virtual void Update(float dt) { (void)dt; }
    // Shutdown work before destruction.
    virtual void Exit() {}

    SystemType GetSystemType() const { return systemType; }

protected:
    SystemType systemType;
};

// Publishes a system through its process-wide pointer only while that pointer is still empty.
template <typename T> void PublishOnce(T*& globalPointer, T* instance)
{
    if (globalPointer == nullptr)
        globalPointer = instance;
}

// Clears a process-wide pointer when it still points at the instance being destroyed.
template <typename T> void UnpublishIfOwner(T*& globalPointer, const T* instance)
{
    if (globalPointer == instance)
        globalPointer = nullptr;
}
