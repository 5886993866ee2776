// The blkid cache and the volume texts taken from it.
#include <cstdint>
#include <string_view>

#include "platform/host/HostDisks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    auto id = ParseBlkidCache(text, "/dev/sda1", 8, 1);
    SerialFromUuid(text, "vfat");
    SerialFromUuid(text, "ntfs");
    VolumeFlagsOf("ext4", text);
    return 0;
}
