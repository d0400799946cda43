#pragma once
// The editor widgets of the field descriptors, kept out of the descriptor templates so that only
// FieldEditors.cpp includes Dear ImGui. Each returns true when the user changed the value.
#include "Math.h"

#include <cstdint>
#include <string>

// Scopes the widgets of one field under its field id.
void PushFieldId(std::uint32_t fieldId);
void PopFieldId();

bool EditBool(const char* label, bool& value);
// A float drag shown with "%.0f"; the caller truncates the result toward zero.
bool EditWholeNumber(const char* label, float& value, float step, float minimum, float maximum);
// A float drag shown with "%.3f".
bool EditFloat(const char* label, float& value, float step, float minimum, float maximum);
bool EditVector2(const char* label, Vector2& value, float step, float minimum, float maximum);
bool EditVector3(const char* label, Vector3& value, float step, float minimum, float maximum);
// A colour editor with alpha.
bool EditColor(const char* label, Vector4& value);
// A single-line text input over a 512-byte buffer; a string that does not fit opens it empty.
bool EditText(const char* label, std::string& value);

// The size of the text field's buffer, terminator included.
inline constexpr std::size_t kTextEditBufferSize = 512;
// The text the editor starts with: the value when it fits the buffer with its terminator, else empty.
std::string TextEditStart(const std::string& value);
