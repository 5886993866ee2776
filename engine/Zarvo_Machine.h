// The machine as a whole. This unit also holds the duration formatter that
// writes a number of seconds as words or as a clock text, shared by the
// machine's up time, the battery times and the windows.
#pragma once

#include <cstdint>
#include <string>

namespace torvex::engine {

// Seconds as text. The units, greedily: centuries (877,200 hours), years
// (365.5 days), months (31 days), weeks, days, hours, minutes, seconds.
//  - neither flag: the word form, from the largest unit that is not zero
//    down to the seconds, zeros included ("1 Hour, 0 Minutes, 1 Second.");
//  - allUnits: every unit from centuries down, in words;
//  - clockForm: "hh:mm:ss" of the hours, minutes and seconds alone;
//  - both: "yy.mm.dd hh:mm:ss", weeks counted as days, centuries left out.
// wholeSeconds writes the seconds without decimals, else with two.
// A negative count is taken as zero.
std::string FormatSeconds(std::int64_t seconds, bool wholeSeconds, bool allUnits, bool clockForm);

}  // namespace torvex::engine
