// The one way the program writes an export: the console report's -o file
// and the overview window's report files.
//
// Writing must never destroy what was there: the bytes go to a new file
// beside the target, which is then renamed over it, so that a reader never
// sees half a report and a failure leaves an existing file as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace torvex::platform {

// Writes `bytes` as the whole content of `path`. Returns "" when done, else
// the reason in the system's words, e.g. "No space left on device" or
// "Permission denied". A failure leaves an existing plain file as it was.
std::string WriteFileSafely(const std::filesystem::path& path, std::string_view bytes);

}  // namespace torvex::platform
