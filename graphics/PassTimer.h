#pragma once
#include <cstdint>
#include <string>
#include <vector>

// GL timer queries around the passes of a frame, for benchmarks. Switched off it costs one test per mark.
// A mark ends the pass before it and starts the next, so passes never nest (GL_TIME_ELAPSED queries
// cannot); an effect that marks its own steps splits its row into them.
namespace PassTimer
{
struct PassTime
{
    std::string pass;
    double milliseconds = 0.0;
};

// Starts or stops timing from the next mark on; stopping forgets the queries.
void SetEnabled(bool enabled);
bool IsEnabled();
// Ends the running pass and starts timing the named one.
void Mark(const char* pass);
// Ends the running pass.
void Stop();
// Waits for every pass marked since the last collection and returns their times, in marking order.
std::vector<PassTime> Collect();
} // namespace PassTimer
