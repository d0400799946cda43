#pragma once
#include "ContactRecord.h"
#include "Math.h"

// What the contact response reads and changes of one rigid body; the collision checker copies a body's
// values in and writes the changed ones back.
struct ContactBody
{
    Vector3 translation;
    Vector3 velocity;
    float angularVelocity = 0.0f; // degrees per second
    float mass = 0.0f;
    float inverseMass = 0.0f;
    float inverseInertia = 0.0f; // 0 when the body cannot rotate
    float restitution = 0.0f;
    float staticFriction = 0.0f;
    float dynamicFriction = 0.0f;
    bool canRotate = true;
};

// Impulses turn radians into degrees with 180 / 3.141592; the response turns degrees into radians with
// 3.141593. The two differ in the last digit and the game was tuned with both.
inline constexpr float kImpulsePi = 3.141592f;
inline constexpr float kResponsePi = 3.141593f;

// Adds an impulse at an arm (relative to the body's translation) to the velocity and, when the body can
// rotate, to the angular velocity.
void ApplyImpulseTo(ContactBody& body, const Vector3& impulse, const Vector3& arm);

// Impulses along the normal and the tangent, then a positional correction that removes the whole overlap.
// Does nothing when both inverse masses sum to 0; impulses that are not finite are skipped. Draws the
// tangent through the debug sink. Returns false when nothing was applied.
bool ResolveContactBodies(const ContactRecord& record, ContactBody& first, ContactBody& second);
