#pragma once
#include "DebugDraw.h"

#include <vector>

// Keeps every line and point queued through the debug sink, for tests.
class RecordingDebugDraw : public DebugDraw
{
  public:
    struct LineRecord
    {
        Vector3 from;
        Vector3 to;
        Vector4 colour;
    };
    struct PointRecord
    {
        Vector3 at;
        float size;
        Vector4 colour;
    };

    RecordingDebugDraw() { SetDebugDraw(this); }
    ~RecordingDebugDraw() override { SetDebugDraw(nullptr); }

    void Line(const Vector3& p, const Vector3& q, const Vector4& colour) override
    {
        lines.push_back({p, q, colour});
    }
    void Point(const Vector3& p, float sizePx, const Vector4& colour) override
    {
        points.push_back({p, sizePx, colour});
    }

    // The lines of one colour.
    std::vector<LineRecord> LinesOf(const Vector4& colour) const
    {
        std::vector<LineRecord> found;
        for (const LineRecord& line : lines)
            if (line.colour == colour)
                found.push_back(line);
        return found;
    }

    std::vector<LineRecord> lines;
    std::vector<PointRecord> points;
};
