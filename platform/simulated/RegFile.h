// Registry files (.reg) as regedit exports them, loaded into a Registry.
//
// Both formats are read:
//  - "REGEDIT4" (Windows 95-Me, NT 4.0): bytes in the machine's ANSI code
//    page (1252), turned into UTF-8 on loading;
//  - "Windows Registry Editor Version 5.00" (Windows 2000 and later):
//    UTF-16LE with a byte-order mark, as regedit writes it. The same header in
//    a UTF-8 file (with or without a byte-order mark) is accepted too, so
//    that small files can be written by hand.
// Every value kind regedit writes is understood: "text" with \\ and \"
// escapes, dword:, hex: (binary), hex(N): for any type N (hex(2) expandable
// text, hex(7) multi-text, hex(0), hex(b) qword ...), the default value "@",
// lines continued with a trailing backslash, comments (;), key deletion
// [-KEY] and value deletion "name"=-. Texts are stored in UTF-8 with their
// terminating zero(s), as the Registry holds them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/machine/Registry.h"

namespace torvex::platform {

// Applies the file to the registry in file order. Throws MachineError
// naming the file and line on malformed input; the registry may then hold
// the part of the file read before the error.
void LoadRegFile(const std::filesystem::path& path, Registry& registry);
// The same for a file's raw bytes already in memory; fileName for errors.
void ApplyRegFile(std::string_view bytes, const std::string& fileName, Registry& registry);

}  // namespace torvex::platform
