#include "EventIdList.h"

#include <cstdio>

namespace
{
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

void TrimLine(std::string& line, bool firstLine)
{
    if (firstLine && line.rfind(kByteOrderMark, 0) == 0)
        line.erase(0, 3);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}
} // namespace

std::string ShortEventName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<EventIdEntry> ParseEventIdList(std::istream& in)
{
    std::vector<EventIdEntry> entries;
    audio::Guid current;
    bool haveGuid = true; // before any GUID line the zero GUID is current, and finds nothing
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber)
    {
        TrimLine(line, lineNumber == 1);
        if (line.empty())
            break;
        if (line[0] == '{')
        {
            haveGuid = audio::ParseID(line.c_str(), &current) == audio::Result::Ok;
            if (!haveGuid)
            {
                std::printf("WARNING: event-id list line %d holds no valid GUID; its events are skipped\n",
                            lineNumber);
                std::fflush(stdout);
            }
        }
        else if (line[0] == 'e')
        {
            if (haveGuid)
                entries.push_back({current, ShortEventName(line)});
        }
        else
            break;
    }
    return entries;
}
