// The network: the adapters of the device list, the installed protocols,
// services and clients, the PC's own addresses, the adapters' hardware
// addresses through NetBIOS, the sockets layer, and the TCP/IP configuration
// of every adapter as the IP helper library reports it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Zarvo_Common.h"
#include "platform/classes/Classes.h"

namespace torvex::engine {

enum TNodeType { ntUnknown, ntBroadcast, ntPeerToPeer, ntMixed, ntHybrid };
TORVEX_ENUM_NAMES(TNodeType, "ntUnknown", "ntBroadcast", "ntPeerToPeer", "ntMixed", "ntHybrid")

// "Unknown", "Broadcast", "Peer-To-Peer", "Mixed", "Hybrid".
std::string NodeTypeText(TNodeType type);
// The library's node type: 1 Broadcast, 2 Peer-To-Peer, 4 Mixed, 8 Hybrid,
// anything else Unknown.
TNodeType NodeTypeOf(std::uint32_t libraryNodeType);
// The adapter type of an interface type: 1 Other (0), 6 Ethernet (1),
// 9 Token Ring (2), 15 FDDI (3), 23 PPP (4), 24 Loopback (5), 28 Slip (6);
// any other type is Other.
std::uint8_t AdapterTypeOf(std::uint32_t interfaceType);
// "Other", "Ethernet", "Token Ring", "FDDI", "PPP", "Loopback", "Slip".
std::string AdapterTypeText(std::uint8_t type);

// One adapter of the IP helper library.
struct TAdapter {
    std::string Name;
    std::string Address;   // "00-A0-C9-12-34-56"
    std::uint8_t AdapterType = 0;
    bool EnableDHCP = false;
    bool HaveWINS = false;
    TStringList IPAddress, IPMask;
    TStringList Gateway_IPAddress, Gateway_IPMask;
    TStringList DHCP_IPAddress, DHCP_IPMask;
    TStringList PrimaryWINS_IPAddress, PrimaryWINS_IPMask;
    TStringList SecondaryWINS_IPAddress, SecondaryWINS_IPMask;

    TAdapter() = default;
    TAdapter(const TAdapter& other) { *this = other; }
    TAdapter& operator=(const TAdapter& other);
};

class TWinsock : public TPersistent {
public:
    void GetInfo();

    const std::string& Description() const { return FDescription; }
    std::uint16_t MajorVersion() const { return FMajorVersion; }
    std::uint16_t MinorVersion() const { return FMinorVersion; }
    const std::string& Status() const { return FStatus; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    std::string FDescription;
    std::uint16_t FMajorVersion = 0, FMinorVersion = 0;
    std::string FStatus;
};

class TTCPIP : public TPersistent {
public:
    TTCPIP();
    ~TTCPIP() override;

    void GetInfo();
    void Report(TStringList& lines) const;
    // A copy of the adapter record at index (0-based, chain order); false
    // (and the record untouched) when there is none.
    bool GetAdapter(int index, TAdapter& adapter) const;

    std::uint16_t AdapterCount() const { return std::uint16_t(FAdapters.Count()); }
    const std::string& HostName() const { return FHostName; }
    const std::string& DomainName() const { return FDomainName; }
    bool EnableProxy() const { return FEnableProxy; }
    bool EnableRouting() const { return FEnableRouting; }
    bool EnableDNS() const { return FEnableDNS; }
    const std::string& PrimaryDNSSuffix() const { return FPrimaryDNSSuffix; }
    const std::string& DHCPScopeName() const { return FDHCPScopeName; }
    const TStringList& DNSServers() const { return *FDNSServers; }
    TNodeType NodeType() const { return FNodeType; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    void GetAdapters();
    void GetParameters();

    TStringList FAdapters;   // names, each with its owned record
    std::string FHostName, FDomainName, FPrimaryDNSSuffix, FDHCPScopeName;
    bool FEnableProxy = false, FEnableRouting = false, FEnableDNS = false;
    std::unique_ptr<TStringList> FDNSServers;
    TNodeType FNodeType = ntUnknown;
};

class TNetwork : public TPersistent {
public:
    // Creates the parts and names the adapters from a device list of its
    // own; the adapters are not read again on refresh.
    TNetwork();
    ~TNetwork() override;

    void GetInfo();
    void Report(TStringList& lines) const;

    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    void SetExceptionMode(TExceptionMode mode) { FExceptionMode = mode; }
    const TStringList& IPAddresses() const { return *FIPAddresses; }
    const TStringList& MACAddresses() const { return *FMACAddresses; }
    const TStringList& Adapters() const {
        GetAdapterNames();
        return *FAdapters;
    }
    std::int32_t CardAdapterIndex() const {
        GetAdapterNames();
        return FCardAdapterIndex;
    }
    const TStringList& Protocols() const { return *FProtocols; }
    const TStringList& Services() const { return *FServices; }
    const TStringList& Clients() const { return *FClients; }
    const TWinsock& WinSock() const { return *FWinSock; }
    const TTCPIP& TCPIP() const { return *FTCPIP; }
    // The adapter taken for the PC's network card, or "<not detected>".
    const std::string& CardAdapter() const { return FCardAdapter; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    // The adapters of the device list, read once with the first question
    // that needs them: a root that never shows the network never walks the
    // devices.
    void GetAdapterNames() const;
    void GetLocalAddresses();
    void GetComponents(const std::string& className, TStringList& list);
    void GetMACAddresses();

    TExceptionMode FExceptionMode = emMessage;
    std::unique_ptr<TWinsock> FWinSock;
    std::unique_ptr<TTCPIP> FTCPIP;
    std::unique_ptr<TStringList> FIPAddresses, FMACAddresses, FAdapters, FProtocols, FServices, FClients;
    mutable std::int32_t FCardAdapterIndex = -1;
    mutable bool FAdapterNamesRead = false;
    std::string FCardAdapter;
};

}  // namespace torvex::engine
