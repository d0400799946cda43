#include "HeadlessTextures.h"

#include "TextureManager.h"

#include <glad/gl.h>

namespace
{
GLuint nextTextureName = 1;
bool installed = false;

void GLAD_API_PTR GenTextures(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i)
        names[i] = nextTextureName++;
}
void GLAD_API_PTR DeleteTextures(GLsizei, const GLuint*) {}
void GLAD_API_PTR BindTexture(GLenum, GLuint) {}
void GLAD_API_PTR ActiveTexture(GLenum) {}
void GLAD_API_PTR TexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*) {}
void GLAD_API_PTR GenerateMipmap(GLenum) {}
void GLAD_API_PTR TexParameteri(GLenum, GLenum, GLint) {}
void GLAD_API_PTR PixelStorei(GLenum, GLint) {}
// Every limit a texture upload asks about is generous.
void GLAD_API_PTR GetIntegerv(GLenum, GLint* value)
{
    *value = 16384;
}
} // namespace

void InstallHeadlessTextures()
{
    if (installed)
        return;
    installed = true;
    glad_glGenTextures = &GenTextures;
    glad_glDeleteTextures = &DeleteTextures;
    glad_glBindTexture = &BindTexture;
    glad_glActiveTexture = &ActiveTexture;
    glad_glTexImage2D = &TexImage2D;
    glad_glGenerateMipmap = &GenerateMipmap;
    glad_glTexParameteri = &TexParameteri;
    glad_glPixelStorei = &PixelStorei;
    glad_glGetIntegerv = &GetIntegerv;
}
