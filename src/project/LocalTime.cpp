#include "project/LocalTime.h"

#include <atomic>
#include <ctime>
#include <sys/time.h>

namespace {
std::atomic<LOCALTIMEFN> pfnLocalTime{nullptr};
}

void SetLocalTimeSource(LOCALTIMEFN pfn) { pfnLocalTime.store(pfn); }

SYSTEMTIME GetLocalSystemTime() {
    if (LOCALTIMEFN pfn = pfnLocalTime.load()) return pfn();
    SYSTEMTIME st;
    timeval tv{};
    gettimeofday(&tv, nullptr);
    time_t t = tv.tv_sec;
    tm lt{};
    if (!localtime_r(&t, &lt)) return st;
    st.wYear = static_cast<uint16_t>(lt.tm_year + 1900);
    st.wMonth = static_cast<uint16_t>(lt.tm_mon + 1);
    st.wDayOfWeek = static_cast<uint16_t>(lt.tm_wday);
    st.wDay = static_cast<uint16_t>(lt.tm_mday);
    st.wHour = static_cast<uint16_t>(lt.tm_hour);
    st.wMinute = static_cast<uint16_t>(lt.tm_min);
    st.wSecond = static_cast<uint16_t>(lt.tm_sec > 59 ? 59 : lt.tm_sec);
    st.wMilliseconds = static_cast<uint16_t>(tv.tv_usec / 1000);
    return st;
}
