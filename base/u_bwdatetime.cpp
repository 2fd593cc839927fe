#include "base/u_bwdatetime.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSecondsPerDay = 86400.0;
// Far beyond any date or duration the program meets, and well inside what
// the integer conversions hold.
constexpr double kLongestDays = 1e7;
constexpr double kLongestSeconds = kLongestDays * kSecondsPerDay;

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back (H. Hinnant's civil-date algorithms).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct TCivilDate {
    std::int64_t year;
    std::int64_t month;
    std::int64_t day;
};

TCivilDate CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const std::int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

const std::int64_t kDayZero = DaysFromCivil(1899, 12, 30);

}  // namespace

double DaysFromTime(std::time_t time)
{
    std::tm local{};
    ::localtime_r(&time, &local);
    const std::int64_t day = DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1LL, local.tm_mday);
    const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<double>(day - kDayZero) + seconds / kSecondsPerDay;
}

std::time_t TimeFromDays(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > kLongestDays)
        return 0;
    double whole = std::floor(days);
    long seconds = std::lround((days - whole) * kSecondsPerDay);
    if (seconds == static_cast<long>(kSecondsPerDay)) {  // rounded up into the next day
        whole += 1;
        seconds = 0;
    }
    const TCivilDate date = CivilFromDays(static_cast<std::int64_t>(whole) + kDayZero);
    // The time of day goes in as hours, minutes and seconds: mktime takes
    // the summer-time rule from the fields as given, not from the moment
    // they would normalise to.
    std::tm local{};
    local.tm_year = static_cast<int>(date.year - 1900);
    local.tm_mon = static_cast<int>(date.month - 1);
    local.tm_mday = static_cast<int>(date.day);
    local.tm_hour = static_cast<int>(seconds / 3600);
    local.tm_min = static_cast<int>(seconds / 60 % 60);
    local.tm_sec = static_cast<int>(seconds % 60);
    local.tm_isdst = -1;
    return std::mktime(&local);
}

double DaysNow()
{
    return DaysFromTime(std::time(nullptr));
}

std::int64_t WholeSeconds(double days)
{
    if (!std::isfinite(days))
        return 0;
    const double seconds = std::clamp(days * kSecondsPerDay, -kLongestSeconds, kLongestSeconds);
    // A product that lies a rounding error below a whole second is that
    // second, not the one before it.
    const double nearest = std::round(seconds);
    if (std::fabs(seconds - nearest) < 1e-6)
        return static_cast<std::int64_t>(nearest);
    return static_cast<std::int64_t>(std::trunc(seconds));
}
