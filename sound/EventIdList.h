#pragma once
#include "audio/AudioTypes.h"

#include <istream>
#include <string>
#include <vector>

// One sound event named by the event-id list: its GUID and its short name.
struct EventIdEntry
{
    audio::Guid guid;
    std::string shortName;
};

// Reads the event-id list: a "{GUID}" line makes that GUID current, an "event:/..." line names the event
// of the current GUID by the text after its last "/", and any other line (an empty one too) ends the list.
// Line ends and a leading byte-order mark are tolerated; a GUID line that does not parse prints one WARNING
// and its event lines are dropped until the next good GUID.
std::vector<EventIdEntry> ParseEventIdList(std::istream& in);

// The short name of an event path: the text after its last "/", or the whole path.
std::string ShortEventName(const std::string& path);
