#include "TextRenderer.h"
#include "VisibleObjects.h"

#include "Font.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "Graphics.h"
#include "Prototypes.h"
#include "Transform.h"

namespace
{
constexpr Vector4 kBoxLineColour{1.0f, 1.0f, 1.0f, 1.0f};

FieldOptions Options(float step = 0.0f, float minimum = 0.0f, float maximum = 0.0f)
{
    return FromVersion(1, step, minimum, maximum);
}

Material DefaultTextMaterial()
{
    return gGraphics != nullptr && gGraphics->GetMaterials().size() > Graphics::dmText
               ? gGraphics->GetMaterial(Graphics::dmText)
               : Material{};
}
} // namespace

TextRenderer::TextRenderer() : TextRenderer(DefaultTextMaterial()) {}

TextRenderer::TextRenderer(const Material& material_) : Component(kClassName, kTypeId), material(material_)
{
    RegisterComponentPrototype(*this);
}

TextRenderer::TextRenderer(const TextRenderer& other)
    : Component(other), material(other.material), tint(other.tint), depth(other.depth), text(other.text),
      size(other.size), center(other.center), dimensions(other.dimensions), bottomLeft(other.bottomLeft),
      topRight(other.topRight)
{
}

std::unique_ptr<Component> TextRenderer::Clone() const
{
    return std::make_unique<TextRenderer>(*this);
}

std::unique_ptr<Component> TextRenderer::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    return Clone();
}

void TextRenderer::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void TextRenderer::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

void TextRenderer::SetText(const std::string& newText)
{
    text = newText;
    layoutDirty = true;
}

void TextRenderer::SetOrder(std::int32_t newOrder)
{
    material.SetOrder(newOrder);
    for (Material& character : characterMaterials)
        character.SetOrder(newOrder);
}

void TextRenderer::SetSize(float newSize)
{
    size = newSize;
    layoutDirty = true;
}

void TextRenderer::SetCenter(const Vector2& newCenter)
{
    const Vector2 shift = newCenter - center;
    center = newCenter;
    bottomLeft = bottomLeft + shift;
    topRight = topRight + shift;
    layoutDirty = true;
}

void TextRenderer::SetDimensions(const Vector2& newDimensions)
{
    const Vector2 half = (newDimensions - dimensions) * 0.5f;
    dimensions = newDimensions;
    bottomLeft = bottomLeft - half;
    topRight = topRight + half;
    layoutDirty = true;
}

void TextRenderer::SetBottomLeft(const Vector2& corner)
{
    bottomLeft = corner;
    FitBoxToCorners();
}

void TextRenderer::SetTopRight(const Vector2& corner)
{
    topRight = corner;
    FitBoxToCorners();
}

void TextRenderer::FitBoxToCorners()
{
    center = (bottomLeft + topRight) * 0.5f;
    dimensions = topRight - bottomLeft;
    layoutDirty = true;
}

void TextRenderer::Draw(const Vector2& translation, float rotation)
{
    while (characterMaterials.size() < text.size())
    {
        characterMaterials.push_back(material);
    }
    if (layoutDirty)
    {
        characterPositions = LayoutText(text, size, bottomLeft, topRight, Glyphs());
        layoutDirty = false;
    }
    characterPositions.resize(text.size());

    const GlyphTable& glyphs = Glyphs();
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const Glyph* glyph = ResolveGlyph(glyphs, text[i]);
        if (glyph == nullptr)
        {
            continue;
        }
        ShaderData& data = characterMaterials[i].data;
        data.SetVector4("tint", tint);
        data.SetMatrix3("modelWorld",
                        CharacterMatrix(translation, rotation, characterPositions[i], *glyph, size));
        data.SetFloat("depth", depth);
        data.SetUInt("texture", glyph->texture);
        characterMaterials[i].Submit();
    }
}

const DescriptorList<TextRenderer>& TextRenderer::Descriptors()
{
    static const DescriptorList<TextRenderer> list = [] {
        using T = TextRenderer;
        DescriptorList<T> f;
        f.push_back(std::make_unique<MetaText<T>>(
            "Text", Options(), [](const T& t) { return t.GetText(); },
            [](T& t, const std::string& v) { t.SetText(v); }));
        f.push_back(std::make_unique<Metafloat<T>>(
            "Size", Options(0.1f, 1.0f, 256.0f), [](const T& t) { return t.GetSize(); },
            [](T& t, const float& v) { t.SetSize(v); }));
        f.push_back(std::make_unique<MetaColor<T>>(
            "Tint", Options(), [](const T& t) { return t.GetTint(); },
            [](T& t, const Vector4& v) { t.SetTint(v); }));
        f.push_back(std::make_unique<MetaVector2<T>>(
            "Center", Options(1.0f), [](const T& t) { return t.GetCenter(); },
            [](T& t, const Vector2& v) { t.SetCenter(v); }));
        // "Dimentions" is the name level files carry.
        f.push_back(std::make_unique<MetaVector2<T>>(
            "Dimentions", Options(1.0f), [](const T& t) { return t.GetDimensions(); },
            [](T& t, const Vector2& v) { t.SetDimensions(v); }));
        f.push_back(std::make_unique<MetaVector2<T>>(
            "Bottom_Left", Options(1.0f), [](const T& t) { return t.GetBottomLeft(); },
            [](T& t, const Vector2& v) { t.SetBottomLeft(v); }));
        f.push_back(std::make_unique<MetaVector2<T>>(
            "Top_Right", Options(1.0f), [](const T& t) { return t.GetTopRight(); },
            [](T& t, const Vector2& v) { t.SetTopRight(v); }));
        f.push_back(std::make_unique<Metafloat<T>>(
            "Depth", Options(0.01f, 0.0f, 1.0f), [](const T& t) { return t.GetDepth(); },
            [](T& t, const float& v) { t.SetDepth(v); }));
        return f;
    }();
    return list;
}

TextRenderer* GetTextRenderer(const GameObject& object)
{
    return object.GetComponentAs<TextRenderer>(TextRenderer::kTypeId);
}

TextRendererSystem::TextRendererSystem()
    : System("TextRendererSystem", {TextRenderer::kTypeId, Transform::kTypeId})
{
}

void TextRendererSystem::Update(float)
{
    ForEachVisibleObject(*this, [&](GameObject& object) {
        const auto* transform = object.GetComponentAs<Transform>(Transform::kTypeId);
        TextRenderer* textRenderer = GetTextRenderer(object);
        if (transform == nullptr || textRenderer == nullptr)
        {
            return;
        }
        const Vector2 translation(transform->GetTranslation().x, transform->GetTranslation().y);
        const float rotation = transform->GetRotation();
        textRenderer->Draw(translation, rotation);
        if (gGraphics != nullptr)
        {
            // The box line follows the object: corners turned and moved with it.
            const Matrix3 place = TranslationMatrix(translation.x, translation.y) * RotationMatrix(rotation);
            gGraphics->DrawDebugLine(place.TransformPoint(textRenderer->GetBottomLeft()),
                                     place.TransformPoint(textRenderer->GetTopRight()), kBoxLineColour);
        }
    });
}
