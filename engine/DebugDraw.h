#pragma once
#include "Math.h"

// Where any subsystem queues debug lines and points in world coordinates. Graphics installs the sink that
// really draws; until then, and in tests without a recorder, the default sink drops everything.
class DebugDraw
{
  public:
    virtual ~DebugDraw() = default;

    // Queues a line from p to q with both ends in the colour.
    virtual void Line(const Vector3& p, const Vector3& q, const Vector4& colour)
    {
        (void)p;
        (void)q;
        (void)colour;
    }
    // Queues a point marker sizePx pixels wide.
    virtual void Point(const Vector3& p, float sizePx, const Vector4& colour)
    {
        (void)p;
        (void)sizePx;
        (void)colour;
    }
};

namespace DebugDrawDetail
{
inline DebugDraw nothingSink;
inline DebugDraw* currentSink = &nothingSink;
} // namespace DebugDrawDetail

// The installed sink; never null.
inline DebugDraw& GetDebugDraw()
{
    return *DebugDrawDetail::currentSink;
}

// Installs a sink that the caller keeps alive while installed; null puts the do-nothing sink back.
inline void SetDebugDraw(DebugDraw* sink)
{
    DebugDrawDetail::currentSink = sink != nullptr ? sink : &DebugDrawDetail::nothingSink;
}
