#include "StandInBehaviors.h"

std::unique_ptr<State> StandInState::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<StandInState>(*this);
    copy->TakeContext(contextName);
    return copy;
}
