#include "ColorEffects.h"

#include "Camera.h"
#include "FullScreenPass.h"
#include "Graphics.h"
#include "PassTimer.h"
#include "Shader.h"

#include <glad/gl.h>

#include <cstdio>
#include <utility>

namespace
{
constexpr const char* kCombinedShaderName = "tonemapSaturation";

FieldOptions Options(float step, float minimum, float maximum)
{
    return FromVersion(1, step, minimum, maximum);
}

template <typename T, typename Getter, typename Setter>
void AddFloat(DescriptorList<T>& list, const char* name, FieldOptions options, Getter getter, Setter setter)
{
    list.push_back(std::make_unique<Metafloat<T>>(name, options, getter, setter));
}
} // namespace

ColorEffect::ColorEffect(std::uint32_t dataVersion, Shader* shader_, std::string effectName_)
    : PostProcessingEffect(dataVersion), shader(shader_), effectName(std::move(effectName_))
{
}

void ColorEffect::Apply(Camera& camera)
{
    if (shader == nullptr || !shader->IsUsable())
    {
        if (!reportedUnusable)
        {
            std::printf("ERROR: %s shader is unusable; the image passes through unchanged.\n",
                        effectName.c_str());
            reportedUnusable = true;
        }
        CopyPreviousImage(camera);
        return;
    }
    SetReplaceState();
    glActiveTexture(GL_TEXTURE0);
    BindImage(camera.GetPreviousTarget().GetColourTexture());
    UploadUniforms();
    DrawQuadOnce();
}

bool ColorEffect::PassesImageThrough(Camera&)
{
    return IsIdentity();
}

bool ColorEffect::IsUsable() const
{
    return shader != nullptr && shader->IsUsable();
}

void ColorEffect::UploadUniforms() const
{
    shader->Use();
    shader->SetInt("tex", 0);
    SetUniforms(*shader);
}

ColorBalancer::ColorBalancer(std::uint32_t dataVersion, Shader* shader)
    : ColorEffect(dataVersion, shader, "ColorBalancer")
{
}

void ColorBalancer::SetUniforms(const Shader& program) const
{
    program.SetVector3("balance", balance);
}

bool ColorBalancer::IsIdentity() const
{
    // The shader would also clear negative channels, which no drawing component writes.
    return balance.x == 1.0f && balance.y == 1.0f && balance.z == 1.0f;
}

void ColorBalancer::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<ColorBalancer>& ColorBalancer::Descriptors()
{
    static const DescriptorList<ColorBalancer> list = [] {
        DescriptorList<ColorBalancer> fields;
        fields.push_back(std::make_unique<MetaVector3<ColorBalancer>>(
            "Balance", Options(0.01f, 0.0f, 5.0f), [](const ColorBalancer& e) { return e.balance; },
            [](ColorBalancer& e, const Vector3& v) { SetEffectField(e.balance, v); }));
        return fields;
    }();
    return list;
}

Tonemap::Tonemap(std::uint32_t dataVersion, Shader* shader) : ColorEffect(dataVersion, shader, "Tonemap") {}

bool Tonemap::FoldsInNext(PostProcessingEffect& next)
{
    folded = nullptr;
    auto* saturation = dynamic_cast<Saturation*>(&next);
    if (!foldSaturation || saturation == nullptr || saturation->IsIdentity() || !IsUsable() ||
        !saturation->IsUsable() || gGraphics == nullptr)
        return false;
    if (combinedShader == nullptr)
        combinedShader = gGraphics->GetShader(kCombinedShaderName);
    if (!combinedShader->IsUsable())
        return false;
    folded = saturation;
    return true;
}

void Tonemap::Apply(Camera& camera)
{
    if (folded == nullptr)
    {
        ColorEffect::Apply(camera);
        return;
    }
    const Saturation& saturation = *std::exchange(folded, nullptr);
    PassTimer::Mark("tonemap+saturation");
    // Each effect's own program still holds its current settings, as when it draws itself.
    UploadUniforms();
    saturation.UploadUniforms();
    // One full-screen pass instead of two; the combined shader rounds between the steps as the target
    // between two passes would, so the image is the same.
    SetReplaceState();
    glActiveTexture(GL_TEXTURE0);
    BindImage(camera.GetPreviousTarget().GetColourTexture());
    combinedShader->Use();
    combinedShader->SetInt("tex", 0);
    SetUniforms(*combinedShader);
    saturation.SetUniforms(*combinedShader);
    DrawQuadOnce();
}

void Tonemap::SetUniforms(const Shader& program) const
{
    program.SetFloat("gamma", gamma);
    program.SetFloat("exposure", exposure);
}

void Tonemap::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<Tonemap>& Tonemap::Descriptors()
{
    static const DescriptorList<Tonemap> list = [] {
        DescriptorList<Tonemap> fields;
        AddFloat(
            fields, "Gamma", Options(0.005f, 0.0f, 5.0f), [](const Tonemap& e) { return e.gamma; },
            [](Tonemap& e, const float& v) { SetEffectField(e.gamma, v); });
        AddFloat(
            fields, "Exposure", Options(0.002f, 0.0f, 10.0f), [](const Tonemap& e) { return e.exposure; },
            [](Tonemap& e, const float& v) { SetEffectField(e.exposure, v); });
        return fields;
    }();
    return list;
}

Saturation::Saturation(std::uint32_t dataVersion, Shader* shader)
    : ColorEffect(dataVersion, shader, "Saturation")
{
}

void Saturation::SetUniforms(const Shader& program) const
{
    program.SetFloat("saturation", saturation);
    program.SetFloat("whitening", whitening);
    program.SetFloat("multiplier1", multiplier1);
    program.SetFloat("multiplier2", multiplier2);
    program.SetFloat("power", power);
}

bool Saturation::IsIdentity() const
{
    // With no saturation change, no lift and no whitening the shader only clamps to 0..1 and sets alpha 1,
    // which the tone mapping before it has already done; the power then plays no part.
    return saturation == 1.0f && whitening == 0.0f && multiplier1 == 1.0f && multiplier2 == 1.0f;
}

void Saturation::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<Saturation>& Saturation::Descriptors()
{
    static const DescriptorList<Saturation> list = [] {
        DescriptorList<Saturation> fields;
        AddFloat(
            fields, "Saturation", Options(0.01f, -5.0f, 5.0f),
            [](const Saturation& e) { return e.saturation; },
            [](Saturation& e, const float& v) { SetEffectField(e.saturation, v); });
        AddFloat(
            fields, "Whitening", Options(0.01f, -5.0f, 5.0f), [](const Saturation& e) { return e.whitening; },
            [](Saturation& e, const float& v) { SetEffectField(e.whitening, v); });
        AddFloat(
            fields, "Multiplier1", Options(0.01f, -5.0f, 50.0f),
            [](const Saturation& e) { return e.multiplier1; },
            [](Saturation& e, const float& v) { SetEffectField(e.multiplier1, v); });
        AddFloat(
            fields, "Multiplier2", Options(0.01f, -5.0f, 50.0f),
            [](const Saturation& e) { return e.multiplier2; },
            [](Saturation& e, const float& v) { SetEffectField(e.multiplier2, v); });
        AddFloat(
            fields, "Power", Options(0.01f, -5.0f, 50.0f), [](const Saturation& e) { return e.power; },
            [](Saturation& e, const float& v) { SetEffectField(e.power, v); });
        return fields;
    }();
    return list;
}
