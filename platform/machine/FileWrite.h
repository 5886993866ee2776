// The one way the program writes a file: report exports, the overview's
// export, and profile files on the host and in a machine's overlay.
//
// Writing must never destroy what was there:
// - a plain file is replaced atomically (written beside, renamed over), and
//   the new file keeps the old one's permission bits, and its owner and
//   group where the process may set them;
// - a symbolic link stays a link: the file it finally points to is replaced;
// - a device, FIFO or socket (/dev/stdout, /dev/full, a shell's >(cmd)) is
//   written straight through and never replaced;
// - a file whose mode forbids the process to write it is refused, not
//   replaced behind the user's back (root may write it, as cp does).
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
