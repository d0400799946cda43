#pragma once
#include "Component.h"
#include "Math.h"
#include "Metadata.h"

#include <cstdint>
#include <memory>

// Gives an object mass, velocity and rotation. Mass and inertia are never settings: they follow the
// density and the owner's Transform scale at every call, so resizing an object changes its mass at once;
// the stored values are caches.
class RigidBody : public Component
{
  public:
    static constexpr const char* kClassName = "RigidBody";
    // Gravity is a velocity change per physics step, not per second.
    static constexpr float kDefaultGravityScale = -10.0f;

    // A body of the substance (0..9, else std::out_of_range) with no owner and every cache at 0.
    explicit RigidBody(std::int32_t substance = 0);
    // The same, then mass and inertia computed at once from the owner's Transform.
    RigidBody(std::uint32_t ownerId, std::int32_t substance);

    // A copy of every field but the owner.
    std::unique_ptr<Component> Clone() const override;
    // Reads the saved caches, the substance and the reflected fields; throws LevelFormatError.
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    void Save(LevelOArchive& archive) const override;
    // The substance list, the density and restitution lines, then the reflected fields.
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return 1; }

    // scale x * density * scale y of the owner; stored.
    float ComputeMass();
    // 1 / mass, or 0 when the mass is exactly 0; stored.
    float ComputeInverseMass();
    // Returns the inverse inertia: 0 when the body cannot rotate (the inertia then keeps its last value).
    float ComputeInertia();
    // The same three with the owner's scale already at hand, as the collision step has it.
    float ComputeMass(const Vector3& ownerScale);
    float ComputeInverseMass(const Vector3& ownerScale);
    float ComputeInertia(const Vector3& ownerScale);
    // Adds an impulse at an arm relative to the owner's translation; the angular part only when the body
    // can rotate.
    void ApplyImpulse(const Vector3& impulse, const Vector3& arm);
    // The same with the owner's scale already at hand.
    void ApplyImpulse(const Vector3& impulse, const Vector3& arm, const Vector3& ownerScale);
    // Makes the body of the Modular substance with this density and restitution; recomputes only the mass.
    void SetDensity(float density, float restitution);
    // The editor's substance pick: copies the row, recomputes only the mass and clears both frictions.
    void ChangeSubstance(std::int32_t substance);

    Vector3& GetVelocity() { return velocity; }
    const Vector3& GetVelocity() const { return velocity; }
    void SetVelocity(const Vector3& v) { velocity = v; }
    float GetAngularVelocity() const { return angularVelocity; }
    // Ignored unless the body can rotate.
    void SetAngularVelocity(float degreesPerSecond);
    float GetStaticFriction() const { return staticFriction; }
    void SetStaticFriction(float f) { staticFriction = f; }
    float GetDynamicFriction() const { return dynamicFriction; }
    void SetDynamicFriction(float f) { dynamicFriction = f; }
    bool GetStatic() const { return isStatic; }
    void SetStatic(bool s) { isStatic = s; }
    bool GetCanRotate() const { return canRotate; }
    void SetCanRotate(bool c) { canRotate = c; }
    float GetGravityScale() const { return gravityScale; }
    void SetGravityScale(float g) { gravityScale = g; }

    // Force and torque accumulate until the next motion step consumes and clears them.
    Vector3& GetForce() { return force; }
    void AddForce(const Vector3& f) { force = force + f; }
    float GetTorque() const { return torque; }
    void AddTorque(float t) { torque += t; }
    void ClearForces();

    // The owner's translation before the last motion step.
    const Vector3& GetPreviousPosition() const { return previousPosition; }
    void SetPreviousPosition(const Vector3& p) { previousPosition = p; }

    std::int32_t GetSubstance() const { return substance; }
    float GetDensity() const { return density; }
    float GetRestitution() const { return restitution; }
    // The caches as last computed (or loaded).
    float GetMass() const { return mass; }
    float GetInverseMass() const { return inverseMass; }
    float GetInertia() const { return inertia; }
    float GetInverseInertia() const { return inverseInertia; }

    // The reflected fields in their XML order, all from data version 1.
    static const DescriptorList<RigidBody>& Descriptors();

  private:
    RigidBody(const RigidBody&) = default;
    RigidBody& operator=(const RigidBody&) = default;
    // The owner's Transform scale; 0, 0 without an owner or a Transform.
    Vector3 OwnerScale() const;
    // Copies a substance row into the body.
    void TakeSubstance(std::int32_t substance);

    Vector3 previousPosition;
    std::int32_t substance = 0;
    float density = 0.0f;
    float restitution = 0.0f;
    float mass = 0.0f;
    float inverseMass = 0.0f;
    float inertia = 0.0f;
    float inverseInertia = 0.0f;
    Vector3 velocity;
    Vector3 force;
    float torque = 0.0f;
    bool isStatic = false;
    float angularVelocity = 0.0f;
    float staticFriction = 0.0f;
    float dynamicFriction = 0.0f;
    bool canRotate = true;
    float gravityScale = kDefaultGravityScale;
};

class GameObject;

// The object's rigid body, or null when it has none (or no object is given).
RigidBody* GetRigidBody(const GameObject* object);
