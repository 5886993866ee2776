#include "platform/host/HostNetwork.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/machine/FileText.h"
#include "platform/machine/Registry.h"
#include "platform/machine/TextUtil.h"

namespace fs = std::filesystem;

namespace torvex::platform::host {

namespace {

constexpr const char* kWho = "network";

// The interface types of Windows' table.
constexpr std::uint32_t kTypeOther = 1, kTypeEthernet = 6, kTypeTokenRing = 9, kTypeFddi = 15, kTypePpp = 23,
                        kTypeLoopback = 24, kTypeSlip = 28, kTypeIeee80211 = 71, kTypeTunnel = 131;
// The kernel's link types (ARPHRD_*).
constexpr unsigned short kArpEther = 1, kArpSlip = 256, kArpPpp = 512, kArpLoopback = 772, kArpFddi = 774,
                         kArpTokenRing = 800, kArpNone = 65534, kArpTunnel = 768, kArpTunnel6 = 769, kArpSit = 776,
                         kArpIpGre = 778;
// A single host as a mask, as Windows gives gateways, DHCP and WINS servers.
constexpr const char* kHostMask = "255.255.255.255";

std::mutex gRecordedMutex;
std::optional<std::vector<InterfaceAddress>> gRecorded;

bool IsDotted(std::string_view text) {
    unsigned a, b, c, d;
    char tail;
    std::string t(text);
    return std::sscanf(t.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) == 4 && a < 256 && b < 256 && c < 256 &&
           d < 256;
}

std::string Dotted(const sockaddr* sa) {
    if (!sa || sa->sa_family != AF_INET) return {};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, text, sizeof text);
    return text;
}

std::uint32_t WindowsType(const fs::path& root, const std::string& name, unsigned short linkType) {
    switch (linkType) {
        case kArpEther: {
            // A wireless card is an Ethernet link to the kernel; Windows
            // names it by its own type.
            std::error_code ec;
            fs::path dev = root / "sys/class/net" / name;
            if (fs::exists(dev / "wireless", ec) || fs::exists(dev / "phy80211", ec)) return kTypeIeee80211;
            return kTypeEthernet;
        }
        case kArpLoopback: return kTypeLoopback;
        case kArpPpp: return kTypePpp;
        case kArpSlip: return kTypeSlip;
        case kArpTokenRing: return kTypeTokenRing;
        case kArpFddi: return kTypeFddi;
        case kArpNone:
        case kArpTunnel:
        case kArpTunnel6:
        case kArpSit:
        case kArpIpGre: return kTypeTunnel;
        default: return kTypeOther;
    }
}

// Default gateways by interface, from /proc/net/route: destination and
// mask 0, the gateway flag set, in the file's order.
std::map<std::string, std::vector<std::string>> DefaultGateways(const fs::path& root) {
    std::map<std::string, std::vector<std::string>> out;
    auto text = ReadFileTraced(root / "proc/net/route", kWho);
    if (!text) return out;
    ForEachLine(*text, [&](std::string_view line, int number) {
        if (number == 1) return true;   // the column titles
        std::vector<std::string_view> f;
        for (auto part : Split(line, '\t'))
            if (!TrimView(part).empty()) f.push_back(TrimView(part));
        if (f.size() < 8) {
            Trace(kWho, (root / "proc/net/route").string() + ": unparsable at line " + std::to_string(number));
            return true;
        }
        unsigned long destination = std::strtoul(std::string(f[1]).c_str(), nullptr, 16);
        unsigned long gateway = std::strtoul(std::string(f[2]).c_str(), nullptr, 16);
        unsigned long flags = std::strtoul(std::string(f[3]).c_str(), nullptr, 16);
        unsigned long mask = std::strtoul(std::string(f[7]).c_str(), nullptr, 16);
        // RTF_UP | RTF_GATEWAY; the address is in network order, which
        // the kernel prints as a little-endian number.
        if (destination != 0 || mask != 0 || (flags & 3) != 3) return true;
        char dotted[16];
        std::snprintf(dotted, sizeof dotted, "%lu.%lu.%lu.%lu", gateway & 0xFF, (gateway >> 8) & 0xFF,
                      (gateway >> 16) & 0xFF, (gateway >> 24) & 0xFF);
        out[std::string(f[0])].push_back(dotted);
        return true;
    });
    return out;
}

// The DHCP server of an interface's recorded lease; "" when no lease is
// recorded.
std::string DhcpServer(const fs::path& root, const std::string& name, unsigned index) {
    // systemd-networkd keeps one lease file per interface index.
    fs::path networkd = root / "run/systemd/netif/leases" / std::to_string(index);
    std::error_code ec;
    if (fs::exists(networkd, ec)) {
        if (auto text = ReadFileTraced(networkd, kWho)) {
            auto values = KeyValueMap(*text, '=');
            if (auto it = values.find("SERVER_ADDRESS"); it != values.end() && IsDotted(it->second)) return it->second;
        }
    }
    // NetworkManager's own client: internal-<connection>-<interface>.lease.
    fs::path nm = root / "var/lib/NetworkManager";
    for (const auto& entry : fs::directory_iterator(nm, ec)) {
        std::string file = entry.path().filename().string();
        std::string tail = "-" + name + ".lease";
        if (file.rfind("internal-", 0) != 0 || file.size() < tail.size() ||
            file.compare(file.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        if (auto text = ReadFileTraced(entry.path(), kWho)) {
            auto values = KeyValueMap(*text, '=');
            if (auto it = values.find("SERVER_ADDRESS"); it != values.end() && IsDotted(it->second)) return it->second;
        }
    }
    // dhclient: the last lease block for the interface names the server.
    for (const char* dir : {"var/lib/dhcp", "var/lib/dhclient"}) {
        for (const auto& entry : fs::directory_iterator(root / dir, ec)) {
            std::string file = entry.path().filename().string();
            if (file.size() < 7 || file.compare(file.size() - 7, 7, ".leases") != 0) continue;
            auto text = ReadFileTraced(entry.path(), kWho);
            if (!text) continue;
            std::string server, current;
            bool ours = false;
            ForEachLine(*text, [&](std::string_view raw, int) {
                std::string line = Trim(raw);
                if (line.rfind("lease", 0) == 0) ours = false, current.clear();
                if (line.rfind("interface ", 0) == 0) ours = line.find("\"" + name + "\"") != std::string::npos;
                if (line.rfind("option dhcp-server-identifier ", 0) == 0) {
                    current = Trim(line.substr(30));
                    if (!current.empty() && current.back() == ';') current.pop_back();
                }
                if (line == "}" && ours && IsDotted(current)) server = current;
                return true;
            });
            if (!server.empty()) return server;
        }
    }
    return {};
}

// Samba's [global] parameters, names without blanks and in lower case as
// Samba itself compares them; nullopt without a configuration.
std::optional<std::map<std::string, std::string>> SambaGlobals(const fs::path& root) {
    fs::path conf = root / "etc/samba/smb.conf";
    std::error_code ec;
    if (!fs::exists(conf, ec)) {
        Trace(kWho, conf.string() + ": missing, so no node type and no WINS servers");
        return std::nullopt;
    }
    auto text = ReadFileTraced(conf, kWho);
    if (!text) return std::nullopt;
    std::map<std::string, std::string> out;
    bool global = true;   // parameters before any section are global
    ForEachLine(*text, [&](std::string_view raw, int) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') return true;
        if (line[0] == '[') {
            global = ToLowerAscii(line) == "[global]";
            return true;
        }
        auto eq = line.find('=');
        if (!global || eq == std::string::npos) return true;
        std::string key;
        for (char c : line.substr(0, eq))
            if (c != ' ' && c != '\t') key += char(std::tolower(static_cast<unsigned char>(c)));
        out.emplace(key, Trim(line.substr(eq + 1)));
        return true;
    });
    return out;
}

std::vector<std::string> WinsServers(const std::map<std::string, std::string>& samba) {
    std::vector<std::string> out;
    auto it = samba.find("winsserver");
    if (it == samba.end()) return out;
    std::string list = it->second;
    std::replace(list.begin(), list.end(), ',', ' ');
    for (auto part : Split(list, ' ')) {
        // "wins server = 10.0.0.1:10.0.0.2" tags a server by its interface.
        std::string server(TrimView(part));
        if (auto colon = server.rfind(':'); colon != std::string::npos) server = server.substr(colon + 1);
        if (IsDotted(server)) out.push_back(server);
    }
    return out;
}

bool SambaRuns(const fs::path& root) {
    for (const char* pidFile : {"run/samba/smbd.pid", "var/run/samba/smbd.pid", "run/smbd.pid"}) {
        std::error_code ec;
        if (!fs::exists(root / pidFile, ec)) continue;
        auto pid = ReadFileTraced(root / pidFile, kWho);
        if (!pid) continue;
        std::string number = Trim(*pid);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) continue;
        auto comm = ReadFileTraced(root / "proc" / number / "comm", kWho);
        if (comm && Trim(*comm) == "smbd") return true;
    }
    return false;
}

}  // namespace

void SetRecordedInterfaceAddresses(std::vector<InterfaceAddress> interfaces) {
    std::lock_guard lock(gRecordedMutex);
    gRecorded = std::move(interfaces);
}

std::vector<InterfaceAddress> ReadInterfaceAddresses() {
    std::vector<InterfaceAddress> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        Trace(kWho, "getifaddrs failed: no interfaces");
        return out;
    }
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || !a->ifa_name) continue;
        InterfaceAddress e;
        e.name = a->ifa_name;
        e.flags = a->ifa_flags;
        if (a->ifa_addr->sa_family == AF_PACKET) {
            const auto* ll = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
            e.family = InterfaceAddress::link;
            e.index = unsigned(ll->sll_ifindex);
            e.linkType = ll->sll_hatype;
            e.hardwareAddress.assign(ll->sll_addr, ll->sll_addr + std::min<int>(ll->sll_halen, 8));
        } else if (a->ifa_addr->sa_family == AF_INET) {
            e.family = InterfaceAddress::ipv4;
            e.address = Dotted(a->ifa_addr);
            e.netmask = Dotted(a->ifa_netmask);
        } else if (a->ifa_addr->sa_family == AF_INET6) {
            e.family = InterfaceAddress::ipv6;
        } else {
            continue;
        }
        out.push_back(std::move(e));
    }
    freeifaddrs(list);
    return out;
}

ResolverConfig ParseResolvConf(std::string_view text) {
    ResolverConfig c;
    ForEachLine(text, [&](std::string_view raw, int) {
        std::string_view line = TrimView(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') return true;
        std::vector<std::string> words;
        std::string flat(line);
        std::replace(flat.begin(), flat.end(), '\t', ' ');
        for (auto w : Split(flat, ' '))
            if (!w.empty()) words.emplace_back(w);
        if (words.size() < 2) return true;
        if (words[0] == "nameserver") {
            c.namesAnyServer = true;
            if (IsDotted(words[1])) c.nameServers.push_back(words[1]);
        } else if (words[0] == "domain" || words[0] == "search") {
            // The two exclude each other; the last one wins.
            c.domain = words[1];
        }
        return true;
    });
    return c;
}

HostNetworkFacts ReadHostNetwork(const fs::path& root, const std::vector<InterfaceAddress>& interfaces,
                                 const std::string& hostName) {
    HostNetworkFacts n;
    auto gateways = DefaultGateways(root);
    auto samba = SambaGlobals(root);
    std::vector<std::string> wins = samba ? WinsServers(*samba) : std::vector<std::string>{};

    // One adapter per interface, in the order of their link entries (the
    // interface index order); addresses follow in the list's order.
    std::vector<std::string> order;
    std::map<std::string, NetworkAdapterFacts> byName;
    for (const auto& e : interfaces) {
        if (e.family != InterfaceAddress::link || byName.count(e.name)) continue;
        NetworkAdapterFacts a;
        a.adapterName = e.name;
        a.description = e.name;
        a.index = e.index;
        a.type = WindowsType(root, e.name, e.linkType);
        // The loopback's all-zero address is no address.
        bool zero = std::all_of(e.hardwareAddress.begin(), e.hardwareAddress.end(), [](auto b) { return b == 0; });
        if (a.type != kTypeLoopback || !zero) a.hardwareAddress = e.hardwareAddress;
        order.push_back(e.name);
        byName.emplace(e.name, std::move(a));
    }
    for (const auto& e : interfaces) {
        if (e.family != InterfaceAddress::ipv4) continue;
        auto it = byName.find(e.name);
        if (it == byName.end()) continue;   // an address label without its link
        it->second.ipAddresses.push_back({e.address, e.netmask});
    }
    for (const auto& name : order) {
        NetworkAdapterFacts& a = byName[name];
        if (auto g = gateways.find(name); g != gateways.end())
            for (const auto& gw : g->second) a.gateways.push_back({gw, kHostMask});
        if (a.type != kTypeLoopback) {
            std::string server = DhcpServer(root, name, a.index);
            if (server.empty()) Trace(kWho, name + ": no DHCP lease recorded, so no DHCP server");
            if (!server.empty()) {
                a.dhcpEnabled = true;
                a.dhcpServers.push_back({server, kHostMask});
            }
            if (!wins.empty()) {
                a.haveWins = true;
                a.primaryWins.push_back({wins[0], kHostMask});
                if (wins.size() > 1) a.secondaryWins.push_back({wins[1], kHostMask});
            }
        }
        n.adapters.push_back(a);
    }

    // NetBIOS over TCP/IP is bound to every card that has an IPv4 address.
    std::uint8_t lana = 0;
    for (const auto& a : n.adapters)
        if (a.type != kTypeLoopback && a.hardwareAddress.size() == 6 && !a.ipAddresses.empty())
            n.netBios.push_back({lana++, a.hardwareAddress, false, false});

    NetworkParamsFacts& p = n.params;
    auto dot = hostName.find('.');
    p.hostName = hostName.substr(0, dot);
    ResolverConfig resolv;
    if (auto text = ReadFileTraced(root / "etc/resolv.conf", kWho)) resolv = ParseResolvConf(*text);
    p.domainName = resolv.domain;
    if (p.domainName.empty() && dot != std::string::npos) p.domainName = hostName.substr(dot + 1);
    if (p.domainName.empty())
        Trace(kWho, (root / "etc/resolv.conf").string() +
                        ": no domain or search line, and the host name has no domain part: no domain name");
    std::vector<std::string> servers = resolv.nameServers;
    // systemd-resolved's local stub stands for the servers it forwards to.
    bool onlyStub = !servers.empty() && std::all_of(servers.begin(), servers.end(), [](const std::string& s) {
        return s == "127.0.0.53" || s == "127.0.0.54";
    });
    if (onlyStub) {
        std::error_code ec;
        fs::path upstream = root / "run/systemd/resolve/resolv.conf";
        if (fs::exists(upstream, ec)) {
            if (auto text = ReadFileTraced(upstream, kWho)) servers = ParseResolvConf(*text).nameServers;
        } else {
            Trace(kWho, upstream.string() + ": missing; the resolver's stub address stands");
        }
    }
    p.dnsServers = servers;
    if (!servers.empty()) p.currentDnsServer = 0;
    if (samba) {
        p.nodeType = wins.empty() ? 1 : 8;
        if (auto it = samba->find("netbiosscope"); it != samba->end()) p.scopeId = it->second;
    }
    auto flag = [&](const char* relative) {
        fs::path f = root / relative;
        std::error_code ec;
        if (!fs::exists(f, ec)) return false;
        auto text = ReadFileTraced(f, kWho);
        return text && Trim(*text) == "1";
    };
    p.enableRouting = flag("proc/sys/net/ipv4/ip_forward");
    p.enableProxy = flag("proc/sys/net/ipv4/conf/all/proxy_arp");
    return n;
}

HostNetworkComponents ReadHostNetworkComponents(const fs::path& root) {
    HostNetworkComponents c;
    std::error_code ec;
    if (fs::exists(root / "proc/sys/net/ipv4", ec)) c.protocols.push_back("Internet Protocol (TCP/IP)");
    if (fs::exists(root / "proc/net/if_inet6", ec)) {
        fs::path off = root / "proc/sys/net/ipv6/conf/all/disable_ipv6";
        auto text = fs::exists(off, ec) ? ReadFileTraced(off, kWho) : std::nullopt;
        if (!text || Trim(*text) != "1") c.protocols.push_back("Microsoft TCP/IP version 6");
    }
    if (SambaRuns(root)) c.services.push_back("File and Printer Sharing for Microsoft Networks");
    // The kernel's SMB client, loaded, is the host's client for such
    // networks.
    if (fs::exists(root / "proc/fs/cifs", ec)) c.clients.push_back("Client for Microsoft Networks");
    return c;
}

void ProjectHostNetworkComponents(Registry& registry, const HostNetworkComponents& components) {
    struct Class {
        const char* guid;
        const char* name;
        const char* description;
        const std::vector<std::string>* members;
    };
    const Class classes[] = {
        {"{4D36E973-E325-11CE-BFC1-08002BE10318}", "NetClient", "Network Client", &components.clients},
        {"{4D36E974-E325-11CE-BFC1-08002BE10318}", "NetService", "Network Service", &components.services},
        {"{4D36E975-E325-11CE-BFC1-08002BE10318}", "NetTrans", "Network Protocol", &components.protocols},
    };
    for (const auto& cls : classes) {
        RegKey& key =
            registry.root(RegRoot::LocalMachine).ensure(std::string("SYSTEM\\CurrentControlSet\\Control\\Class\\") + cls.guid);
        key.setValue(RegValue::String("Class", cls.name));
        key.setValue(RegValue::String("", cls.description));
        for (std::size_t i = 0; i < cls.members->size(); ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "%04zu", i);
            key.ensureChild(name).setValue(RegValue::String("DriverDesc", (*cls.members)[i]));
        }
    }
}

WinsockFacts HostWinsock() {
    WinsockFacts w;
    w.description = "Torvex Windows Sockets 2.2 layer";
    w.systemStatus = "Running";
    w.highVersion = 0x0202;
    return w;
}

std::optional<std::vector<InterfaceAddress>> RecordedInterfaceAddresses() {
    std::lock_guard lock(gRecordedMutex);
    return gRecorded;
}

}  // namespace torvex::platform::host
