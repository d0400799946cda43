#include "State.h"

#include "CCSMFactory.h"

#include <algorithm>

bool State::Allows(CommandId command) const
{
    return std::find(allowedCommands.begin(), allowedCommands.end(), command) != allowedCommands.end();
}

void State::TakeContext(const std::string& name)
{
    CommandContext context = gCCSMFactory != nullptr ? gCCSMFactory->GetContext(name) : CommandContext{};
    contextName = std::move(context.name);
    allowedCommands = std::move(context.allowedCommands);
}

std::unique_ptr<State> NullState::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<NullState>(*this);
    copy->TakeContext(contextName);
    return copy;
}
