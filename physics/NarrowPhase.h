#pragma once
#include "ContactRecord.h"
#include "Math.h"

#include <vector>

// A collider's shape as the narrow phase sees it: its local axes and points, placed by its owner's transform.
struct PlacedShape
{
    const std::vector<Vector3>& axes;
    const std::vector<Vector3>& localPoints; // exactly one point means a circle
    float radius;                            // circles only, before scaling
    const Matrix3& world;
    Vector3 translation;
    float scaleX;
};

// Separating-axis test of the record's first shape (a) against its second (b). On contact fills the depth,
// normal and contact point, swaps the ids when the reference axis came from the first shape, and returns
// true. Draws the axis of every circle it tests through the debug sink.
bool TestShapes(ContactRecord& record, const PlacedShape& a, const PlacedShape& b);
