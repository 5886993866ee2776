// os-release, and the kernel release's service-pack text.
#include <cstdint>
#include <string_view>

#include "platform/host/HostFacts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace torvex::platform::host;
    ParseOsRelease(text);
    ServicePackText(text);
    return 0;
}
