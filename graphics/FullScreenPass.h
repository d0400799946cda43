#pragma once
#include <cstdint>

class Camera;
class Shader;

// Helpers of the effects that draw the whole target in one quad.

// Blend (ONE, ZERO), no depth writes, depth test GL_ALWAYS: the pass replaces what the target holds.
void SetReplaceState();
// Binds a GL texture (a render target's colour) on the active unit.
void BindImage(std::uint32_t glTexture);
// Binds the quad of the current context and draws its six indices once (not instanced).
void DrawQuadOnce();
// Copies the camera's previous image into its current target through the presenting shader; the
// fallback of an effect whose own shader could not be built.
void CopyPreviousImage(Camera& camera);
