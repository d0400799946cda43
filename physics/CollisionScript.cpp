#include "CollisionScript.h"

#include "Event.h"

CollisionScript::CollisionScript(std::string name_, std::uint32_t typeId_, std::uint32_t ownerId)
    : Script(std::move(name_), typeId_, ownerId)
{
    Subscribe(evCollision);
}

CollisionScript::CollisionScript(const CollisionScript& other) : Script(other)
{
    Subscribe(evCollision);
}

CollisionScript::~CollisionScript()
{
    Unsubscribe(evCollision);
}

void CollisionScript::OnNotify(Event* event)
{
    if (event == nullptr || event->EventType != evCollision)
        return;
    const auto* collision = dynamic_cast<const CollisionEvent*>(event);
    if (collision == nullptr)
        return;
    if (collision->A == owner)
        OnCollision(owner, collision->B);
    else if (collision->B == owner)
        OnCollision(owner, collision->A);
}

void CollisionScript::Update(float) {}

void CollisionScript::Init()
{
    Subscribe(evCollision);
}

void CollisionScript::Exit()
{
    Unsubscribe(evCollision);
}
