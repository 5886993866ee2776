// The shortcut (.lnk) resolver.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32Shell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    torvex::platform::ShellLinkData link;
    std::string error;
    torvex::platform::ParseShellLink(file, 1252, link, error);
    torvex::platform::ShellLinkData utf8;
    torvex::platform::ParseShellLink(file, 65001, utf8, error);
    return 0;
}
