#include "LightRecord.h"

Matrix3 LightModelMatrix(const Vector2& translation, float rotation, const Vector2& center,
                         const Vector2& size)
{
    return TranslationMatrix(translation.x, translation.y) * RotationMatrix(rotation) *
           TranslationMatrix(center.x, center.y) * ScaleMatrix(size.x, size.y);
}
