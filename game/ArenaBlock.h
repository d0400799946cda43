#pragma once
#include "Math.h"

#include <string>

class GameObject;

// Makes a static block of tag 1 in the object factory: a Static-substance body (mass and inertia from
// the scale, inverses 0 where they are 0, no friction), a unit box collider and a sprite painted with the
// named colour texture. The caller may change the tag.
GameObject* CreateBlock(const Vector3& position, const Vector3& scale, const std::string& color);
