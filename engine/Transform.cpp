#include "Transform.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Prototypes.h"

#include <cmath>

Transform::Transform() : Component(kClassName, kTypeId)
{
    RegisterComponentPrototype(*this);
}

Transform::Transform(float x, float y, float z) : Component(kClassName, kTypeId), translation{x, y, z}
{
    RegisterComponentPrototype(*this);
}

Transform::Transform(const Transform& other)
    : Component(other), translation(other.translation), scale(other.scale), rotation(other.rotation),
      depth(other.depth), worldMatrix(other.worldMatrix), dirty(true)
{
}

std::unique_ptr<Component> Transform::Clone() const
{
    return std::make_unique<Transform>(*this);
}

std::unique_ptr<Component> Transform::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    return Clone();
}

void Transform::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void Transform::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

void Transform::SetTranslation(const Vector3& translation_)
{
    translation = translation_;
    MarkOwnerDirty();
}

void Transform::SetScale(const Vector3& scale_)
{
    scale = scale_;
    MarkOwnerDirty();
}

void Transform::SetRotation(float degrees)
{
    if (degrees <= 0.0f || degrees >= 360.0f)
        degrees = std::fmod(degrees, 360.0f);
    rotation = degrees;
    MarkOwnerDirty();
}

void Transform::SetDepth(float depth_)
{
    depth = depth_;
    MarkOwnerDirty();
}

const Matrix3& Transform::GetWorldMatrix() const
{
    if (dirty)
    {
        worldMatrix = TranslationMatrix(translation.x, translation.y) * RotationMatrix(rotation) *
                      ScaleMatrix(scale.x, scale.y);
        dirty = false;
    }
    return worldMatrix;
}

void Transform::MarkOwnerDirty()
{
    dirty = true;
    if (gGameObjectFactory == nullptr)
        return;
    if (GameObject* object = gGameObjectFactory->GetObject(owner))
        object->SetDirty(true);
}

const DescriptorList<Transform>& Transform::Descriptors()
{
    static const DescriptorList<Transform> descriptors = []
    {
        DescriptorList<Transform> list;
        list.push_back(std::make_unique<MetaVector3<Transform>>(
            "Translation", FieldOptions{.firstVersion = 1, .step = 1.0f}, &Transform::GetTranslation,
            &Transform::SetTranslation));
        list.push_back(std::make_unique<Metafloat<Transform>>(
            "Rotation", FieldOptions{.firstVersion = 1, .step = 0.2f, .minimum = -180.0f, .maximum = 180.0f},
            &Transform::GetRotation, &Transform::SetRotation));
        list.push_back(std::make_unique<MetaVector3<Transform>>(
            "Scale", FieldOptions{.firstVersion = 1, .step = 1.0f}, &Transform::GetScale, &Transform::SetScale));
        list.push_back(std::make_unique<Metafloat<Transform>>(
            "Depth", FieldOptions{.firstVersion = 1, .step = 0.01f, .minimum = 0.0f, .maximum = 1.0f},
            &Transform::GetDepth, &Transform::SetDepth));
        return list;
    }();
    return descriptors;
}
