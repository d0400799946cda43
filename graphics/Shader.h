#pragma once
#include "Math.h"
#include "ShaderData.h"

#include <cstdint>
#include <string>

// One GLSL program built from "./Shaders/<name>.vs" and ".fs", with the reflection of its per-instance
// inputs as a ShaderData template. Obtained only through Graphics::GetShader.
class Shader
{
  public:
    static constexpr const char* kFolder = "./Shaders/";
    // The one shader whose inputs are laid out by hand rather than reflected.
    static constexpr const char* kDebugName = "debug";

    // Builds and reflects the program; failures are reported here and leave the shader unusable.
    explicit Shader(const std::string& name);
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    const std::string& GetName() const { return name; }
    std::uint32_t GetProgram() const { return program; }
    // Whether the program linked; an unusable shader makes no GL calls.
    bool IsUsable() const { return usable; }
    const ShaderData& GetTemplate() const { return dataTemplate; }

    // Makes the program current.
    void Use() const;
    // Uniform setters by name on the program in use.
    void SetInt(const char* uniform, std::int32_t value) const;
    void SetFloat(const char* uniform, float value) const;
    void SetVector2(const char* uniform, const Vector2& value) const;
    void SetVector3(const char* uniform, const Vector3& value) const;
    // Uploads the column-major matrix as it is stored (not transposed).
    void SetMatrix3(const char* uniform, const Matrix3& value) const;
    // Sets the uniform array "samplers" to the units 0 to 15.
    void SetSamplerUnits() const;

  private:
    bool Build();
    void Reflect();

    std::string name;
    std::uint32_t program = 0;
    bool usable = false;
    ShaderData dataTemplate;
};
