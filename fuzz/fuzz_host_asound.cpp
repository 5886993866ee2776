// The asound files (/proc/asound/cards, pcm, and the cards' folders).
// The input is a small file tree (see FuzzTree.h) written into a temporary
// root, since this reader takes its files from a root folder.
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzTree.h"
#include "platform/host/HostMedia.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    using namespace torvex::platform::host;
    auto root = torvex::fuzz::FreshRoot("asound");
    torvex::fuzz::WriteTree(root, std::string_view(reinterpret_cast<const char*>(data), size));
    HostMediaFacts(root);
    return 0;
}
