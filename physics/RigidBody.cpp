#include "RigidBody.h"

#include "ContactResponse.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelIArchive.h"
#include "Prototypes.h"
#include "Substance.h"
#include "Transform.h"
#include "TypeIds.h"

#include <imgui.h>

RigidBody::RigidBody(std::int32_t substanceIndex) : Component(kClassName, ComponentTypeId::kRigidBody)
{
    TakeSubstance(substanceIndex);
    RegisterComponentPrototype(*this);
}

RigidBody::RigidBody(std::uint32_t ownerId, std::int32_t substanceIndex)
    : Component(kClassName, ComponentTypeId::kRigidBody, ownerId)
{
    TakeSubstance(substanceIndex);
    ComputeInverseMass();
    // The can-rotate flag is still true here, so this fills the inertia too.
    ComputeInertia();
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> RigidBody::Clone() const
{
    // Whoever attaches or loads the copy gives it its owner.
    std::unique_ptr<Component> copy(new RigidBody(*this));
    copy->SetOwner(0);
    return copy;
}

void RigidBody::TakeSubstance(std::int32_t substanceIndex)
{
    const Substance& row = ::GetSubstance(substanceIndex);
    substance = row.index;
    density = row.density;
    restitution = row.restitution;
}

Vector3 RigidBody::OwnerScale() const
{
    if (gGameObjectFactory == nullptr)
        return {};
    const GameObject* object = gGameObjectFactory->GetObject(owner);
    const Transform* transform =
        object != nullptr ? object->GetComponentAs<Transform>(ComponentTypeId::kTransform) : nullptr;
    return transform != nullptr ? transform->GetScale() : Vector3();
}

RigidBody* GetRigidBody(const GameObject* object)
{
    return object != nullptr ? object->GetComponentAs<RigidBody>(ComponentTypeId::kRigidBody) : nullptr;
}

float RigidBody::ComputeMass()
{
    return ComputeMass(OwnerScale());
}

float RigidBody::ComputeInverseMass()
{
    return ComputeInverseMass(OwnerScale());
}

float RigidBody::ComputeInertia()
{
    return ComputeInertia(OwnerScale());
}

float RigidBody::ComputeMass(const Vector3& ownerScale)
{
    mass = ownerScale.x * density * ownerScale.y;
    return mass;
}

float RigidBody::ComputeInverseMass(const Vector3& ownerScale)
{
    const float m = ComputeMass(ownerScale);
    inverseMass = m == 0.0f ? 0.0f : 1.0f / m;
    return inverseMass;
}

float RigidBody::ComputeInertia(const Vector3& ownerScale)
{
    if (!canRotate)
    {
        inverseInertia = 0.0f;
        return inverseInertia;
    }
    const float m = ComputeMass(ownerScale);
    inertia = (ownerScale.x * ownerScale.x + ownerScale.y * ownerScale.y) * m / 12.0f;
    inverseInertia = inertia == 0.0f ? 0.0f : 1.0f / inertia;
    return inverseInertia;
}

void RigidBody::ApplyImpulse(const Vector3& impulse, const Vector3& arm)
{
    ApplyImpulse(impulse, arm, OwnerScale());
}

void RigidBody::ApplyImpulse(const Vector3& impulse, const Vector3& arm, const Vector3& ownerScale)
{
    const float m = ComputeInverseMass(ownerScale);
    velocity = velocity + impulse * m;
    if (canRotate)
        angularVelocity +=
            ComputeInertia(ownerScale) * (arm.x * impulse.y - arm.y * impulse.x) * 180.0f / kImpulsePi;
}

void RigidBody::SetDensity(float newDensity, float newRestitution)
{
    density = newDensity;
    restitution = newRestitution;
    substance = kModularSubstance;
    ComputeMass();
}

void RigidBody::ChangeSubstance(std::int32_t substanceIndex)
{
    TakeSubstance(substanceIndex);
    ComputeMass();
    staticFriction = 0.0f;
    dynamicFriction = 0.0f;
}

void RigidBody::SetAngularVelocity(float degreesPerSecond)
{
    if (canRotate)
        angularVelocity = degreesPerSecond;
}

void RigidBody::ClearForces()
{
    force = Vector3();
    torque = 0.0f;
}

namespace
{
// "interia" is misspelt in every saved level; keep it.
constexpr const char* kMassElement = "mass";
constexpr const char* kInverseMassElement = "inverseMass";
constexpr const char* kInertiaElement = "interia";
constexpr const char* kInverseInertiaElement = "inverseInertia";
constexpr const char* kSubstanceElement = "substance_type";
constexpr const char* kDensityElement = "density";
constexpr const char* kRestitutionElement = "restitution";
constexpr const char* kSubstanceCombo = "Change Substance";
} // namespace

std::unique_ptr<Component> RigidBody::Load(LevelIArchive& archive)
{
    // Read into a copy, so that a malformed record leaves this instance as it was.
    RigidBody read(*this);
    ReadField(archive, kMassElement, read.mass);
    ReadField(archive, kInverseMassElement, read.inverseMass);
    ReadField(archive, kInertiaElement, read.inertia);
    ReadField(archive, kInverseInertiaElement, read.inverseInertia);
    // Kept as read even outside the table: it is only ever shown, never used as an index.
    ReadField(archive, kSubstanceElement, read.substance);
    ReadField(archive, kDensityElement, read.density);
    ReadField(archive, kRestitutionElement, read.restitution);
    LoadFields(Descriptors(), archive, read);
    *this = read;
    return Clone();
}

void RigidBody::Save(LevelOArchive& archive) const
{
    WriteField(archive, kMassElement, mass);
    WriteField(archive, kInverseMassElement, inverseMass);
    WriteField(archive, kInertiaElement, inertia);
    WriteField(archive, kInverseInertiaElement, inverseInertia);
    WriteField(archive, kSubstanceElement, substance);
    WriteField(archive, kDensityElement, density);
    WriteField(archive, kRestitutionElement, restitution);
    SaveFields(Descriptors(), archive, *this);
}

void RigidBody::DrawEditor()
{
    int current = substance;
    if (ImGui::Combo(kSubstanceCombo, &current, SubstanceNames(), kSubstanceCount) && current >= 0 &&
        current < kSubstanceCount)
        ChangeSubstance(current);
    ImGui::Text("Density: %f", static_cast<double>(density));
    ImGui::Text("Restitution: %f", static_cast<double>(restitution));
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<RigidBody>& RigidBody::Descriptors()
{
    static const DescriptorList<RigidBody> descriptors = [] {
        using Body = RigidBody;
        DescriptorList<Body> list;
        list.push_back(std::make_unique<Metafloat<Body>>(
            "Static_Friction",
            FieldOptions{.firstVersion = 1, .step = 0.01f, .minimum = 0.0f, .maximum = 1.0f},
            &Body::GetStaticFriction, [](Body& b, const float& f) { b.SetStaticFriction(f); }));
        list.push_back(std::make_unique<Metafloat<Body>>(
            "Dynamic_Friction",
            FieldOptions{.firstVersion = 1, .step = 0.01f, .minimum = 0.0f, .maximum = 1.0f},
            &Body::GetDynamicFriction, [](Body& b, const float& f) { b.SetDynamicFriction(f); }));
        list.push_back(std::make_unique<MetaVector3<Body>>(
            "Velocity", FieldOptions{.firstVersion = 1, .edit = false, .step = 1.0f},
            [](const Body& b) { return b.GetVelocity(); },
            [](Body& b, const Vector3& v) { b.SetVelocity(v); }));
        // Takes effect only when the body can rotate at the moment it is read ("Can_Rotate" comes after).
        list.push_back(std::make_unique<Metafloat<Body>>(
            "Angular_Velocity", FieldOptions{.firstVersion = 1, .edit = false, .step = 1.0f},
            &Body::GetAngularVelocity, [](Body& b, const float& w) { b.SetAngularVelocity(w); }));
        list.push_back(std::make_unique<Metabool<Body>>("Can_Rotate", FieldOptions{.firstVersion = 1},
                                                        &Body::GetCanRotate,
                                                        [](Body& b, const bool& c) { b.SetCanRotate(c); }));
        list.push_back(std::make_unique<Metabool<Body>>("Static", FieldOptions{.firstVersion = 1},
                                                        &Body::GetStatic,
                                                        [](Body& b, const bool& s) { b.SetStatic(s); }));
        list.push_back(std::make_unique<Metafloat<Body>>(
            "Gravity_Scale", FieldOptions{.firstVersion = 1, .step = 0.1f}, &Body::GetGravityScale,
            [](Body& b, const float& g) { b.SetGravityScale(g); }));
        return list;
    }();
    return descriptors;
}
