#include "platform/simulated/SimulatedNetwork.h"

#include <cctype>
#include <cstdio>

#include "platform/machine/FileText.h"

namespace torvex::platform {

namespace {

using nlohmann::json;

class Reader {
public:
    explicit Reader(std::string source) : source_(std::move(source)) {}

    [[noreturn]] void fail(const std::string& where, const std::string& what) const {
        throw MachineError(source_, 0, where + ": " + what);
    }
    void onlyFields(const json& object, const std::string& where, std::initializer_list<const char*> fields) const {
        if (!object.is_object()) fail(where, "expected an object");
        for (const auto& [name, value] : object.items()) {
            bool known = false;
            for (const char* f : fields) known = known || name == f;
            if (!known) fail(where + "/" + name, "unknown field");
        }
    }
    std::string text(const json& object, const char* key, const std::string& where, std::string fallback = {}) const {
        auto it = object.find(key);
        if (it == object.end()) return fallback;
        if (!it->is_string()) fail(where + "/" + key, "expected a text");
        return it->get<std::string>();
    }
    bool flag(const json& object, const char* key, const std::string& where, bool fallback) const {
        auto it = object.find(key);
        if (it == object.end()) return fallback;
        if (!it->is_boolean()) fail(where + "/" + key, "expected true or false");
        return it->get<bool>();
    }
    std::uint64_t number(const json& object, const char* key, const std::string& where, std::uint64_t fallback,
                         std::uint64_t max) const {
        auto it = object.find(key);
        if (it == object.end()) return fallback;
        if (!it->is_number_unsigned() || it->get<std::uint64_t>() > max)
            fail(where + "/" + key, "expected a whole number from 0 to " + std::to_string(max));
        return it->get<std::uint64_t>();
    }
    std::vector<std::string> texts(const json& object, const char* key, const std::string& where) const {
        std::vector<std::string> out;
        auto it = object.find(key);
        if (it == object.end()) return out;
        if (!it->is_array()) fail(where + "/" + key, "expected a list of texts");
        for (std::size_t i = 0; i < it->size(); ++i) {
            if (!(*it)[i].is_string()) fail(where + "/" + key + "/" + std::to_string(i), "expected a text");
            out.push_back((*it)[i].get<std::string>());
        }
        return out;
    }

private:
    std::string source_;
};

bool IsDotted(const std::string& text) {
    unsigned a, b, c, d;
    char tail;
    return std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) == 4 && a < 256 && b < 256 &&
           c < 256 && d < 256;
}

// "address/mask" entries of an address chain.
std::vector<IpAddressFacts> Chain(const Reader& r, const json& object, const char* key, const std::string& where) {
    std::vector<IpAddressFacts> out;
    auto entries = r.texts(object, key, where);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& e = entries[i];
        auto slash = e.find('/');
        IpAddressFacts f{e.substr(0, slash), slash == std::string::npos ? "" : e.substr(slash + 1)};
        if (!IsDotted(f.address) || (!f.mask.empty() && !IsDotted(f.mask)))
            r.fail(where + "/" + key + "/" + std::to_string(i),
                   "expected \"a.b.c.d/m.m.m.m\" (or \"a.b.c.d\" without a mask)");
        out.push_back(f);
    }
    return out;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ParseHardwareAddress(const std::string& text) {
    std::vector<std::uint8_t> out;
    if (text.empty()) return out;
    std::size_t i = 0;
    while (true) {
        if (i + 2 > text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return std::nullopt;
        out.push_back(std::uint8_t(std::stoul(text.substr(i, 2), nullptr, 16)));
        i += 2;
        if (i == text.size()) break;
        if (text[i] != '-' && text[i] != ':') return std::nullopt;
        ++i;
    }
    if (out.size() > 8) return std::nullopt;
    return out;
}

void SimulatedNetworkFacts::traceAnswer(const char* what) const {
    if (!TraceEnabled()) return;
    if (recorded)
        Trace("network", source + ": answered from /network/" + what);
    else
        Trace("network", source + ": no \"network\" record, so no " + what);
}

SimulatedNetworkFacts SimulatedNetwork(const nlohmann::json& facts, const std::string& source) {
    SimulatedNetworkFacts n;
    n.source = source;
    auto it = facts.find("network");
    if (it == facts.end() || it->is_null()) return n;
    n.recorded = true;
    Reader r(source);
    const json& net = *it;
    r.onlyFields(net, "/network", {"hostName", "winsock", "adapters", "params", "netbios"});
    n.hostName = r.text(net, "hostName", "/network");

    if (auto w = net.find("winsock"); w != net.end()) {
        r.onlyFields(*w, "/network/winsock", {"description", "status", "version", "startupFails"});
        n.winsock.description = r.text(*w, "description", "/network/winsock", n.winsock.description);
        n.winsock.systemStatus = r.text(*w, "status", "/network/winsock", n.winsock.systemStatus);
        std::string version = r.text(*w, "version", "/network/winsock", "2.2");
        unsigned major = 0, minor = 0;
        char tail;
        if (std::sscanf(version.c_str(), "%u.%u%c", &major, &minor, &tail) != 2 || major > 255 || minor > 255)
            r.fail("/network/winsock/version", "expected \"major.minor\" such as \"2.2\"");
        n.winsock.highVersion = std::uint16_t(major | (minor << 8));
        n.winsock.startupFails = r.flag(*w, "startupFails", "/network/winsock", false);
    }

    if (auto list = net.find("adapters"); list != net.end()) {
        if (!list->is_array()) r.fail("/network/adapters", "expected a list of adapters");
        for (std::size_t i = 0; i < list->size(); ++i) {
            const json& a = (*list)[i];
            std::string at = "/network/adapters/" + std::to_string(i);
            r.onlyFields(a, at, {"name", "description", "address", "index", "type", "dhcp", "haveWins", "ipAddresses",
                                 "gateways", "dhcpServers", "primaryWins", "secondaryWins"});
            NetworkAdapterFacts f;
            f.adapterName = r.text(a, "name", at);
            f.description = r.text(a, "description", at);
            auto address = ParseHardwareAddress(r.text(a, "address", at));
            if (!address) r.fail(at + "/address", "expected up to eight hex pairs such as \"00-A0-C9-12-34-56\"");
            f.hardwareAddress = *address;
            f.index = std::uint32_t(r.number(a, "index", at, i + 1, 0xFFFFFFFFu));
            f.type = std::uint32_t(r.number(a, "type", at, 6, 0xFFFFFFFFu));
            f.dhcpEnabled = r.flag(a, "dhcp", at, false);
            f.ipAddresses = Chain(r, a, "ipAddresses", at);
            f.gateways = Chain(r, a, "gateways", at);
            f.dhcpServers = Chain(r, a, "dhcpServers", at);
            f.primaryWins = Chain(r, a, "primaryWins", at);
            f.secondaryWins = Chain(r, a, "secondaryWins", at);
            f.haveWins = r.flag(a, "haveWins", at, !f.primaryWins.empty());
            n.adapters.push_back(std::move(f));
        }
    }

    if (auto p = net.find("params"); p != net.end() && !p->is_null()) {
        const std::string at = "/network/params";
        r.onlyFields(*p, at, {"hostName", "domainName", "dnsServers", "currentDnsServer", "nodeType", "scopeId",
                              "enableRouting", "enableProxy", "enableDns"});
        NetworkParamsFacts f;
        f.hostName = r.text(*p, "hostName", at);
        f.domainName = r.text(*p, "domainName", at);
        f.dnsServers = r.texts(*p, "dnsServers", at);
        for (std::size_t i = 0; i < f.dnsServers.size(); ++i)
            if (!IsDotted(f.dnsServers[i])) r.fail(at + "/dnsServers/" + std::to_string(i), "expected a dotted address");
        // The server in use: the first unless the record names another, or
        // none ("").
        if (!f.dnsServers.empty()) f.currentDnsServer = 0;
        if (p->contains("currentDnsServer")) {
            std::string current = r.text(*p, "currentDnsServer", at);
            f.currentDnsServer.reset();
            if (!current.empty()) {
                for (std::size_t i = 0; i < f.dnsServers.size(); ++i)
                    if (f.dnsServers[i] == current) f.currentDnsServer = i;
                if (!f.currentDnsServer) r.fail(at + "/currentDnsServer", "not one of dnsServers");
            }
        }
        f.nodeType = std::uint32_t(r.number(*p, "nodeType", at, 0, 0xFFFFFFFFu));
        f.scopeId = r.text(*p, "scopeId", at);
        f.enableRouting = r.flag(*p, "enableRouting", at, false);
        f.enableProxy = r.flag(*p, "enableProxy", at, false);
        f.enableDns = r.flag(*p, "enableDns", at, false);
        n.params = f;
    }

    if (auto list = net.find("netbios"); list != net.end()) {
        if (!list->is_array()) r.fail("/network/netbios", "expected a list of adapter numbers");
        for (std::size_t i = 0; i < list->size(); ++i) {
            const json& b = (*list)[i];
            std::string at = "/network/netbios/" + std::to_string(i);
            r.onlyFields(b, at, {"lana", "address", "resetFails", "statusFails"});
            NetBiosAdapterFacts f;
            f.lana = std::uint8_t(r.number(b, "lana", at, 0, 254));
            auto address = ParseHardwareAddress(r.text(b, "address", at));
            if (!address || address->size() != 6) r.fail(at + "/address", "expected six hex pairs");
            f.address = *address;
            f.resetFails = r.flag(b, "resetFails", at, false);
            f.statusFails = r.flag(b, "statusFails", at, false);
            n.netBios.push_back(f);
        }
    }
    return n;
}

}  // namespace torvex::platform
