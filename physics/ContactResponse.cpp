#include "ContactResponse.h"

#include "DebugDraw.h"

#include <cmath>

namespace
{
constexpr Vector4 kTangentColour{0.0f, 1.0f, 0.0f, 1.0f};
constexpr float kTangentLength = 50.0f;
// Static friction always holds a little, even between frictionless bodies.
constexpr float kStaticFrictionFloor = 0.01f;

float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Cross2(const Vector3& r, const Vector3& n)
{
    return r.x * n.y - r.y * n.x;
}

bool IsFinite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The velocity of a body's point at arm r: its linear velocity plus w x r, w in radians per second.
Vector3 PointVelocity(const ContactBody& body, const Vector3& arm)
{
    const float w = body.angularVelocity / 180.0f * kResponsePi;
    return {body.velocity.x - w * arm.y, body.velocity.y + w * arm.x, body.velocity.z};
}

Vector3 SplitByMass(const Vector3& impulse, float mass, float totalMass)
{
    return {impulse.x * mass / totalMass, impulse.y * mass / totalMass, impulse.z * mass / totalMass};
}

void ApplyIfFinite(ContactBody& body, const Vector3& impulse, const Vector3& arm)
{
    if (IsFinite(impulse))
        ApplyImpulseTo(body, impulse, arm);
}
} // namespace

void ApplyImpulseTo(ContactBody& body, const Vector3& impulse, const Vector3& arm)
{
    body.velocity = body.velocity + impulse * body.inverseMass;
    if (body.canRotate)
        body.angularVelocity += body.inverseInertia * Cross2(arm, impulse) * 180.0f / kImpulsePi;
}

bool ResolveContactBodies(const ContactRecord& record, ContactBody& a, ContactBody& b)
{
    const float iA = a.inverseMass;
    const float iB = b.inverseMass;
    if (iA + iB == 0.0f)
        return false;
    const Vector3& n = record.normal;
    const Vector3& c = record.point;

    // Step 1: relative velocity at the contact point.
    const Vector3 rA = c - a.translation;
    const Vector3 rB = c - b.translation;
    const Vector3 v = PointVelocity(b, rB) - PointVelocity(a, rA);

    // Step 2: normal impulse, applied whatever the sign of v.n (separating pairs are pulled together).
    const float kA = a.inverseInertia;
    const float kB = b.inverseInertia;
    const float rAn = Cross2(rA, n);
    const float rBn = Cross2(rB, n);
    const float normalMass = kA * rAn * rAn + kB * rBn * rBn + iA + iB;
    const float e = (a.restitution + b.restitution) * 0.5f + 1.0f;
    const float j = -(e * Dot(v, n)) / normalMass;

    // Step 3: friction along the tangent.
    Vector3 t = v - n * Dot(v, n);
    NormalizeXY(t);
    GetDebugDraw().Line(c, c + t * kTangentLength, kTangentColour);
    const float rAt = Cross2(rA, t);
    const float rBt = Cross2(rB, t);
    const float jt = -Dot(v, t) / (kA * rAt * rAt + kB * rBt * rBt + iA + iB);
    const float s = (a.staticFriction + b.staticFriction) * 0.5f + kStaticFrictionFloor;
    const Vector3 friction =
        std::fabs(s * j) > std::fabs(jt) ? t * jt : t * ((a.dynamicFriction + b.dynamicFriction) * 0.5f * j);

    // Step 4: the normal impulse is split by mass and then scaled by the inverse mass again; equal balls
    // meeting head-on nearly stop, which the game was tuned with.
    const Vector3 impulse = n * j;
    const float totalMass = a.mass + b.mass;
    ApplyIfFinite(a, SplitByMass(impulse * -1.0f, a.mass, totalMass), rA);
    ApplyIfFinite(a, friction * -1.0f, rA);
    ApplyIfFinite(b, SplitByMass(impulse, b.mass, totalMass), rB);
    ApplyIfFinite(b, friction, rB);

    // Step 5: positional correction removes the whole overlap, shared by inverse mass.
    const float p = record.depth / (iA + iB);
    const Vector3 moveA = n * p * iA;
    const Vector3 moveB = n * p * iB;
    if (IsFinite(moveA) && IsFinite(moveB))
    {
        a.translation = a.translation - moveA;
        b.translation = b.translation + moveB;
    }
    return true;
}
