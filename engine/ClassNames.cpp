#include "ClassNames.h"

#include <unordered_set>

const std::string& InternClassName(std::string name)
{
    // Never destroyed: prototypes are deleted during static destruction and may still be asked their name.
    static auto* names = new std::unordered_set<std::string>();
    return *names->insert(std::move(name)).first;
}
