#include "Shader.h"

#include "TextureManager.h"

#include <glad/gl.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace
{
constexpr GLsizei kLogSize = 512;

std::string ReadWhole(const std::string& path)
{
    std::ifstream file;
    file.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    file.open(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Compiles one stage; prints the failure and returns 0 when it does not compile.
GLuint CompileStage(GLenum stage, const std::string& source, const char* failure)
{
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return shader;
    char log[kLogSize] = {};
    glGetShaderInfoLog(shader, kLogSize, nullptr, log);
    std::cout << "Shader" << failure << std::endl;
    std::cout << "Shader" << log << std::endl;
    glDeleteShader(shader);
    return 0;
}

struct ReflectedInput
{
    std::string name;
    GLint location;
    GLint type;
};
} // namespace

Shader::Shader(const std::string& shaderName) : name(shaderName)
{
    usable = Build();
    if (usable && name != kDebugName)
        Reflect();
    dataTemplate.SetMatrix3("modelWorld", Matrix3());
}

Shader::~Shader()
{
    if (program != 0)
        glDeleteProgram(program);
}

bool Shader::Build()
{
    // Before any GL context exists the program cannot be built; the shader stays unusable.
    if (glad_glCreateShader == nullptr)
        return false;
    const std::string vertexPath = std::string(kFolder) + name + ".vs";
    std::string fragmentPath = vertexPath;
    fragmentPath[fragmentPath.size() - 2] = 'f';
    std::string vertexSource;
    std::string fragmentSource;
    try
    {
        vertexSource = ReadWhole(vertexPath);
        fragmentSource = ReadWhole(fragmentPath);
    }
    catch (const std::exception& error)
    {
        std::cout << "Shader: Error: Shader file(s) not found." << std::endl;
        std::cout << "Shader: " << error.what() << std::endl;
    }

    GLuint vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, "Error: Vertex Shader did not compile.");
    if (vertex == 0)
        return false;
    GLuint fragment =
        CompileStage(GL_FRAGMENT_SHADER, fragmentSource, "Error: Fragment Shader did not compile.");
    if (fragment == 0)
    {
        glDeleteShader(vertex);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == GL_TRUE)
        return true;
    char log[kLogSize] = {};
    glGetProgramInfoLog(program, kLogSize, nullptr, log);
    std::cout << "Shader"
              << "Error: Shader did not link." << std::endl;
    std::cout << "Shader" << log << std::endl;
    return false;
}

void Shader::Reflect()
{
    GLint count = 0;
    glGetProgramInterfaceiv(program, GL_PROGRAM_INPUT, GL_ACTIVE_RESOURCES, &count);
    std::vector<ReflectedInput> inputs;
    for (GLint index = 0; index < count; ++index)
    {
        const GLenum properties[3] = {GL_TYPE, GL_NAME_LENGTH, GL_LOCATION};
        GLint values[3] = {0, 0, -1};
        glGetProgramResourceiv(program, GL_PROGRAM_INPUT, static_cast<GLuint>(index), 3, properties, 3,
                               nullptr, values);
        // The length counts the terminating zero.
        std::vector<char> text(static_cast<std::size_t>(std::max(values[1], 1)), '\0');
        glGetProgramResourceName(program, GL_PROGRAM_INPUT, static_cast<GLuint>(index),
                                 static_cast<GLsizei>(text.size()), nullptr, text.data());
        std::string inputName(text.data());
        // Locations 0 and 1 are the mesh's own; built-ins report no location at all.
        if (values[2] < 2 || inputName.rfind("gl_", 0) == 0)
            continue;
        inputs.push_back({inputName, values[2], values[0]});
    }
    // Drivers list inputs in their own order; by location the layout is the same everywhere.
    std::sort(inputs.begin(), inputs.end(),
              [](const ReflectedInput& a, const ReflectedInput& b) { return a.location < b.location; });
    Texture* defaultTexture = TextureManager::FindTextureById(0);
    for (const ReflectedInput& input : inputs)
        dataTemplate.AppendAttribute(input.name, static_cast<std::uint32_t>(input.location),
                                     static_cast<std::uint32_t>(input.type), defaultTexture);
}

void Shader::Use() const
{
    if (usable)
        glUseProgram(program);
}

void Shader::SetInt(const char* uniform, std::int32_t value) const
{
    if (usable)
        glUniform1i(glGetUniformLocation(program, uniform), value);
}

void Shader::SetFloat(const char* uniform, float value) const
{
    if (usable)
        glUniform1f(glGetUniformLocation(program, uniform), value);
}

void Shader::SetVector2(const char* uniform, const Vector2& value) const
{
    if (usable)
        glUniform2f(glGetUniformLocation(program, uniform), value.x, value.y);
}

void Shader::SetVector3(const char* uniform, const Vector3& value) const
{
    if (usable)
        glUniform3f(glGetUniformLocation(program, uniform), value.x, value.y, value.z);
}

void Shader::SetMatrix3(const char* uniform, const Matrix3& value) const
{
    if (usable)
        glUniformMatrix3fv(glGetUniformLocation(program, uniform), 1, GL_FALSE, value.m);
}

void Shader::SetSamplerUnits() const
{
    if (!usable)
        return;
    GLint units[TextureManager::kUnitCount];
    for (int unit = 0; unit < TextureManager::kUnitCount; ++unit)
        units[unit] = unit;
    glUniform1iv(glGetUniformLocation(program, "samplers"), TextureManager::kUnitCount, units);
}
