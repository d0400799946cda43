#include "RayTests.h"

#include <algorithm>
#include <cmath>

namespace
{
// The collider keeps its corners in an order that zig-zags; walk them around the outline instead.
constexpr std::size_t kOutlineOrder[4] = {0, 2, 3, 1};

std::vector<Vector3> Outline(const std::vector<Vector3>& corners)
{
    std::vector<Vector3> outline;
    if (corners.size() == 4)
    {
        for (std::size_t index : kOutlineOrder)
            outline.push_back(corners[index]);
    }
    else
    {
        outline = corners;
    }
    // Outward edge normals need a counter-clockwise outline; a mirrored box turns it around.
    float twiceArea = 0.0f;
    for (std::size_t i = 0; i < outline.size(); ++i)
    {
        const Vector3& p = outline[i];
        const Vector3& q = outline[(i + 1) % outline.size()];
        twiceArea += p.x * q.y - q.x * p.y;
    }
    if (twiceArea < 0.0f)
        std::reverse(outline.begin(), outline.end());
    return outline;
}

float Dot2(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y;
}
} // namespace

bool RayHitsCircle(const Ray& ray, const Vector3& centre, float radius, RayHit& hit)
{
    // The plane is 2-D: depth differences between the ray and the object play no part.
    const Vector3 o = ray.origin;
    const Vector3 v{ray.direction.x, ray.direction.y, 0.0f};
    const Vector3 toOrigin{o.x - centre.x, o.y - centre.y, 0.0f};
    const float r = std::fabs(radius);
    const float a = Dot2(v, v);
    if (a == 0.0f || r == 0.0f || !std::isfinite(a) || !std::isfinite(r))
        return false;
    const float b = Dot2(toOrigin, v);
    const float k = Dot2(toOrigin, toOrigin) - r * r;
    const float discriminant = b * b - k * a;
    if (!(discriminant >= 0.0f))
        return false;

    const float root = std::sqrt(discriminant);
    const float t1 = (-b - root) / a;
    const float t2 = (root - b) / a;
    const Vector3 p1{o.x + t1 * v.x, o.y + t1 * v.y, o.z};
    const Vector3 p2{o.x + t2 * v.x, o.y + t2 * v.y, o.z};
    const float d1 = std::sqrt((p1.x - o.x) * (p1.x - o.x) + (p1.y - o.y) * (p1.y - o.y));
    const float d2 = std::sqrt((p2.x - o.x) * (p2.x - o.x) + (p2.y - o.y) * (p2.y - o.y));
    const Vector3& nearer = d2 > d1 ? p1 : p2;
    hit.distance = std::min(d1, d2);
    hit.point = nearer;
    hit.normal = Vector3((nearer.x - centre.x) / r, (nearer.y - centre.y) / r, 0.0f);
    return true;
}

bool RayHitsBox(const Ray& ray, const std::vector<Vector3>& worldCorners)
{
    if (worldCorners.empty())
        return false;
    for (const Vector3& corner : worldCorners)
        if (!std::isfinite(corner.x) || !std::isfinite(corner.y))
            return false;
    std::vector<Vector3> outline = Outline(worldCorners);
    outline.push_back(outline.front());

    const Vector3 o = ray.origin;
    const Vector3 e = o + ray.direction * ray.length;
    float tEnter = 0.0f;
    float tExit = 1.0f;
    for (std::size_t i = outline.size() - 1; i-- > 0;)
    {
        const Vector3& p = outline[i];
        const Vector3& q = outline[i + 1];
        Vector3 m{q.y - p.y, -(q.x - p.x), 0.0f};
        const float length = std::sqrt(m.x * m.x + m.y * m.y);
        if (length != 0.0f)
            m = m * (1.0f / length);
        const float n = Dot2(m, q - o);
        const float d = Dot2(m, e - o);
        if (d != 0.0f)
        {
            const float t = n / d;
            if (d < 0.0f)
                tEnter = std::max(tEnter, t);
            else
                tExit = std::min(tExit, t);
            if (tEnter > tExit)
                return false;
        }
        else if (n < 0.0f)
        {
            // Parallel to this edge and outside it.
            return false;
        }
    }
    return true;
}
