// Renaming a volume over the active machine.
#include "platform/win32/Win32Volume.h"

#include <cctype>
#include <string>

#include "platform/machine/Machine.h"

namespace win32 {

BOOL SetVolumeLabelA(LPCSTR root, LPCSTR volumeName) {
    auto& machine = torvex::platform::ActiveMachine();
    std::string text = root ? std::string(root) : machine.windowsDirectory().substr(0, 3);
    bool isRoot = text.size() >= 2 && text.size() <= 3 && text[1] == ':' &&
                  std::isalpha(static_cast<unsigned char>(text[0])) &&
                  (text.size() == 2 || text[2] == '\\' || text[2] == '/');
    char letter = isRoot ? static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))) : 0;
    // The volume must answer first, as Windows reads it before renaming.
    if (!letter || GetDriveTypeA(text.c_str()) <= DRIVE_NO_ROOT_DIR) {
        SetLastError(ERROR_INVALID_DRIVE);
        return FALSE;
    }
    if (!GetVolumeInformationA(text.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0)) return FALSE;
    if (!machine.setVolumeLabel(letter, volumeName ? volumeName : "")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

}  // namespace win32
