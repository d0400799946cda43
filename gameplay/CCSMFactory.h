#pragma once
#include "BehaviorSet.h"
#include "BehaviorTablesData.h"
#include "Command.h"
#include "EngineSystem.h"
#include "State.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// The engine system that holds what behaviour machines are built from: one prototype of each state and
// command class, the command contexts and the behaviour sets. Names match exactly and the first entry
// of a name wins; duplicates are kept, because levels built in code append theirs on every load.
class CCSMFactory : public EngineSystem
{
  public:
    CCSMFactory();
    ~CCSMFactory() override;

    // Registers one prototype of every state and command class.
    void Init() override;
    // Deletes the prototypes; the contexts and sets stay.
    void Exit() override;

    // A copy of the first set of that name, or the default set.
    BehaviorSet GetBehaviorSet(const std::string& name) const;
    // A copy of the first context of that name, or an empty context.
    CommandContext GetContext(const std::string& name) const;
    // The first context of that name for editing in place, or null; valid until the list next changes.
    CommandContext* FindContext(const std::string& name);
    // Appends a context.
    void AddContext(CommandContext context);
    // Appends a behaviour set.
    void AddBehaviorSet(BehaviorSet set);
    // The names of the behaviour sets in list order, duplicates included.
    std::vector<std::string> GetBehaviorNames();
    // Whether the names may have changed since the editor last looked; it stays set once set.
    bool NamesChanged() const { return namesChanged; }

    // Stores a command prototype under its id, deleting the one it replaces; null is ignored.
    void RegisterCommand(std::unique_ptr<Command> prototype);
    // Stores a state prototype under its id, deleting the one it replaces; null is ignored.
    void RegisterState(std::unique_ptr<State> prototype);
    // The prototype of a command id, or null.
    const Command* FindCommandPrototype(CommandId id) const;
    // The prototype of a state id, or null.
    const State* FindStatePrototype(StateId id) const;
    std::size_t CommandPrototypeCount() const { return commandPrototypes.size(); }
    std::size_t StatePrototypeCount() const { return statePrototypes.size(); }

    // Plain copies of the contexts and sets, for the level files.
    BehaviorTablesData GetTables() const;
    // Replaces both lists wholesale (a level file's tables); live machines are rebuilt by RebuildAll.
    void ReplaceTables(const BehaviorTablesData& tables);

    // Back to the freshly initialised state: prototypes registered anew, no contexts, no sets.
    void Reset();

  private:
    std::map<StateId, std::unique_ptr<State>> statePrototypes;
    std::map<CommandId, std::unique_ptr<Command>> commandPrototypes;
    std::vector<CommandContext> contexts;
    std::vector<BehaviorSet> behaviorSets;
    std::vector<std::string> behaviorNames;
    bool namesChanged = true;
};

// The behaviour factory, published by its constructor while no other is.
extern CCSMFactory* gCCSMFactory;
