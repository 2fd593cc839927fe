// Day counts: the program's dates and times are days since 1899-12-30 with
// the time of day as the fraction, in local time. Profiles keep their dates
// and durations this way, and the file model turns file times into it.
#pragma once

#include <cstdint>
#include <ctime>

// The day count of a moment, in local time.
double DaysFromTime(std::time_t time);
// The moment of a day count read as local time, to the nearest second; 0
// for a count that is no date (not finite, or more than 10 million days).
std::time_t TimeFromDays(double days);
// The day count of the present moment.
double DaysNow();

// A duration in days as whole seconds, truncated toward zero. A duration
// made of whole seconds gives them back exactly, although its day fraction
// is not exact in floating point.
std::int64_t WholeSeconds(double days);
