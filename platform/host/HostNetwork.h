// The live host's network in the shape of the IP helper library, the
// NetBIOS interface and the network component classes.
//
// The interfaces come from the kernel's interface-address list (getifaddrs,
// which glibc fills from an rtnetlink dump): one link entry per interface
// with its index, link type and hardware address, then its IPv4 and IPv6
// addresses. Default gateways come from /proc/net/route, name servers from
// resolv.conf (or systemd-resolved's own list when resolv.conf only names
// its local stub), DHCP servers from the lease files of systemd-networkd,
// NetworkManager and dhclient, WINS and the node type from Samba's
// configuration. Nothing here asks a name server or waits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"

namespace torvex::platform {
class Registry;
}

namespace torvex::platform::host {

// One entry of the interface-address list as getifaddrs hands it over.
struct InterfaceAddress {
    enum Family { link, ipv4, ipv6 };
    std::string name;
    Family family = link;
    unsigned flags = 0;                         // IFF_UP, IFF_LOOPBACK ...
    // link entries: the interface index, the link type (ARPHRD_*) and the
    // hardware address.
    unsigned index = 0;
    unsigned short linkType = 0;
    std::vector<std::uint8_t> hardwareAddress;
    // ipv4 entries: dotted address and mask.
    std::string address, netmask;
};

// The running system's list; empty when it cannot be had.
std::vector<InterfaceAddress> ReadInterfaceAddresses();

struct HostNetworkFacts {
    std::vector<NetworkAdapterFacts> adapters;
    NetworkParamsFacts params;
    std::vector<NetBiosAdapterFacts> netBios;
};

// Everything the host answers, from the interface list and the files below
// root. hostName is the kernel's host name.
HostNetworkFacts ReadHostNetwork(const std::filesystem::path& root, const std::vector<InterfaceAddress>& interfaces,
                                 const std::string& hostName);

// The IPv4 name servers of a resolv.conf text, in its order, and its local
// domain (the last "domain" or "search" line's first name).
struct ResolverConfig {
    std::vector<std::string> nameServers;   // IPv4 only
    bool namesAnyServer = false;            // any "nameserver" line, IPv6 ones too
    std::string domain;
};
ResolverConfig ParseResolvConf(std::string_view text);

// The network protocols, services and clients the host runs, as the
// component classes NetTrans, NetService and NetClient list them.
struct HostNetworkComponents {
    std::vector<std::string> protocols, services, clients;
};
HostNetworkComponents ReadHostNetworkComponents(const std::filesystem::path& root);
void ProjectHostNetworkComponents(Registry& registry, const HostNetworkComponents& components);

// Tests and replayed trees: the interface list to use instead of the
// running system's when the host is read below another root.
void SetRecordedInterfaceAddresses(std::vector<InterfaceAddress> interfaces);
std::optional<std::vector<InterfaceAddress>> RecordedInterfaceAddresses();

// What the host's sockets layer says of itself at start-up.
WinsockFacts HostWinsock();

}  // namespace torvex::platform::host
