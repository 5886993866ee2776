// The summary list on a terminal: the rows the window would show for the
// given toggles, one a line as caption, TAB and value, a blank row as an
// empty line.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/EditionStrings.h"
#include "app/summary/SummaryList.h"

namespace torvex::summary {

// "da", "no", "sv", "fi" -> the edition's string table; nullopt otherwise.
std::optional<app::StringTable> EditionTableByCode(const std::string& code);

// Windows 95, 98 and NT 4.0 and older: the version text ("%d.%d") is at
// most "4.10" as plain text.
bool IsOldWindowsVersion(const std::string& versionWin);

// The three toggles as the settings file remembers them (Norvo.INI in the
// Windows directory, section NorvoUtility); released when absent.
TSummaryToggles RememberedToggles();

// Builds the summary of the active machine with the registered string
// table, as the window does: the drive and installed-programs components
// retrieve once when loaded, then the list is built. Rows go to out as they
// are made. A failure ends the build where it happens: the rows made so far
// stay printed, the reason goes to err, and the result is false.
bool PrintSummary(const TSummaryToggles& toggles, std::ostream& out, std::ostream& err);

}  // namespace torvex::summary
