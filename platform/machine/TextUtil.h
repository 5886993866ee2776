// Small text helpers shared by the layer and its machines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine/FileText.h"

namespace torvex::platform {

// ASCII case-insensitive comparison, as Windows compares registry, file and
// library names (the names in question are ASCII in practice).
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view s);
std::string ToLowerAscii(std::string_view s);

// A library's name as the machines and the layer compare it: the file name
// without folder, in lower case, ".dll" when it has no extension.
// "KERNEL32" -> "kernel32.dll", "C:\WINDOWS\SYSTEM\psapi.DLL" -> "psapi.dll".
std::string NormalizeLibraryName(const std::string& name);

// Code page conversions at the layer's edges.
std::string Cp1252ToUtf8(std::string_view bytes);
// Characters outside code page 1252 become '?', as Windows' best fit does
// for characters it cannot map.
std::string Utf8ToCp1252(std::string_view utf8);
// UTF-16LE code units (no byte-order mark) to UTF-8; unpaired surrogates
// become U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* data, std::size_t bytes);

}  // namespace torvex::platform
