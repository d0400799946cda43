#pragma once
#include <string>

// The "Change Behavior" combo over the factory's behaviour-set names, preselecting behaviorName; sets
// it to the chosen name and returns true when the user picked an entry. Draws an empty list without
// a factory.
bool EditBehaviorCombo(const std::string& label, std::string& behaviorName);

// Fills the object model's behaviour-machine editor hook with the combo.
void InstallBehaviorEditorHook();
