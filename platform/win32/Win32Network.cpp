#include "platform/win32/Win32Network.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

namespace win32 {
namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::IpAddressFacts;

thread_local int tWsaError = 0;
// WSAStartup calls not yet matched by WSACleanup.
thread_local int tStartups = 0;

template <std::size_t N>
void CopyText(char (&target)[N], const std::string& text) {
    std::size_t n = std::min(text.size(), N - 1);
    std::memcpy(target, text.data(), n);
    target[n] = 0;
}

// "a.b.c.d" as four bytes; false for anything else.
bool ParseDotted(const std::string& text, BYTE out[4]) {
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4) return false;
    if (a > 255 || b > 255 || c > 255 || d > 255) return false;
    out[0] = BYTE(a), out[1] = BYTE(b), out[2] = BYTE(c), out[3] = BYTE(d);
    return true;
}

std::string OwnHostName() {
    auto& m = ActiveMachine();
    std::string name = m.socketHostName();
    return name.empty() ? m.computerName() : name;
}

// The IPv4 addresses the machine's own name stands for: those of its own
// adapters other than loopback, in adapter order; the loopback address when
// there are none, as Windows answers on a PC without a network.
std::vector<std::array<BYTE, 4>> OwnAddresses() {
    std::vector<std::array<BYTE, 4>> out;
    for (const auto& adapter : ActiveMachine().networkAdapters()) {
        if (adapter.type == MIB_IF_TYPE_LOOPBACK) continue;
        for (const auto& ip : adapter.ipAddresses) {
            std::array<BYTE, 4> a{};
            if (!ParseDotted(ip.address, a.data()) || (a[0] | a[1] | a[2] | a[3]) == 0) continue;
            if (std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
        }
    }
    if (out.empty()) out.push_back({127, 0, 0, 1});
    return out;
}

struct HostEntry {
    std::string name;
    std::vector<std::array<BYTE, 4>> addresses;
    std::vector<char*> list;
    char* noAliases = nullptr;
    hostent_win entry{};
};
thread_local HostEntry tHost;
thread_local char tDotted[16];

void FillAddress(IP_ADDR_STRING& entry, const IpAddressFacts& facts) {
    CopyText(entry.IpAddress.String, facts.address);
    CopyText(entry.IpMask.String, facts.mask);
}

// Lays a chain out: the first entry in `head`, the others in `spare`,
// linked in order. An empty chain leaves an empty head.
void FillChain(IP_ADDR_STRING& head, const std::vector<IpAddressFacts>& facts, IP_ADDR_STRING*& spare) {
    std::memset(&head, 0, sizeof head);
    if (facts.empty()) return;
    FillAddress(head, facts[0]);
    IP_ADDR_STRING* last = &head;
    for (std::size_t i = 1; i < facts.size(); ++i) {
        IP_ADDR_STRING* e = spare++;
        std::memset(e, 0, sizeof *e);
        FillAddress(*e, facts[i]);
        last->Next = e;
        last = e;
    }
}

std::size_t Extra(const std::vector<IpAddressFacts>& chain) { return chain.empty() ? 0 : chain.size() - 1; }

}  // namespace

// ---------------------------------------------------------------- Windows Sockets

int WSAStartup(WORD versionRequested, WSADATA* data) {
    if (!data) return WSAEFAULT;
    auto facts = ActiveMachine().winsock();
    if (facts.startupFails) return WSASYSNOTREADY;
    // Version 1.0 and below is not served; 1.1 and above is, up to the
    // highest the layer supports.
    BYTE major = BYTE(versionRequested & 0xFF), minor = BYTE(versionRequested >> 8);
    if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
    std::memset(data, 0, sizeof *data);
    WORD high = facts.highVersion;
    bool above = major > (high & 0xFF) || (major == (high & 0xFF) && minor > (high >> 8));
    data->wVersion = above ? high : versionRequested;
    data->wHighVersion = high;
    CopyText(data->szDescription, facts.description);
    CopyText(data->szSystemStatus, facts.systemStatus);
    data->iMaxSockets = 32767;
    data->iMaxUdpDg = 65467;
    ++tStartups;
    return 0;
}

int WSACleanup() {
    if (tStartups <= 0) {
        tWsaError = WSANOTINITIALISED;
        return SOCKET_ERROR;
    }
    --tStartups;
    return 0;
}

int WSAGetLastError() { return tWsaError; }

int gethostname(char* name, int length) {
    if (tStartups <= 0) {
        tWsaError = WSANOTINITIALISED;
        return SOCKET_ERROR;
    }
    std::string own = OwnHostName();
    if (!name || length <= 0 || std::size_t(length) < own.size() + 1) {
        tWsaError = WSAEFAULT;
        return SOCKET_ERROR;
    }
    std::memcpy(name, own.c_str(), own.size() + 1);
    return 0;
}

hostent_win* gethostbyname(const char* name) {
    if (tStartups <= 0) {
        tWsaError = WSANOTINITIALISED;
        return nullptr;
    }
    if (!name) {
        tWsaError = WSAEFAULT;
        return nullptr;
    }
    std::string wanted = name;
    HostEntry& h = tHost;
    h.addresses.clear();
    std::array<BYTE, 4> dotted{};
    if (ParseDotted(wanted, dotted.data())) {
        h.addresses.push_back(dotted);
    } else if (torvex::platform::EqualsNoCase(wanted, OwnHostName())) {
        h.addresses = OwnAddresses();
        wanted = OwnHostName();
    } else if (torvex::platform::EqualsNoCase(wanted, "localhost")) {
        h.addresses.push_back({127, 0, 0, 1});
    } else {
        // No name server is ever asked.
        tWsaError = WSAHOST_NOT_FOUND;
        return nullptr;
    }
    h.name = wanted;
    h.list.clear();
    for (auto& a : h.addresses) h.list.push_back(reinterpret_cast<char*>(a.data()));
    h.list.push_back(nullptr);
    h.entry.h_name = h.name.data();
    h.entry.h_aliases = &h.noAliases;
    h.entry.h_addrtype = AF_INET_WIN;
    h.entry.h_length = 4;
    h.entry.h_addr_list = h.list.data();
    return &h.entry;
}

char* inet_ntoa(in_addr_win address) {
    const auto* b = reinterpret_cast<const BYTE*>(&address.S_addr);
    std::snprintf(tDotted, sizeof tDotted, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return tDotted;
}

// ---------------------------------------------------------------- NetBIOS

BYTE Netbios(NCB* ncb) {
    if (!ncb) return NRC_ILLCMD;
    auto adapters = ActiveMachine().netBiosAdapters();
    auto answer = [&](BYTE code) {
        ncb->ncb_retcode = code;
        ncb->ncb_cmd_cplt = code;
        return code;
    };
    auto find = [&](BYTE lana) -> const torvex::platform::NetBiosAdapterFacts* {
        for (const auto& a : adapters)
            if (a.lana == lana) return &a;
        return nullptr;
    };
    switch (ncb->ncb_command) {
        case NCBENUM: {
            std::size_t count = std::min<std::size_t>(adapters.size(), MAX_LANA);
            if (!ncb->ncb_buffer || ncb->ncb_length < count + 1) return answer(NRC_BUFLEN);
            ncb->ncb_buffer[0] = BYTE(count);
            for (std::size_t i = 0; i < count; ++i) ncb->ncb_buffer[i + 1] = adapters[i].lana;
            ncb->ncb_length = WORD(count + 1);
            return answer(NRC_GOODRET);
        }
        case NCBRESET: {
            const auto* a = find(ncb->ncb_lana_num);
            if (!a) return answer(NRC_BRIDGE);
            return answer(a->resetFails ? NRC_SYSTEM : NRC_GOODRET);
        }
        case NCBASTAT: {
            const auto* a = find(ncb->ncb_lana_num);
            if (!a) return answer(NRC_BRIDGE);
            if (a->statusFails) return answer(NRC_SYSTEM);
            if (!ncb->ncb_buffer || ncb->ncb_length < sizeof(ADAPTER_STATUS)) return answer(NRC_BUFLEN);
            ADAPTER_STATUS status{};
            // An empty address has no storage to copy from.
            if (!a->address.empty())
                std::memcpy(status.adapter_address, a->address.data(), std::min<std::size_t>(a->address.size(), 6));
            status.rev_major = 3;
            status.adapter_type = 0xFE;   // Ethernet
            status.max_dgram_size = 1464;
            std::memcpy(ncb->ncb_buffer, &status, sizeof status);
            ncb->ncb_length = WORD(sizeof status);
            return answer(NRC_GOODRET);
        }
        default:
            return answer(NRC_ILLCMD);
    }
}

// ---------------------------------------------------------------- IP helper

DWORD GetAdaptersInfo(IP_ADAPTER_INFO* adapterInfo, ULONG* size) {
    if (!size) return ERROR_INVALID_PARAMETER;
    auto adapters = ActiveMachine().networkAdapters();
    if (adapters.empty()) return ERROR_NO_DATA;
    std::size_t extra = 0;
    for (auto& a : adapters) {
        // An adapter without an address shows 0.0.0.0, as Windows shows a
        // disconnected one.
        if (a.ipAddresses.empty()) a.ipAddresses.push_back({"0.0.0.0", "0.0.0.0"});
        extra += Extra(a.ipAddresses) + Extra(a.gateways) + Extra(a.dhcpServers) + Extra(a.primaryWins) +
                 Extra(a.secondaryWins);
    }
    std::size_t needed = adapters.size() * sizeof(IP_ADAPTER_INFO) + extra * sizeof(IP_ADDR_STRING);
    if (!adapterInfo || *size < needed) {
        *size = ULONG(needed);
        return ERROR_BUFFER_OVERFLOW;
    }
    auto* spare = reinterpret_cast<IP_ADDR_STRING*>(adapterInfo + adapters.size());
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const auto& f = adapters[i];
        IP_ADAPTER_INFO& r = adapterInfo[i];
        std::memset(&r, 0, sizeof r);
        r.Next = i + 1 < adapters.size() ? &adapterInfo[i + 1] : nullptr;
        r.ComboIndex = f.index;
        CopyText(r.AdapterName, f.adapterName);
        CopyText(r.Description, f.description);
        r.AddressLength = UINT(std::min<std::size_t>(f.hardwareAddress.size(), MAX_ADAPTER_ADDRESS_LENGTH));
        // An adapter without a hardware address (a tunnel, a FireWire
        // link) has no storage behind its empty address.
        if (r.AddressLength) std::memcpy(r.Address, f.hardwareAddress.data(), r.AddressLength);
        r.Index = f.index;
        r.Type = f.type;
        r.DhcpEnabled = f.dhcpEnabled ? 1 : 0;
        FillChain(r.IpAddressList, f.ipAddresses, spare);
        r.CurrentIpAddress = nullptr;
        FillChain(r.GatewayList, f.gateways, spare);
        FillChain(r.DhcpServer, f.dhcpServers, spare);
        r.HaveWins = f.haveWins ? TRUE : FALSE;
        FillChain(r.PrimaryWinsServer, f.primaryWins, spare);
        FillChain(r.SecondaryWinsServer, f.secondaryWins, spare);
    }
    return ERROR_SUCCESS;
}

DWORD GetNetworkParams(FIXED_INFO* fixedInfo, ULONG* size) {
    if (!size) return ERROR_INVALID_PARAMETER;
    auto params = ActiveMachine().networkParams();
    if (!params) return ERROR_NOT_SUPPORTED;
    std::vector<IpAddressFacts> dns;
    for (const auto& s : params->dnsServers) dns.push_back({s, ""});
    std::size_t needed = sizeof(FIXED_INFO) + Extra(dns) * sizeof(IP_ADDR_STRING);
    if (!fixedInfo || *size < needed) {
        *size = ULONG(needed);
        return ERROR_BUFFER_OVERFLOW;
    }
    std::memset(fixedInfo, 0, sizeof *fixedInfo);
    CopyText(fixedInfo->HostName, params->hostName);
    CopyText(fixedInfo->DomainName, params->domainName);
    auto* spare = reinterpret_cast<IP_ADDR_STRING*>(fixedInfo + 1);
    FillChain(fixedInfo->DnsServerList, dns, spare);
    if (params->currentDnsServer && *params->currentDnsServer < dns.size()) {
        IP_ADDR_STRING* e = &fixedInfo->DnsServerList;
        for (std::size_t i = 0; i < *params->currentDnsServer; ++i) e = e->Next;
        fixedInfo->CurrentDnsServer = e;
    }
    fixedInfo->NodeType = params->nodeType;
    CopyText(fixedInfo->ScopeId, params->scopeId);
    fixedInfo->EnableRouting = params->enableRouting;
    fixedInfo->EnableProxy = params->enableProxy;
    fixedInfo->EnableDns = params->enableDns;
    return ERROR_SUCCESS;
}

}  // namespace win32
