// TQuentaSysInfo: answers questions about the running Windows at the moment
// a property is read. It holds no facts of its own and has no refresh: every
// read goes to the Win32-shaped layer.
//
// Properties are grouped as the object grows: text, integer, Boolean, list
// and locale properties each get their own section below.
#pragma once

#include <string>

namespace torvex::components {

class TQuentaSysInfo {
public:
    TQuentaSysInfo();
    ~TQuentaSysInfo();
    TQuentaSysInfo(const TQuentaSysInfo&) = delete;
    TQuentaSysInfo& operator=(const TQuentaSysInfo&) = delete;

    // ------------------------------------------------------------ text properties
    // Major and minor version of the running Windows as "%d.%d" ("4.10" on
    // Windows 98); "0.0" when the version cannot be read.
    std::string VersionWIN() const;
};

}  // namespace torvex::components
