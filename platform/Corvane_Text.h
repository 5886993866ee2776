// Texts between the program's UTF-8 and an ANSI code page, for the engine,
// which reads firmware strings and writes files in code page 1252.
#pragma once

#include <string>
#include <string_view>

namespace torvex::platform {

// Code page 1252 and 65001 (UTF-8) are known; any other is read as 1252.
// A character the code page lacks becomes '?', as Windows' best fit does.
std::string AnsiToUtf8(std::string_view bytes, unsigned codePage);
std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage);

// With TORVEX_TRACE=1: one line on standard error saying why a fact the
// engine works out itself (not read from the machine) came out empty.
bool FactTraceEnabled();
void TraceFact(std::string_view who, std::string_view why);

}  // namespace torvex::platform
