#include "Script.h"

#include "ClassNames.h"

Script::Script(std::string name_, std::uint32_t typeId_, std::uint32_t ownerId)
    : name(&InternClassName(std::move(name_))), typeId(typeId_), owner(ownerId)
{
}

void Script::OnNotify(Event* event)
{
    (void)event;
}

void Script::Update(float dt)
{
    (void)dt;
}

void Script::Init() {}

void Script::Exit() {}

std::unique_ptr<Script> Script::Load(LevelIArchive& archive)
{
    (void)archive;
    return Clone();
}

void Script::Save(LevelOArchive& archive) const
{
    (void)archive;
}

std::uint32_t Script::GetVersion() const
{
    return 0;
}
