// /proc/self/mountinfo.
#include <cstdint>
#include <string_view>

#include "platform/host/HostDisks.h"
#include "platform/host/HostDrives.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    for (const auto& m : ParseMountInfo(text)) {
        IsUserRamDisk(m);
        NormalizeHostPath(m.mountPoint);
    }
    return 0;
}
