#include "BoxCollider.h"

#include "LevelIArchive.h"
#include "Prototypes.h"

BoxCollider::BoxCollider() : BoxCollider(0u) {}

BoxCollider::BoxCollider(std::uint32_t ownerId) : Collider(ownerId)
{
    axes = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
    RebuildCorners();
    // Both kinds are named "Collider"; their prototypes are kept apart by class.
    RegisterComponentPrototype(kClassName, *this);
}

std::unique_ptr<Component> BoxCollider::Clone() const
{
    return std::unique_ptr<Component>(new BoxCollider(*this));
}

std::unique_ptr<Component> BoxCollider::Load(LevelIArchive& archive)
{
    // Read into a copy, so that a malformed record leaves this instance as it was.
    BoxCollider read(*this);
    read.LoadCommon(archive);
    LoadFields(Descriptors(), archive, read);
    *this = read;
    return Clone();
}

void BoxCollider::Save(LevelOArchive& archive) const
{
    SaveCommon(archive, kClassName);
    SaveFields(Descriptors(), archive, *this);
}

void BoxCollider::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

void BoxCollider::SetSize(const Vector2& newSize)
{
    size = newSize;
    RebuildCorners();
}

void BoxCollider::SetOffset(const Vector2& newOffset)
{
    offset = newOffset;
    RebuildCorners();
}

void BoxCollider::RebuildCorners()
{
    const float halfW = size.x / 2.0f;
    const float halfH = size.y / 2.0f;
    localPoints = {
        {offset.x + halfW, offset.y + halfH, 0.0f},
        {offset.x + halfW, offset.y - halfH, 0.0f},
        {offset.x - halfW, offset.y + halfH, 0.0f},
        {offset.x - halfW, offset.y - halfH, 0.0f},
    };
}

const DescriptorList<BoxCollider>& BoxCollider::Descriptors()
{
    static const DescriptorList<BoxCollider> descriptors = []
    {
        using Box = BoxCollider;
        DescriptorList<Box> list;
        list.push_back(std::make_unique<Metabool<Box>>("Resolution", FieldOptions{.firstVersion = 1},
                                                       &Box::GetResolution,
                                                       [](Box& b, const bool& r) { b.SetResolution(r); }));
        // "Dimentions" is misspelt in every saved level; keep it.
        list.push_back(std::make_unique<MetaVector2<Box>>(
            "Dimentions", FieldOptions{.firstVersion = 1, .step = 0.1f, .minimum = 0.0f, .maximum = 10000.0f},
            [](const Box& b) { return b.GetSize(); }, [](Box& b, const Vector2& s) { b.SetSize(s); }));
        list.push_back(std::make_unique<MetaVector2<Box>>(
            "Offset", FieldOptions{.firstVersion = 1, .step = 0.1f}, [](const Box& b) { return b.GetOffset(); },
            [](Box& b, const Vector2& o) { b.SetOffset(o); }));
        return list;
    }();
    return descriptors;
}
