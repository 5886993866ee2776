// The DRM sysfs files (/sys/class/drm/card*/...).
// The input is a small file tree (see FuzzTree.h) written into a temporary
// root, since this reader takes its files from a root folder.
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzTree.h"
#include "platform/host/HostDisplay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    using namespace torvex::platform::host;
    auto root = torvex::fuzz::FreshRoot("drm");
    torvex::fuzz::WriteTree(root, std::string_view(reinterpret_cast<const char*>(data), size));
    auto cards = ReadDrmCards(root);
    DrmScreen(std::nullopt, cards);
    HostDisplayFacts(std::nullopt, cards);
    return 0;
}
