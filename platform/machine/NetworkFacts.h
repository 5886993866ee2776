// The network of a machine as the sockets layer, the NetBIOS interface and
// the IP helper library describe it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvex::platform {

// One entry of an address chain: dotted address and dotted mask.
struct IpAddressFacts {
    std::string address, mask;
    bool operator==(const IpAddressFacts&) const = default;
};

// One adapter as GetAdaptersInfo describes it. The type is the interface
// type of the IANA table that Windows uses (6 Ethernet, 24 loopback, 71
// IEEE 802.11, ...).
struct NetworkAdapterFacts {
    std::string adapterName;            // the adapter's key name, a GUID on NT
    std::string description;
    std::vector<std::uint8_t> hardwareAddress;   // at most 8 bytes; may be empty
    std::uint32_t index = 0;
    std::uint32_t type = 6;
    bool dhcpEnabled = false;
    bool haveWins = false;
    std::vector<IpAddressFacts> ipAddresses, gateways, dhcpServers, primaryWins, secondaryWins;
};

// The parameters GetNetworkParams reports. nodeType uses Windows' codes:
// 1 broadcast, 2 peer-to-peer, 4 mixed, 8 hybrid, 0 unknown.
struct NetworkParamsFacts {
    std::string hostName, domainName, scopeId;
    std::vector<std::string> dnsServers;
    // Index in dnsServers of the server in use; none when the system names
    // none.
    std::optional<std::size_t> currentDnsServer;
    std::uint32_t nodeType = 0;
    bool enableRouting = false, enableProxy = false, enableDns = false;
};

// One LAN adapter number of the NetBIOS interface and the card it is bound
// to. Several numbers may be bound to one card.
struct NetBiosAdapterFacts {
    std::uint8_t lana = 0;
    std::vector<std::uint8_t> address;   // six bytes
    bool resetFails = false;             // NCBRESET answers an error
    bool statusFails = false;            // NCBASTAT answers an error
};

// What WSAStartup reports.
struct WinsockFacts {
    std::string description = "WinSock 2.0";
    std::string systemStatus = "Running";
    std::uint16_t highVersion = 0x0202;  // low byte major, high byte minor
    bool startupFails = false;
};

}  // namespace torvex::platform
