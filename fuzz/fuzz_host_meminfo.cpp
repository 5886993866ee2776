// /proc/meminfo.
#include <cstdint>
#include <string_view>

#include "platform/host/HostFacts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    auto m = ParseMeminfo(text);
    MemoryLoad(m.totalPhys, m.availPhys);
    return 0;
}
