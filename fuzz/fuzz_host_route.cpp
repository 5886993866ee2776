// /proc/net/route, resolv.conf and the network files read with them.
// The input is a small file tree (see FuzzTree.h) written into a temporary
// root, since this reader takes its files from a root folder.
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/FuzzTree.h"
#include "platform/host/HostNetwork.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    using namespace torvex::platform::host;
    auto root = torvex::fuzz::FreshRoot("route");
    torvex::fuzz::WriteTree(root, std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<InterfaceAddress> interfaces(2);
    interfaces[0].name = "eth0";
    interfaces[0].family = InterfaceAddress::ipv4;
    interfaces[0].address = "192.168.1.20";
    interfaces[0].netmask = "255.255.255.0";
    interfaces[1].name = "eth0";
    interfaces[1].hardwareAddress = {0, 1, 2, 3, 4, 5};
    ReadHostNetwork(root, interfaces, "fuzzhost");
    ReadHostNetworkComponents(root);
    return 0;
}
