// The package-status file (and AppStream metainfo, read beside it).
#include <cstdint>
#include <string_view>

#include "platform/host/HostSoftware.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    ParseDpkgStatus(text);
    ParseMetainfo(text);
    return 0;
}
