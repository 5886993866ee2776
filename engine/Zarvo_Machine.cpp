#include "engine/Zarvo_Machine.h"

#include <cmath>

#include "platform/classes/Classes.h"

namespace torvex::engine {

namespace {

struct Unit {
    std::int64_t seconds;
    const char* one;
    const char* many;
};
constexpr Unit kUnits[7] = {
    {3157920000LL, " Century, ", " Centuries, "},
    {31579200LL, " Year, ", " Years, "},
    {2678400LL, " Month, ", " Months, "},
    {604800LL, " Week, ", " Weeks, "},
    {86400LL, " Day, ", " Days, "},
    {3600LL, " Hour, ", " Hours, "},
    {60LL, " Minute, ", " Minutes, "},
};

// A count and its word; a zero count is written "0".
std::string Count(std::int64_t n, const Unit& u) { return IntToStr(n) + (n == 1 ? u.one : u.many); }

std::string SecondsPart(double seconds, bool whole) {
    std::string text = Format(whole ? "%.0f" : "%.2f", {seconds});
    return text + (seconds == 1 ? " Second." : " Seconds.");
}

}  // namespace

std::string FormatSeconds(std::int64_t seconds, bool wholeSeconds, bool allUnits, bool clockForm) {
    std::int64_t rest = seconds < 0 ? 0 : seconds;
    std::int64_t counts[7];
    for (int i = 0; i < 7; ++i) {
        counts[i] = rest / kUnits[i].seconds;
        rest %= kUnits[i].seconds;
    }
    double secs = double(rest);
    const std::int64_t years = counts[1], months = counts[2], weeks = counts[3], days = counts[4],
                       hours = counts[5], minutes = counts[6];
    const std::int64_t rounded = std::llround(secs);

    if (allUnits && clockForm)
        return Format("%2.2d.%2.2d.%2.2d %2.2d:%2.2d:%2.2d",
                      {years, months, days + 7 * weeks, hours, minutes, rounded});
    if (clockForm) return Format("%2.2d:%2.2d:%2.2d", {hours, minutes, rounded});
    std::string text;
    int first = 0;
    if (!allUnits) {
        first = 7;
        for (int i = 0; i < 7; ++i)
            if (counts[i] != 0) {
                first = i;
                break;
            }
    }
    for (int i = first; i < 7; ++i) text += Count(counts[i], kUnits[i]);
    return text + SecondsPart(secs, wholeSeconds);
}

}  // namespace torvex::engine
