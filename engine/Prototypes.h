#pragma once
#include "Component.h"
#include "Script.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// One inert default instance per class, by class name: the class registry in which the level reader
// finds a class by its saved name and into which it loads.
using ComponentPrototypeMap = std::map<std::string, std::unique_ptr<Component>>;
using ScriptPrototypeMap = std::map<std::string, std::unique_ptr<Script>>;

// Stores a clone of the instance under its class name, unless a prototype is stored there already.
// Call it last in the most-derived, non-copy constructor (never from a base or copy constructor).
void RegisterComponentPrototype(const Component& instance);
// The same under an explicit key (the colliders: "BoxCollider" and "CircleCollider", both named "Collider").
void RegisterComponentPrototype(const std::string& key, const Component& instance);
// Stores a clone of the script under its class name, unless one is stored there already.
void RegisterScriptPrototype(const Script& instance);

// The stored prototype of a class, or null.
Component* FindComponentPrototype(const std::string& key);
Script* FindScriptPrototype(const std::string& key);

// The maps themselves, for the level reader and writer.
ComponentPrototypeMap& ComponentPrototypes();
ScriptPrototypeMap& ScriptPrototypes();

// Takes an observer out of every event type, so a stored template never answers events.
void MakeObserverInert(Observer& observer);

// Deletes every stored prototype (the factory's Exit, and tests); the registrations can then run afresh.
void ResetPrototypes();

// The start-up list of per-subsystem registrations, each constructing every class it owns once. It
// starts with RegisterEnginePrototypes (Transform, TimeManipulator).
using PrototypeRegistration = void (*)();
// Adds a registration to the end of the list; adding one twice keeps one.
void AddPrototypeRegistration(PrototypeRegistration registration);
// Runs every registration in list order; running the list twice changes nothing.
void RunPrototypeRegistrations();
// The registrations in list order.
const std::vector<PrototypeRegistration>& PrototypeRegistrations();
