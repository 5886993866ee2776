// The drive folders of a simulated machine, checked as the machine loads.
#pragma once

#include <filesystem>
#include <vector>

namespace torvex::platform {

// Throws MachineError naming the link when a drive folder of any of the
// machine's folders (the machine and the machines it is based on) holds a
// symbolic link that leads out of those folders: the machine's files would
// then be files of the computer running it.
void CheckDriveTree(const std::vector<std::filesystem::path>& folders);

}  // namespace torvex::platform
