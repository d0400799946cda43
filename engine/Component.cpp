#include "Component.h"

#include "ClassNames.h"

Component::Component(std::string name_, std::uint32_t typeId_, std::uint32_t ownerId)
    : name(&InternClassName(std::move(name_))), typeId(typeId_), owner(ownerId)
{
}

void Component::SetOwner(std::uint32_t ownerId)
{
    owner = ownerId;
}

std::unique_ptr<Component> Component::Load(LevelIArchive& archive)
{
    (void)archive;
    return Clone();
}

void Component::Save(LevelOArchive& archive) const
{
    (void)archive;
}

void Component::DrawEditor() {}

std::uint32_t Component::GetVersion() const
{
    return 0;
}
