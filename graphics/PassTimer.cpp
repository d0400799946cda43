#include "PassTimer.h"

#include <glad/gl.h>

namespace
{
struct Pending
{
    const char* pass;
    GLuint query;
};

bool enabled = false;
bool running = false;
// Queries are kept for reuse: a frame marks the same passes every time.
std::vector<GLuint> freeQueries;
std::vector<Pending> pending;

void ReleaseQueries()
{
    for (const Pending& entry : pending)
        freeQueries.push_back(entry.query);
    pending.clear();
    if (!freeQueries.empty())
        glDeleteQueries(static_cast<GLsizei>(freeQueries.size()), freeQueries.data());
    freeQueries.clear();
}
} // namespace

namespace PassTimer
{
void SetEnabled(bool on)
{
    if (on == enabled)
        return;
    Stop();
    if (!on)
        ReleaseQueries();
    enabled = on;
}

bool IsEnabled()
{
    return enabled;
}

void Mark(const char* pass)
{
    if (!enabled)
        return;
    Stop();
    GLuint query = 0;
    if (freeQueries.empty())
        glGenQueries(1, &query);
    else
    {
        query = freeQueries.back();
        freeQueries.pop_back();
    }
    glBeginQuery(GL_TIME_ELAPSED, query);
    pending.push_back({pass, query});
    running = true;
}

void Stop()
{
    if (!running)
        return;
    glEndQuery(GL_TIME_ELAPSED);
    running = false;
}

std::vector<PassTime> Collect()
{
    Stop();
    std::vector<PassTime> times;
    for (const Pending& entry : pending)
    {
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(entry.query, GL_QUERY_RESULT, &nanoseconds);
        times.push_back({entry.pass, static_cast<double>(nanoseconds) * 1e-6});
        freeQueries.push_back(entry.query);
    }
    pending.clear();
    return times;
}
} // namespace PassTimer
