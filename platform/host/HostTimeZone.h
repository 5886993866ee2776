// The host's local time zone in the shape of Windows' time-zone rules.
//
// The zone's rules come from the POSIX TZ rule string: the footer of the
// TZif (version 2 and later) file that /etc/localtime names, or the TZ
// environment variable. Its "Mm.w.d" rules are Windows' "w-th weekday d of
// month m" records one to one. The zone is named after its Windows
// equivalent where one exists, else by its tz database name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine/Machine.h"

namespace torvex::platform::host {

// The POSIX TZ rule string at the end of a TZif file of version 2 or later;
// nullopt for a version 1 file, a file without one, or a damaged file.
std::optional<std::string> TzifFooter(std::string_view bytes);

// The rules of a POSIX TZ string ("CET-1CEST,M3.5.0,M10.5.0/3"). Names are
// the string's abbreviations. Julian-day rules ("Jn", "n") become absolute
// dates of `year`; so do rules whose time lies outside the day (POSIX allows
// -167 to 167 hours). A "daylight" time behind standard time is swapped into
// Windows' shape, where daylight time is the later clock.
// nullopt when the text is not a TZ string.
std::optional<TimeZoneFacts> ParsePosixTz(std::string_view tz, int year);

// A zone as Windows' registry lists it under "Time Zones".
struct HostTimeZone {
    std::string keyName;   // "W. Europe Standard Time", or the tz name
    std::string display;   // "(GMT+01:00) Amsterdam, Berlin, ..."
    TimeZoneFacts rules;   // names are the key's Std and Dlt texts
};

// Names the rules: a tz database name with a Windows equivalent takes its
// key, display text and names; any other keeps its own name and the rules'
// abbreviations.
HostTimeZone NameHostTimeZone(const std::string& tzName, TimeZoneFacts rules);

// The 44-byte "TZI" value: bias, standard bias, daylight bias, then the
// standard and the daylight transition.
std::vector<std::uint8_t> TziBytes(const TimeZoneFacts& rules);

// The host's zone below root: TZ (a POSIX string, a ":name" or a zone file
// name) when tzEnv is not null, else <root>/etc/localtime (its link target
// or <root>/etc/timezone gives the name). UTC without daylight rules when
// nothing can be read.
HostTimeZone LoadHostTimeZone(const std::filesystem::path& root, const char* tzEnv, int year);

}  // namespace torvex::platform::host
