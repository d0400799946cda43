#pragma once
#include "BehaviorIds.h"

#include <cstdint>
#include <memory>

class CCSM;

// A unit of work a behaviour machine runs over one or more updates once its top state accepts it.
// The status picks which of Execute, Update or Cancel runs next; a result of 1 finishes it.
class Command
{
  public:
    explicit Command(CommandId id) : id(id) {}
    virtual ~Command() = default;

    // A new copy of the same class with every field (owner, id, status and the subclass's own).
    virtual std::unique_ptr<Command> Clone() const = 0;
    // Runs once after the copy is stored in a machine and given its owner.
    virtual void Init() { SetStatus(csFinished); }
    // Runs just before the machine deletes the command.
    virtual void Shutdown() {}
    // Runs each update while the status is Execute; 1 means finished.
    virtual std::int32_t Execute(float dt)
    {
        (void)dt;
        return 1;
    }
    // Runs each update while the status is Cancel; 1 means finished.
    virtual std::int32_t Cancel(float dt)
    {
        (void)dt;
        return 1;
    }
    // Runs each update while the status is Update; 1 means finished.
    virtual std::int32_t Update(float dt)
    {
        (void)dt;
        return 1;
    }
    // Stores the status (a CommandStatus value).
    virtual void SetStatus(std::uint32_t newStatus) { status = newStatus; }

    CommandId GetId() const { return id; }
    std::uint32_t GetStatus() const { return status; }
    // The machine that holds this command; null for a factory prototype.
    CCSM* GetOwner() const { return owner; }
    void SetOwner(CCSM* machine) { owner = machine; }

  protected:
    Command(const Command&) = default;
    Command& operator=(const Command&) = default;

    CCSM* owner = nullptr;
    CommandId id;
    std::uint32_t status = csFinished;
};

// Command 0: accepted like any other, does nothing, and keeps status Finished whatever it is told, so a
// queued Null command is freed at the next update.
class NullCommand : public Command
{
  public:
    NullCommand() : Command(kCommandNull) {}

    std::unique_ptr<Command> Clone() const override { return std::make_unique<NullCommand>(*this); }
    void Init() override {}
    void Shutdown() override {}
    void SetStatus(std::uint32_t newStatus) override { (void)newStatus; }
};
