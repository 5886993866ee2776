#include "engine/Zarvo_Network.h"

#include <cstring>
#include <vector>

#include "engine/Zarvo_Devices.h"
#include "platform/Corvane_IpHlpAPI.h"
#include "platform/Corvane_Routines.h"
#include "platform/win32/Win32Network.h"

namespace torvex::engine {

namespace routines = torvex::platform::routines;

namespace {

// The list owns its adapter records as objects.
struct TAdapterRecord : TObject {
    TAdapter Data;
};

void AssignList(TStringList& to, const TStringList& from) { to.Assign(from); }

// Adds every entry of an address chain: its address to one list, its mask to
// the other. The chain ends at the first entry without a successor.
void AddChain(const win32::IP_ADDR_STRING& head, TStringList& addresses, TStringList& masks) {
    for (const win32::IP_ADDR_STRING* e = &head; e; e = e->Next) {
        addresses.Add(std::string(e->IpAddress.String, strnlen(e->IpAddress.String, sizeof e->IpAddress.String)));
        masks.Add(std::string(e->IpMask.String, strnlen(e->IpMask.String, sizeof e->IpMask.String)));
    }
}

template <std::size_t N>
std::string FixedText(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

// Calls an IP helper function with a buffer that grows as the library asks:
// while it answers that the buffer is too small, twice the size it asked for
// is offered. Returns the library's final answer; `buffer` holds the data on
// success.
template <class Record, class Proc>
win32::DWORD CallGrowing(Proc proc, std::vector<std::uint64_t>& buffer, win32::ULONG initialSize) {
    win32::ULONG size = initialSize;
    buffer.assign((size + 7) / 8, 0);
    win32::DWORD result = proc(reinterpret_cast<Record*>(buffer.data()), &size);
    while (result == win32::ERROR_BUFFER_OVERFLOW) {
        // A library that keeps asking for no more than it was given would
        // never be satisfied.
        if (size <= buffer.size() * 8) return result;
        size *= 2;
        buffer.assign((size + 7) / 8, 0);
        result = proc(reinterpret_cast<Record*>(buffer.data()), &size);
    }
    return result;
}

}  // namespace

std::string NodeTypeText(TNodeType type) {
    switch (type) {
        case ntBroadcast: return "Broadcast";
        case ntPeerToPeer: return "Peer-To-Peer";
        case ntMixed: return "Mixed";
        case ntHybrid: return "Hybrid";
        default: return "Unknown";
    }
}

TNodeType NodeTypeOf(std::uint32_t libraryNodeType) {
    switch (libraryNodeType) {
        case 1: return ntBroadcast;
        case 2: return ntPeerToPeer;
        case 4: return ntMixed;
        case 8: return ntHybrid;
        default: return ntUnknown;
    }
}

std::uint8_t AdapterTypeOf(std::uint32_t interfaceType) {
    switch (interfaceType) {
        case 6: return 1;
        case 9: return 2;
        case 15: return 3;
        case 23: return 4;
        case 24: return 5;
        case 28: return 6;
        default: return 0;
    }
}

std::string AdapterTypeText(std::uint8_t type) {
    static const char* const texts[] = {"Other", "Ethernet", "Token Ring", "FDDI", "PPP", "Loopback", "Slip"};
    return type < 7 ? texts[type] : texts[0];
}

TAdapter& TAdapter::operator=(const TAdapter& other) {
    if (this == &other) return *this;
    Name = other.Name;
    Address = other.Address;
    AdapterType = other.AdapterType;
    EnableDHCP = other.EnableDHCP;
    HaveWINS = other.HaveWINS;
    AssignList(IPAddress, other.IPAddress);
    AssignList(IPMask, other.IPMask);
    AssignList(Gateway_IPAddress, other.Gateway_IPAddress);
    AssignList(Gateway_IPMask, other.Gateway_IPMask);
    AssignList(DHCP_IPAddress, other.DHCP_IPAddress);
    AssignList(DHCP_IPMask, other.DHCP_IPMask);
    AssignList(PrimaryWINS_IPAddress, other.PrimaryWINS_IPAddress);
    AssignList(PrimaryWINS_IPMask, other.PrimaryWINS_IPMask);
    AssignList(SecondaryWINS_IPAddress, other.SecondaryWINS_IPAddress);
    AssignList(SecondaryWINS_IPMask, other.SecondaryWINS_IPMask);
    return *this;
}

// ---------------------------------------------------------------- TWinsock

void TWinsock::GetInfo() {
    win32::WSADATA data{};
    if (win32::WSAStartup(win32::MAKEWORD(1, 1), &data) != 0) {
        FStatus = "Winsock cannot be initialized.";
        return;
    }
    FDescription = FixedText(data.szDescription);
    FStatus = FixedText(data.szSystemStatus);
    FMajorVersion = data.wHighVersion & 0xFF;
    FMinorVersion = data.wHighVersion >> 8;
    win32::WSACleanup();
}

void TWinsock::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Description", FDescription);
    published.Add("MajorVersion", FMajorVersion);
    published.Add("MinorVersion", FMinorVersion);
    published.Add("Status", FStatus);
}

// ---------------------------------------------------------------- TTCPIP

TTCPIP::TTCPIP() : FDNSServers(std::make_unique<TStringList>()) {}

TTCPIP::~TTCPIP() = default;

void TTCPIP::GetInfo() {
    FAdapters.Clear();
    FDNSServers->Clear();
    if (!platform::iphlpapi::IpHlpAPILoaded) return;
    GetAdapters();
    GetParameters();
}

void TTCPIP::GetAdapters() {
    auto proc = reinterpret_cast<win32::GetAdaptersInfoProc>(platform::iphlpapi::GetAdaptersInfo);
    if (!proc) return;
    std::vector<std::uint64_t> buffer;
    if (CallGrowing<win32::IP_ADAPTER_INFO>(proc, buffer, sizeof(win32::IP_ADAPTER_INFO)) != win32::ERROR_SUCCESS)
        return;
    for (auto* a = reinterpret_cast<const win32::IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next) {
        auto record = std::make_unique<TAdapterRecord>();
        TAdapter& r = record->Data;
        r.Name = classes::Trim(FixedText(a->Description));
        unsigned length = std::min<unsigned>(a->AddressLength, win32::MAX_ADAPTER_ADDRESS_LENGTH);
        for (unsigned i = 0; i < length; ++i) {
            if (i) r.Address += "-";
            r.Address += Format("%2.2x", {int(a->Address[i])});
        }
        r.AdapterType = AdapterTypeOf(a->Type);
        r.EnableDHCP = a->DhcpEnabled != 0;
        r.HaveWINS = a->HaveWins != 0;
        AddChain(a->IpAddressList, r.IPAddress, r.IPMask);
        AddChain(a->GatewayList, r.Gateway_IPAddress, r.Gateway_IPMask);
        AddChain(a->DhcpServer, r.DHCP_IPAddress, r.DHCP_IPMask);
        AddChain(a->PrimaryWinsServer, r.PrimaryWINS_IPAddress, r.PrimaryWINS_IPMask);
        AddChain(a->SecondaryWinsServer, r.SecondaryWINS_IPAddress, r.SecondaryWINS_IPMask);
        std::string name = r.Name;
        FAdapters.AddObject(name, std::move(record));
    }
}

void TTCPIP::GetParameters() {
    auto proc = reinterpret_cast<win32::GetNetworkParamsProc>(platform::iphlpapi::GetNetworkParams);
    if (!proc) return;
    std::vector<std::uint64_t> buffer;
    if (CallGrowing<win32::FIXED_INFO>(proc, buffer, sizeof(win32::FIXED_INFO)) != win32::ERROR_SUCCESS) return;
    const auto* f = reinterpret_cast<const win32::FIXED_INFO*>(buffer.data());
    FNodeType = NodeTypeOf(f->NodeType);
    FDHCPScopeName = FixedText(f->ScopeId);
    FPrimaryDNSSuffix = f->CurrentDnsServer ? FixedText(f->CurrentDnsServer->IpAddress.String) : std::string();
    for (const win32::IP_ADDR_STRING* e = &f->DnsServerList; e; e = e->Next)
        FDNSServers->Add(FixedText(e->IpAddress.String));
    FHostName = FixedText(f->HostName);
    FDomainName = FixedText(f->DomainName);
    FEnableProxy = f->EnableProxy != 0;
    FEnableRouting = f->EnableRouting != 0;
    FEnableDNS = f->EnableDns != 0;
}

bool TTCPIP::GetAdapter(int index, TAdapter& adapter) const {
    if (index < 0 || index >= FAdapters.Count()) return false;
    adapter = static_cast<const TAdapterRecord*>(FAdapters.Objects(index))->Data;
    return true;
}

void TTCPIP::Report(TStringList& lines) const {
    lines.Add("[TCP/IP]");
    lines.Add("HostName=" + FHostName);
    lines.Add("DomainName=" + FDomainName);
    lines.Add("NodeType=" + NodeTypeText(FNodeType));
    lines.Add("PrimaryDNSSuffix=" + FPrimaryDNSSuffix);
    lines.Add("DNSServers=" + FDNSServers->CommaText());
    lines.Add(Format("AdapterCount=%d", {int(AdapterCount())}));
    for (int i = 0; i < FAdapters.Count(); ++i) {
        const TAdapter& a = static_cast<const TAdapterRecord*>(FAdapters.Objects(i))->Data;
        lines.Add(Format("Adapter[%d]=%s", {i, a.Name}));
        lines.Add(Format("AdapterPhysAddr[%d]=%s", {i, a.Address}));
        lines.Add(Format("AdapterType[%d]=%s", {i, AdapterTypeText(a.AdapterType)}));
        const std::pair<const char*, const TStringList*> lists[] = {
            {"Adapter_IPAddress", &a.IPAddress},
            {"Adapter_IPMask", &a.IPMask},
            {"Adapter_Gateway_IPAddress", &a.Gateway_IPAddress},
            {"Adapter_Gateway_IPMask", &a.Gateway_IPMask},
            {"Adapter_DHCP_IPAddress", &a.DHCP_IPAddress},
            {"Adapter_DHCP_IPMask", &a.DHCP_IPMask},
            {"Adapter_PrimaryWINS_IPAddress", &a.PrimaryWINS_IPAddress},
            {"Adapter_PrimaryWINS_IPMask", &a.PrimaryWINS_IPMask},
            {"Adapter_SecondaryWINS_IPAddress", &a.SecondaryWINS_IPAddress},
            {"Adapter_SecondaryWINS_IPMask", &a.SecondaryWINS_IPMask},
        };
        for (const auto& [key, list] : lists) lines.Add(Format("%s[%d]=%s", {key, i, list->CommaText()}));
    }
}

void TTCPIP::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.AddGetter("AdapterCount", [this] { return AdapterCount(); });
    published.Add("HostName", FHostName);
    published.Add("DomainName", FDomainName);
    published.Add("EnableProxy", FEnableProxy);
    published.Add("EnableRouting", FEnableRouting);
    published.Add("EnableDNS", FEnableDNS);
    published.Add("PrimaryDNSSuffix", FPrimaryDNSSuffix);
    published.Add("DHCPScopeName", FDHCPScopeName);
    published.Add("DNSServers", FDNSServers);
    published.Add("NodeType", FNodeType);
}

// ---------------------------------------------------------------- TNetwork

TNetwork::TNetwork()
    : FWinSock(std::make_unique<TWinsock>()),
      FTCPIP(std::make_unique<TTCPIP>()),
      FIPAddresses(std::make_unique<TStringList>()),
      FMACAddresses(std::make_unique<TStringList>()),
      FAdapters(std::make_unique<TStringList>()),
      FProtocols(std::make_unique<TStringList>()),
      FServices(std::make_unique<TStringList>()),
      FClients(std::make_unique<TStringList>()) {}

TNetwork::~TNetwork() = default;

void TNetwork::GetAdapterNames() const {
    if (FAdapterNamesRead) return;
    FAdapterNamesRead = true;
    // Under the mode a new network object has, as when the list was read
    // on construction.
    TDevices devices;
    GuardedCall(GetInfoLabel(devices), emMessage, &TDevices::GetInfo, devices);
    for (int i = 0; i < devices.DeviceCount(); ++i) {
        TDevice d;
        if (!devices.GetDevice(i, d) || d.DeviceClass != dcNet) continue;
        int index = FAdapters->Add(d.FriendlyName.empty() ? d.Description : d.FriendlyName);
        if (FCardAdapterIndex == -1 && !d.Location.empty()) FCardAdapterIndex = index;
    }
}

void TNetwork::GetInfo() {
    GuardedCall(GetInfoLabel(*FWinSock), FExceptionMode, &TWinsock::GetInfo, *FWinSock);
    GuardedCall(GetInfoLabel(*FTCPIP), FExceptionMode, &TTCPIP::GetInfo, *FTCPIP);
    GetLocalAddresses();
    GetComponents("NetTrans", *FProtocols);
    GetComponents("NetService", *FServices);
    GetComponents("NetClient", *FClients);
    GetMACAddresses();
    GetAdapterNames();
    if (FCardAdapterIndex >= 0 && FCardAdapterIndex < FAdapters->Count())
        FCardAdapter = FAdapters->Strings(FCardAdapterIndex);
    else if (FAdapters->Count() > 0)
        FCardAdapter = FAdapters->Strings(0);
    else
        FCardAdapter = "<not detected>";
}

void TNetwork::GetLocalAddresses() {
    std::string joined;
    win32::WSADATA data{};
    if (win32::WSAStartup(win32::MAKEWORD(1, 1), &data) == 0) {
        char name[64] = {};
        // A name that does not fit the buffer is not resolved.
        if (win32::gethostname(name, sizeof name) == 0) {
            if (const win32::hostent_win* host = win32::gethostbyname(name)) {
                for (char** a = host->h_addr_list; a && *a; ++a) {
                    win32::in_addr_win address{};
                    std::memcpy(&address.S_addr, *a, 4);
                    if (!joined.empty()) joined += ",";
                    joined += win32::inet_ntoa(address);
                }
            }
        }
        win32::WSACleanup();
    }
    FIPAddresses->SetCommaText(joined);
}

void TNetwork::GetComponents(const std::string& className, TStringList& list) {
    list.Clear();
    if (routines::IsWin2K)
        routines::GetClassDevices("\\SYSTEM\\CurrentControlSet\\Control\\Network", className, "Description", list);
    else
        routines::GetClassDevices(routines::ClassKey, className, "DriverDesc", list);
}

void TNetwork::GetMACAddresses() {
    win32::LANA_ENUM lanas{};
    win32::NCB ncb{};
    ncb.ncb_command = win32::NCBENUM;
    ncb.ncb_buffer = reinterpret_cast<win32::BYTE*>(&lanas);
    ncb.ncb_length = sizeof lanas;
    if (win32::Netbios(&ncb) != win32::NRC_GOODRET) lanas.length = 0;
    FMACAddresses->Clear();
    // The count comes from the interface; never read past the buffer.
    int count = std::min<int>(lanas.length, win32::MAX_LANA);
    for (int i = 0; i < count; ++i) {
        win32::BYTE lana = lanas.lana[i];
        ncb = {};
        ncb.ncb_command = win32::NCBRESET;
        ncb.ncb_lana_num = lana;
        if (win32::Netbios(&ncb) != win32::NRC_GOODRET) continue;
        struct {
            win32::ADAPTER_STATUS status;
            win32::NAME_BUFFER names[16];
        } answer{};
        static_assert(sizeof answer == 348);
        ncb = {};
        ncb.ncb_command = win32::NCBASTAT;
        ncb.ncb_lana_num = lana;
        std::memset(ncb.ncb_callname, ' ', win32::NCBNAMSZ);
        ncb.ncb_callname[0] = '*';
        ncb.ncb_buffer = reinterpret_cast<win32::BYTE*>(&answer);
        ncb.ncb_length = sizeof answer;
        std::string text = "??:??:??:??:??:??";
        if (win32::Netbios(&ncb) == win32::NRC_GOODRET) {
            const win32::BYTE* b = answer.status.adapter_address;
            text = Format("%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x",
                          {int(b[0]), int(b[1]), int(b[2]), int(b[3]), int(b[4]), int(b[5])});
        }
        if (FMACAddresses->IndexOf(text) < 0) FMACAddresses->Add(text);
    }
}

void TNetwork::Report(TStringList& lines) const {
    lines.Add("[Network]");
    GetAdapterNames();
    ListToReport(*FAdapters, "Count", "Adapter", lines);
    ListToReport(*FProtocols, "ProtoCount", "Protocol", lines);
    ListToReport(*FServices, "ServiceCount", "Service", lines);
    ListToReport(*FClients, "ClientCount", "Client", lines);
    ListToReport(*FIPAddresses, "IPCount", "IPAddress", lines);
    ListToReport(*FMACAddresses, "MACCount", "MACAddress", lines);
    lines.Add("[Winsock]");
    lines.Add(Format("Description=%s", {FWinSock->Description()}));
    lines.Add(Format("Version=%d.%d", {int(FWinSock->MajorVersion()), int(FWinSock->MinorVersion())}));
    lines.Add(Format("Status=%s", {FWinSock->Status()}));
    FTCPIP->Report(lines);
}

void TNetwork::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("ExceptionMode", FExceptionMode);
    published.Add("IPAddresses", FIPAddresses);
    published.Add("MACAddresses", FMACAddresses);
    GetAdapterNames();
    published.Add("Adapters", FAdapters);
    published.Add("CardAdapterIndex", FCardAdapterIndex);
    published.Add("Protocols", FProtocols);
    published.Add("Services", FServices);
    published.Add("Clients", FClients);
    published.Add("WinSock", FWinSock);
    published.Add("TCPIP", FTCPIP);
}

}  // namespace torvex::engine
