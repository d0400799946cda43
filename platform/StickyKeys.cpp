#include "StickyKeys.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace StickyKeys
{
bool Get(Setting& setting)
{
    STICKYKEYS value{sizeof(STICKYKEYS), 0};
    if (!SystemParametersInfoA(SPI_GETSTICKYKEYS, sizeof(STICKYKEYS), &value, 0))
        return false;
    setting.size = value.cbSize;
    setting.flags = value.dwFlags;
    return true;
}

bool Set(const Setting& setting)
{
    STICKYKEYS value{sizeof(STICKYKEYS), setting.flags};
    return SystemParametersInfoA(SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), &value, 0) != 0;
}
} // namespace StickyKeys

#else

namespace StickyKeys
{
namespace
{
Setting storedSetting;
bool readsSucceed = true;
std::vector<Call> calls;
} // namespace

bool Get(Setting& setting)
{
    calls.push_back({false, storedSetting});
    if (!readsSucceed)
        return false;
    setting = storedSetting;
    return true;
}

bool Set(const Setting& setting)
{
    calls.push_back({true, setting});
    storedSetting = setting;
    return true;
}

void ResetStandIn(std::uint32_t startFlags, bool readsSucceed_)
{
    storedSetting = Setting{};
    storedSetting.flags = startFlags;
    readsSucceed = readsSucceed_;
    calls.clear();
}

const std::vector<Call>& RecordedCalls()
{
    return calls;
}
} // namespace StickyKeys

#endif
