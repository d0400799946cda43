#pragma once
#include <string>

// The one stored copy of a class name. Components and scripts keep a pointer to it instead of a string of
// their own, so a copy of an instance allocates nothing for its name. The copy lives until the program
// ends, also through static destruction.
const std::string& InternClassName(std::string name);
