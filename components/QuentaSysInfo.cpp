#include "components/QuentaSysInfo.h"

#include <cstdio>

#include "platform/win32/Win32.h"

namespace torvex::components {

TQuentaSysInfo::TQuentaSysInfo() = default;
TQuentaSysInfo::~TQuentaSysInfo() = default;

std::string TQuentaSysInfo::VersionWIN() const {
    win32::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!win32::GetVersionExA(&info)) info.dwMajorVersion = info.dwMinorVersion = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(info.dwMajorVersion),
                  static_cast<int>(info.dwMinorVersion));
    return text;
}

}  // namespace torvex::components
