#include "swf/actions/local_time_zone.h"

#include <cmath>
#include <ctime>

namespace swf::actions {

namespace {

// Days since 1970-01-01 of a Gregorian date (month 1..12).
long long DaysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool LocalFields(std::time_t t, std::tm* out) {
#ifdef _WIN32
    return localtime_s(out, &t) == 0;
#else
    return localtime_r(&t, out) != nullptr;
#endif
}

// The offset at whole second `t`, or false when the library cannot place it.
bool OffsetAt(std::time_t t, int* minutes) {
    std::tm local{};
    if (!LocalFields(t, &local)) return false;
    const long long localSeconds = DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1LL, local.tm_mday) * 86400LL +
                                   local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
    *minutes = static_cast<int>((localSeconds - static_cast<long long>(t)) / 60);
    return true;
}

}  // namespace

int LocalTimeZoneOffset(double utcMs) {
    // time_t holds about 292 billion years on 64 bits and 68 on 32; the
    // library's tables end long before either.
    constexpr double kLimitSeconds = 253402300799.0;  // the end of year 9999
    int minutes = 0;
    const double seconds = std::floor(utcMs / 1000);
    if (std::isfinite(seconds) && std::fabs(seconds) <= kLimitSeconds &&
        OffsetAt(static_cast<std::time_t>(seconds), &minutes))
        return minutes;
    return OffsetAt(std::time(nullptr), &minutes) ? minutes : 0;
}

}  // namespace swf::actions
