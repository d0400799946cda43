#include "CircleCollider.h"

#include "LevelIArchive.h"
#include "Prototypes.h"

CircleCollider::CircleCollider(std::uint32_t ownerId) : Collider(ownerId)
{
    // A placeholder: the narrow phase replaces it with the axis toward the other shape.
    axes = {{0.0f, 0.0f, 0.0f}};
    localPoints = {{radius, 0.0f, 0.0f}};
    RegisterComponentPrototype(kClassName, *this);
}

std::unique_ptr<Component> CircleCollider::Clone() const
{
    return std::unique_ptr<Component>(new CircleCollider(*this));
}

std::unique_ptr<Component> CircleCollider::Load(LevelIArchive& archive)
{
    // Read into a copy, so that a malformed record leaves this instance as it was.
    CircleCollider read(*this);
    read.LoadCommon(archive);
    LoadFields(Descriptors(), archive, read);
    *this = read;
    return Clone();
}

void CircleCollider::Save(LevelOArchive& archive) const
{
    SaveCommon(archive, kClassName);
    SaveFields(Descriptors(), archive, *this);
}

void CircleCollider::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

Bounds CircleCollider::ComputeBounds(const Matrix3& world)
{
    return CircleBounds(localPoints.front(), world, worldPoints);
}

void CircleCollider::SetRadius(float newRadius)
{
    radius = newRadius;
    localPoints.front().x = newRadius;
}

const DescriptorList<CircleCollider>& CircleCollider::Descriptors()
{
    static const DescriptorList<CircleCollider> descriptors = []
    {
        using Circle = CircleCollider;
        DescriptorList<Circle> list;
        list.push_back(std::make_unique<Metabool<Circle>>(
            "Resolution", FieldOptions{.firstVersion = 1}, &Circle::GetResolution,
            [](Circle& c, const bool& r) { c.SetResolution(r); }));
        list.push_back(std::make_unique<Metafloat<Circle>>(
            "Radius", FieldOptions{.firstVersion = 1, .step = 0.1f, .minimum = 0.0f, .maximum = 10000.0f},
            &Circle::GetRadius, [](Circle& c, const float& r) { c.SetRadius(r); }));
        return list;
    }();
    return descriptors;
}
