#include "base/u_bwdatetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Puts the process in a time zone for one test and back afterwards.
class TTimeZone {
public:
    explicit TTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TTimeZone()
    {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

constexpr std::time_t kMillennium = 946684800;  // 2000-01-01 00:00 UTC

TEST(DateTime, DayCountsStartAt18991230InLocalTime)
{
    const TTimeZone utc("UTC0");
    EXPECT_DOUBLE_EQ(DaysFromTime(0), 25569.0);
    EXPECT_DOUBLE_EQ(DaysFromTime(kMillennium), 36526.0);
    EXPECT_DOUBLE_EQ(DaysFromTime(kMillennium + 18 * 3600), 36526.75);
    EXPECT_DOUBLE_EQ(DaysFromTime(-2209161600), 0.0);  // 1899-12-30
    EXPECT_EQ(TimeFromDays(36526.5), kMillennium + 12 * 3600);
    EXPECT_EQ(TimeFromDays(0), -2209161600);

    const TTimeZone cet("CET-1");
    EXPECT_DOUBLE_EQ(DaysFromTime(kMillennium), 36526.0 + 1.0 / 24);
    EXPECT_EQ(TimeFromDays(36526.0), kMillennium - 3600);
}

// The hour that autumn repeats has one day count for two moments, so the
// round trip is checked from the day count.
TEST(DateTime, DayCountsSurviveTheRoundTripAcrossSummerTime)
{
    const TTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    for (std::time_t time = kMillennium; time < kMillennium + 366 * 86400; time += 7 * 3600 + 13) {
        const double days = DaysFromTime(time);
        EXPECT_DOUBLE_EQ(DaysFromTime(TimeFromDays(days)), days);
    }
    EXPECT_EQ(TimeFromDays(DaysFromTime(kMillennium + 180 * 86400)), kMillennium + 180 * 86400);
}

TEST(DateTime, NoDateGivesZero)
{
    EXPECT_EQ(TimeFromDays(NAN), 0);
    EXPECT_EQ(TimeFromDays(1e300), 0);
}

TEST(DateTime, WholeSecondsTruncateButKeepExactSeconds)
{
    EXPECT_EQ(WholeSeconds(90.9 / 86400), 90);
    EXPECT_EQ(WholeSeconds(-90.9 / 86400), -90);
    EXPECT_EQ(WholeSeconds(0), 0);
    EXPECT_EQ(WholeSeconds(NAN), 0);
    EXPECT_GT(WholeSeconds(1e300), 0);
    // Every duration of whole seconds up to two days comes back exactly,
    // although many of their day fractions times 86400 fall just short.
    for (std::int64_t seconds = 0; seconds <= 2 * 86400; ++seconds)
        ASSERT_EQ(WholeSeconds(static_cast<double>(seconds) / 86400), seconds);
}

}  // namespace
