#pragma once

class CCSMFactory;

// Registers one prototype of every state and command class with the factory, in the order the game
// has always registered them. Each gameplay feature replaces its own lines as its classes land.
void RegisterBehaviorPrototypes(CCSMFactory& factory);
