// The network category over a scripted machine, the shipped PCs and the
// live host's readers replayed from a laptop's files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <stdlib.h>
#include <unistd.h>

#include "FakeMachine.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_Network.h"
#include "platform/Corvane_IpHlpAPI.h"
#include "platform/Corvane_Routines.h"
#include "platform/host/HostNetwork.h"
#include "platform/simulated/SimulatedMachine.h"
#include "platform/win32/Win32Network.h"

namespace fs = std::filesystem;
using namespace torvex;
using namespace torvex::engine;
namespace pf = torvex::platform;

namespace {

// A machine whose network the test writes.
class NetworkMachine : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;
    std::vector<pf::NetworkAdapterFacts> adapters;
    std::optional<pf::NetworkParamsFacts> params;
    std::vector<pf::NetBiosAdapterFacts> lanas;
    pf::WinsockFacts sockets;
    std::string hostName = "fake-pc";
    int adapterCalls = 0;

    std::vector<pf::NetworkAdapterFacts> networkAdapters() override {
        ++adapterCalls;
        return adapters;
    }
    std::optional<pf::NetworkParamsFacts> networkParams() override { return params; }
    std::vector<pf::NetBiosAdapterFacts> netBiosAdapters() override { return lanas; }
    pf::WinsockFacts winsock() override { return sockets; }
    std::string socketHostName() override { return hostName; }
};

pf::NetworkAdapterFacts Adapter(std::string description, std::vector<std::uint8_t> mac, std::uint32_t type,
                                std::vector<pf::IpAddressFacts> ips) {
    pf::NetworkAdapterFacts a;
    a.description = std::move(description);
    a.hardwareAddress = std::move(mac);
    a.type = type;
    a.ipAddresses = std::move(ips);
    return a;
}

std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ScriptedNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("torvex-net-" + std::to_string(::getpid()));
        auto m = std::make_unique<NetworkMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, 2};
        machine->exports["iphlpapi.dll"] = {"GetAdaptersInfo", "GetNetworkParams"};
        pf::SetActiveMachine(std::move(m));
        pf::routines::InitializeRoutines();
        pf::iphlpapi::BindIpHlpAPI();
    }
    void TearDown() override {
        pf::iphlpapi::ReleaseIpHlpAPI();
        pf::SetActiveMachine(nullptr);
        pf::routines::InitializeRoutines();
        fs::remove_all(folder);
    }
    std::vector<std::string> Report() {
        TNetwork network;
        network.GetInfo();
        TStringList lines;
        network.Report(lines);
        return Lines(lines);
    }
    fs::path folder;
    NetworkMachine* machine = nullptr;
};

TEST_F(ScriptedNetwork, AdapterChainKeepsOrderAddressesTypesAndEmptyChains) {
    machine->adapters = {
        Adapter("  Card with two addresses ", {0x00, 0xa0, 0xc9, 0x12, 0x34, 0x56}, 6,
                {{"10.0.0.2", "255.255.255.0"}, {"10.0.0.3", "255.255.0.0"}}),
        Adapter("Wireless", {0x00, 0x13, 0xe8, 0x01, 0x02, 0x03}, 71, {{"192.168.1.5", "255.255.255.0"}}),
        Adapter("Tunnel", {}, 131, {}),
    };
    machine->adapters[0].gateways = {{"10.0.0.1", "255.255.255.255"}};
    auto lines = Report();
    EXPECT_TRUE(Has(lines, "AdapterCount=3"));
    // Chain order, numbered from 0; the description trimmed.
    EXPECT_TRUE(Has(lines, "Adapter[0]=Card with two addresses"));
    EXPECT_TRUE(Has(lines, "Adapter[1]=Wireless"));
    EXPECT_TRUE(Has(lines, "Adapter[2]=Tunnel"));
    EXPECT_TRUE(Has(lines, "Adapter_IPAddress[0]=10.0.0.2,10.0.0.3"));
    EXPECT_TRUE(Has(lines, "Adapter_IPMask[0]=255.255.255.0,255.255.0.0"));
    EXPECT_TRUE(Has(lines, "AdapterPhysAddr[0]=00-A0-C9-12-34-56"));
    EXPECT_TRUE(Has(lines, "AdapterType[0]=Ethernet"));
    // 71 and 131 are not in the engine's table.
    EXPECT_TRUE(Has(lines, "AdapterType[1]=Other"));
    EXPECT_TRUE(Has(lines, "AdapterType[2]=Other"));
    // No hardware address: an empty text, not a stray separator.
    EXPECT_TRUE(Has(lines, "AdapterPhysAddr[2]="));
    // A disconnected adapter shows 0.0.0.0; an empty chain one empty entry.
    EXPECT_TRUE(Has(lines, "Adapter_IPAddress[2]=0.0.0.0"));
    EXPECT_TRUE(Has(lines, "Adapter_Gateway_IPAddress[0]=10.0.0.1"));
    EXPECT_TRUE(Has(lines, "Adapter_Gateway_IPAddress[1]=\"\""));
    // Thirteen lines per adapter after the six header lines.
    auto first = std::find(lines.begin(), lines.end(), "[TCP/IP]");
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(lines.end() - first, 1 + 6 + 3 * 13);

    TNetwork network;
    network.GetInfo();
    TAdapter copy;
    ASSERT_TRUE(network.TCPIP().GetAdapter(0, copy));
    EXPECT_EQ(copy.IPAddress.Count(), 2);
    EXPECT_TRUE(copy.Gateway_IPAddress.Count() == 1 && copy.Gateway_IPAddress[0] == "10.0.0.1");
    EXPECT_FALSE(network.TCPIP().GetAdapter(3, copy));
    // The copy stays valid after a refresh.
    network.GetInfo();
    EXPECT_EQ(copy.IPMask[1], "255.255.0.0");
}

TEST_F(ScriptedNetwork, ParametersAndTwoNameServersSurviveARefreshOnce) {
    pf::NetworkParamsFacts p;
    p.hostName = "fake-pc";
    p.domainName = "example.lan";
    p.dnsServers = {"10.0.0.53", "10.0.0.54"};
    p.currentDnsServer = 1;
    p.nodeType = 8;
    p.scopeId = "scope";
    p.enableRouting = true;
    machine->params = p;
    TNetwork network;
    network.GetInfo();
    network.GetInfo();
    TStringList lines;
    network.Report(lines);
    auto l = Lines(lines);
    EXPECT_TRUE(Has(l, "DNSServers=10.0.0.53,10.0.0.54"));
    EXPECT_TRUE(Has(l, "PrimaryDNSSuffix=10.0.0.54"));
    EXPECT_TRUE(Has(l, "NodeType=Hybrid"));
    EXPECT_TRUE(Has(l, "HostName=fake-pc"));
    EXPECT_TRUE(Has(l, "DomainName=example.lan"));
    EXPECT_TRUE(network.TCPIP().EnableRouting());
    EXPECT_EQ(network.TCPIP().DHCPScopeName(), "scope");
    // Codes outside the library's four are Unknown; no server in use gives
    // an empty text.
    p.nodeType = 3;
    p.currentDnsServer.reset();
    machine->params = p;
    network.GetInfo();
    EXPECT_EQ(network.TCPIP().NodeType(), ntUnknown);
    EXPECT_EQ(network.TCPIP().PrimaryDNSSuffix(), "");
    EXPECT_EQ(network.TCPIP().DNSServers().Count(), 2);
}

TEST_F(ScriptedNetwork, WithoutTheHelperLibraryTheAdaptersGoAndTheRestStays) {
    pf::NetworkParamsFacts p;
    p.hostName = "kept";
    p.dnsServers = {"10.0.0.53"};
    machine->params = p;
    machine->adapters = {Adapter("Card", {1, 2, 3, 4, 5, 6}, 6, {{"10.0.0.2", "255.0.0.0"}})};
    TNetwork network;
    network.GetInfo();
    ASSERT_EQ(network.TCPIP().AdapterCount(), 1);
    pf::iphlpapi::ReleaseIpHlpAPI();
    network.GetInfo();
    EXPECT_EQ(network.TCPIP().AdapterCount(), 0);
    EXPECT_EQ(network.TCPIP().DNSServers().Count(), 0);
    EXPECT_EQ(network.TCPIP().HostName(), "kept");
    // The sockets layer still knows the PC's own address.
    EXPECT_EQ(network.IPAddresses().CommaText(), "10.0.0.2");
    pf::iphlpapi::BindIpHlpAPI();
}

TEST_F(ScriptedNetwork, NetBiosNumbersOnOneCardFailuresAndAnEmptyEnumeration) {
    std::vector<std::uint8_t> card = {0x00, 0x0a, 0xbc, 0xde, 0xf0, 0x12};
    machine->lanas = {{0, card}, {1, card}, {2, {9, 9, 9, 9, 9, 9}, true, false}, {3, {1, 1, 1, 1, 1, 1}, false, true}};
    TNetwork network;
    network.GetInfo();
    // Two numbers on one card give one address; a failed reset skips its
    // number; a failed status query gives question marks.
    EXPECT_EQ(network.MACAddresses().CommaText(), "00:0A:BC:DE:F0:12,??:??:??:??:??:??");
    machine->lanas.clear();
    network.GetInfo();
    EXPECT_EQ(network.MACAddresses().Count(), 0);
}

TEST_F(ScriptedNetwork, OwnAddressesComeFromTheAdaptersWithoutAnyNameServer) {
    machine->adapters = {
        Adapter("Loopback", {}, 24, {{"127.0.0.1", "255.0.0.0"}}),
        Adapter("Wired", {1, 2, 3, 4, 5, 6}, 6, {{"0.0.0.0", "0.0.0.0"}}),
        Adapter("Wireless", {1, 2, 3, 4, 5, 7}, 71, {{"192.168.1.5", "255.255.255.0"}, {"10.8.0.2", "255.0.0.0"}}),
    };
    TNetwork network;
    network.GetInfo();
    EXPECT_EQ(network.IPAddresses().CommaText(), "192.168.1.5,10.8.0.2");
    // Nothing but loopback: the loopback address.
    machine->adapters.resize(1);
    network.GetInfo();
    EXPECT_EQ(network.IPAddresses().CommaText(), "127.0.0.1");
    // A name that does not fit the 64-byte buffer is not resolved.
    machine->hostName = std::string(64, 'x');
    network.GetInfo();
    EXPECT_EQ(network.IPAddresses().Count(), 0);
    // Another name is never looked up.
    win32::WSADATA data{};
    ASSERT_EQ(win32::WSAStartup(win32::MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(win32::gethostbyname("www.example.org"), nullptr);
    EXPECT_EQ(win32::WSAGetLastError(), win32::WSAHOST_NOT_FOUND);
    win32::WSACleanup();
    // Without a started layer nothing is answered.
    EXPECT_EQ(win32::gethostbyname("fake-pc"), nullptr);
    EXPECT_EQ(win32::WSAGetLastError(), win32::WSANOTINITIALISED);
}

TEST_F(ScriptedNetwork, SocketsLayerVersionAndAFailedStart) {
    machine->sockets = {"Sockets 1.1", "Ready.", 0x0101, false};
    machine->adapters = {Adapter("Card", {1, 2, 3, 4, 5, 6}, 6, {{"10.0.0.2", "255.0.0.0"}})};
    auto lines = Report();
    EXPECT_TRUE(Has(lines, "Description=Sockets 1.1"));
    EXPECT_TRUE(Has(lines, "Version=1.1"));
    EXPECT_TRUE(Has(lines, "Status=Ready."));
    machine->sockets = {"WinSock 2.0", "Running", 0x0102, false};
    EXPECT_TRUE(Has(Report(), "Version=2.1"));   // major in the low byte
    machine->sockets.startupFails = true;
    lines = Report();
    EXPECT_TRUE(Has(lines, "Status=Winsock cannot be initialized."));
    EXPECT_TRUE(Has(lines, "IPCount=0"));
}

TEST_F(ScriptedNetwork, TheLibraryAsksForMoreRoomUntilTheChainFits) {
    machine->adapters = {Adapter("A", {1}, 6, {{"10.0.0.1", "255.0.0.0"}, {"10.0.0.2", "255.0.0.0"}}),
                         Adapter("B", {2}, 6, {{"10.0.1.1", "255.0.0.0"}})};
    win32::ULONG size = 0;
    EXPECT_EQ(win32::GetAdaptersInfo(nullptr, &size), win32::ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, 2 * sizeof(win32::IP_ADAPTER_INFO) + sizeof(win32::IP_ADDR_STRING));
    std::vector<std::uint64_t> buffer(size / 8 + 1);
    win32::ULONG small = size - 1;
    auto* info = reinterpret_cast<win32::IP_ADAPTER_INFO*>(buffer.data());
    EXPECT_EQ(win32::GetAdaptersInfo(info, &small), win32::ERROR_BUFFER_OVERFLOW);
    ASSERT_EQ(win32::GetAdaptersInfo(info, &size), win32::ERROR_SUCCESS);
    // Every link stays inside the caller's buffer.
    auto inside = [&](const void* p) {
        auto b = reinterpret_cast<const char*>(buffer.data());
        auto q = reinterpret_cast<const char*>(p);
        return q >= b && q < b + size;
    };
    ASSERT_TRUE(inside(info->Next));
    ASSERT_TRUE(inside(info->IpAddressList.Next));
    EXPECT_STREQ(info->IpAddressList.Next->IpAddress.String, "10.0.0.2");
    EXPECT_EQ(info->IpAddressList.Next->Next, nullptr);
    EXPECT_EQ(info->Next->Next, nullptr);
    machine->adapters.clear();
    EXPECT_EQ(win32::GetAdaptersInfo(info, &size), win32::ERROR_NO_DATA);
}

TEST(NetworkRoot, TheRootsModeReachesTheNetworkAndTheTopicReportsIt) {
    TCorvaneSystemInfo info;
    EXPECT_EQ(info.Network().ExceptionMode(), emMessage);
    info.SetExceptionMode(emRaise);
    EXPECT_EQ(info.Network().ExceptionMode(), emRaise);
    EXPECT_EQ(info.Memory().ExceptionMode(), emMessage);
    TStringList lines;
    ReportPage(info, OverviewPageByName("Network"), lines);
    ASSERT_GT(lines.Count(), 3);
    EXPECT_EQ(lines[0], "[Network]");
}

// ---------------------------------------------------------------- the shipped PCs

struct PcNetwork {
    TNetwork* network;
    std::vector<std::string> lines;
};

class ShippedNetwork : public ::testing::Test {
protected:
    void Load(const std::string& pc) {
        overlay = fs::temp_directory_path() / ("torvex-net-pc-" + std::to_string(::getpid()));
        pf::SetActiveMachine(pf::SimulatedMachine::Load(fs::path(TORVEX_SOURCE_DIR) / "machines" / pc, overlay));
        pf::routines::InitializeRoutines();
        pf::iphlpapi::BindIpHlpAPI();
        network = std::make_unique<TNetwork>();
        network->GetInfo();
        TStringList report;
        network->Report(report);
        lines = Lines(report);
    }
    void TearDown() override {
        network.reset();
        pf::iphlpapi::ReleaseIpHlpAPI();
        pf::SetActiveMachine(nullptr);
        pf::routines::InitializeRoutines();
        fs::remove_all(overlay);
    }
    fs::path overlay;
    std::unique_ptr<TNetwork> network;
    std::vector<std::string> lines;
};

TEST_F(ShippedNetwork, Windows95HasNoHelperLibraryAndTwoNetBiosNumbersOnItsCard) {
    Load("win95-pc");
    EXPECT_EQ(network->Adapters().CommaText(), "\"NE2000 Compatible\",\"Dial-Up Adapter\"");
    EXPECT_TRUE(Has(lines, "AdapterCount=0"));
    EXPECT_EQ(network->MACAddresses().CommaText(), "00:00:E8:4A:21:C7");
    EXPECT_EQ(network->Protocols().CommaText(), "TCP/IP,NetBEUI,\"IPX/SPX-compatible Protocol\"");
    EXPECT_EQ(network->Clients().Count(), 2);
    EXPECT_EQ(network->IPAddresses().CommaText(), "192.168.0.37");
    EXPECT_TRUE(Has(lines, "Version=1.1"));
    // No adapter has a location: the first is taken for the card.
    EXPECT_EQ(network->CardAdapterIndex(), -1);
    EXPECT_EQ(network->CardAdapter(), "NE2000 Compatible");
}

TEST_F(ShippedNetwork, Windows98ReadsItsSwedishComponentsFromTheClassKeys) {
    Load("win98-pc");
    EXPECT_EQ(network->Clients().CommaText(), "\"Klient för Microsoft-nätverk\"");
    EXPECT_EQ(network->Services().Count(), 1);
    EXPECT_TRUE(Has(lines, "AdapterCount=2"));
    EXPECT_TRUE(Has(lines, "AdapterType[1]=PPP"));
    EXPECT_TRUE(Has(lines, "DNSServers=195.67.199.9,195.67.199.10"));
}

TEST_F(ShippedNetwork, Windows2000ReadsControlNetworkAndChainsThreeAdapters) {
    Load("win2000-dc");
    EXPECT_EQ(network->Protocols().CommaText(), "\"Internet-protokoll (TCP/IP)\",NetBEUI-protokoll");
    EXPECT_EQ(network->Clients().CommaText(), "\"Klient för Microsoft-nätverk\"");
    EXPECT_TRUE(Has(lines, "AdapterCount=3"));
    EXPECT_TRUE(Has(lines, "Adapter_IPAddress[0]=192.168.10.2,192.168.10.3"));
    EXPECT_TRUE(Has(lines, "Adapter[2]=WAN (PPP/SLIP) Interface"));
    EXPECT_TRUE(Has(lines, "DNSServers=192.168.10.2,192.168.10.4"));
    EXPECT_TRUE(Has(lines, "Adapter_PrimaryWINS_IPAddress[0]=192.168.10.2"));
    // The card with a location is the PC's network card.
    EXPECT_EQ(network->CardAdapter(), network->Adapters()[network->CardAdapterIndex()]);
    EXPECT_EQ(network->IPAddresses().CommaText(), "192.168.10.2,192.168.10.3,10.0.0.2,10.10.10.1");
}

TEST_F(ShippedNetwork, XpsFireWireAdapterHasAnUnnamedTypeAndNoAddress) {
    Load("winxp-pc");
    EXPECT_TRUE(Has(lines, "AdapterType[1]=Other"));
    EXPECT_TRUE(Has(lines, "AdapterPhysAddr[1]="));
    EXPECT_TRUE(Has(lines, "AdapterPhysAddr[0]=00-11-2F-6B-0C-D4"));
    EXPECT_EQ(network->Protocols().Count(), 3);
}

TEST_F(ShippedNetwork, APcWithoutAnyNetworkDevice) {
    Load("win98se-pc-nonet");
    EXPECT_EQ(network->Adapters().Count(), 0);
    EXPECT_EQ(network->CardAdapterIndex(), -1);
    EXPECT_EQ(network->CardAdapter(), "<not detected>");
    EXPECT_EQ(lines.at(1), "Count=0");
    EXPECT_TRUE(Has(lines, "AdapterCount=0"));
    EXPECT_TRUE(Has(lines, "MACCount=0"));
    EXPECT_EQ(network->IPAddresses().CommaText(), "127.0.0.1");
}

TEST(ShippedNetworkRecord, AMisspeltFactNamesItsPlace) {
    fs::path dir = fs::temp_directory_path() / ("torvex-net-bad-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto write = [&](const std::string& network) {
        std::ofstream(dir / "machine.json")
            << R"({"version": {"major": 5, "minor": 1, "build": 2600, "platformId": 2}, "network": )" << network
            << "}";
        try {
            pf::SimulatedMachine::Load(dir, dir / "overlay");
        } catch (const pf::MachineError& e) {
            return std::string(e.what());
        }
        return std::string("loaded");
    };
    EXPECT_NE(write(R"({"adapters": [{"address": "00-A0-C9-12-34"}, {"address": "00-GG"}]})").find(
                  "/network/adapters/1/address"),
              std::string::npos);
    EXPECT_NE(write(R"({"adapters": [{"ipAddresses": ["10.0.0.300/255.0.0.0"]}]})").find("/ipAddresses/0"),
              std::string::npos);
    EXPECT_NE(write(R"({"params": {"dnsServers": ["10.0.0.1"], "currentDnsServer": "10.0.0.2"}})")
                  .find("/network/params/currentDnsServer"),
              std::string::npos);
    EXPECT_NE(write(R"({"netbios": [{"lana": 0, "adress": "00-00-00-00-00-01"}]})").find("/network/netbios/0/adress"),
              std::string::npos);
    EXPECT_EQ(write(R"({"adapters": [{"address": ""}]})"), "loaded");
    fs::remove_all(dir);
}

// ---------------------------------------------------------------- the live host, replayed

class HostNetworkReplay : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "torvex-hostnet-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::copy(fs::path(TORVEX_SOURCE_DIR) / "tests/data/hostroot", root,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    void TearDown() override {
        pf::host::SetRecordedInterfaceAddresses({});
        pf::SetActiveMachine(nullptr);
        pf::routines::InitializeRoutines();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void Put(const std::string& relative, const std::string& text) {
        fs::path p = root / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    // A laptop: loopback, a wired port without a cable and a Wi-Fi card
    // with two addresses, as getifaddrs lists them: the link entries in
    // index order, then the IPv4 and IPv6 addresses.
    static std::vector<pf::host::InterfaceAddress> Laptop() {
        using IA = pf::host::InterfaceAddress;
        std::vector<IA> l;
        auto link = [&](std::string name, unsigned index, unsigned short type, std::vector<std::uint8_t> mac) {
            IA e;
            e.name = std::move(name);
            e.family = IA::link;
            e.index = index;
            e.linkType = type;
            e.hardwareAddress = std::move(mac);
            l.push_back(e);
        };
        auto v4 = [&](std::string name, std::string address, std::string mask) {
            IA e;
            e.name = std::move(name);
            e.family = IA::ipv4;
            e.address = std::move(address);
            e.netmask = std::move(mask);
            l.push_back(e);
        };
        link("lo", 1, 772, {0, 0, 0, 0, 0, 0});
        link("enp0s31f6", 2, 1, {0x54, 0xe1, 0xad, 0x11, 0x22, 0x33});
        link("wlp3s0", 3, 1, {0x7c, 0x2a, 0x31, 0xaa, 0xbb, 0xcc});
        v4("lo", "127.0.0.1", "255.0.0.0");
        v4("wlp3s0", "192.168.1.57", "255.255.255.0");
        v4("wlp3s0", "192.168.1.58", "255.255.255.0");
        IA six;
        six.name = "wlp3s0";
        six.family = IA::ipv6;
        l.push_back(six);
        return l;
    }
    void LaptopFiles() {
        Put("proc/sys/kernel/hostname", "thinkpad.home.arpa\n");
        Put("sys/class/net/wlp3s0/wireless/.keep", "");
        Put("proc/net/route",
            "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
            "wlp3s0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
            "wlp3s0\t0001A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0\n");
        // systemd-resolved: resolv.conf names its stub only.
        Put("etc/resolv.conf", "# stub\nnameserver 127.0.0.53\noptions edns0 trust-ad\nsearch home.arpa\n");
        Put("run/systemd/resolve/resolv.conf",
            "nameserver 192.168.1.1\nnameserver 2001:db8::1\nnameserver 9.9.9.9\nsearch home.arpa\n");
        Put("var/lib/NetworkManager/internal-5f3e1c2a-wlp3s0.lease",
            "# This is private data. Do not parse.\nADDRESS=192.168.1.57\nSERVER_ADDRESS=192.168.1.1\n");
        Put("proc/sys/net/ipv4/ip_forward", "0\n");
        Put("proc/net/if_inet6", "00000000000000000000000000000001 01 80 10 80       lo\n");
        Put("proc/sys/net/ipv6/conf/all/disable_ipv6", "0\n");
    }
    fs::path root;
};

TEST_F(HostNetworkReplay, LaptopWithWiFiAndAnIdleEthernetPort) {
    LaptopFiles();
    auto n = pf::host::ReadHostNetwork(root, Laptop(), "thinkpad.home.arpa");
    ASSERT_EQ(n.adapters.size(), 3u);
    const auto& lo = n.adapters[0];
    const auto& wired = n.adapters[1];
    const auto& wifi = n.adapters[2];
    EXPECT_EQ(lo.type, 24u);
    EXPECT_TRUE(lo.hardwareAddress.empty());
    EXPECT_EQ(wired.type, 6u);
    EXPECT_TRUE(wired.ipAddresses.empty());
    EXPECT_FALSE(wired.dhcpEnabled);
    EXPECT_EQ(wifi.type, 71u);
    EXPECT_EQ(wifi.index, 3u);
    ASSERT_EQ(wifi.ipAddresses.size(), 2u);
    EXPECT_EQ(wifi.ipAddresses[1], (pf::IpAddressFacts{"192.168.1.58", "255.255.255.0"}));
    ASSERT_EQ(wifi.gateways.size(), 1u);
    EXPECT_EQ(wifi.gateways[0].address, "192.168.1.1");
    EXPECT_TRUE(wifi.dhcpEnabled);
    ASSERT_EQ(wifi.dhcpServers.size(), 1u);
    EXPECT_EQ(wifi.dhcpServers[0].address, "192.168.1.1");
    // The stub stands for the servers systemd-resolved forwards to; IPv6
    // servers do not fit the library's records.
    EXPECT_EQ(n.params.dnsServers, (std::vector<std::string>{"192.168.1.1", "9.9.9.9"}));
    EXPECT_EQ(n.params.hostName, "thinkpad");
    EXPECT_EQ(n.params.domainName, "home.arpa");
    // Without Samba there is no node type and no WINS.
    EXPECT_EQ(n.params.nodeType, 0u);
    EXPECT_FALSE(wifi.haveWins);
    // NetBIOS binds only to a card with an IPv4 address.
    ASSERT_EQ(n.netBios.size(), 1u);
    EXPECT_EQ(n.netBios[0].address, wifi.hardwareAddress);

    auto c = pf::host::ReadHostNetworkComponents(root);
    EXPECT_EQ(c.protocols, (std::vector<std::string>{"Internet Protocol (TCP/IP)", "Microsoft TCP/IP version 6"}));
    EXPECT_TRUE(c.services.empty());
    Put("proc/sys/net/ipv6/conf/all/disable_ipv6", "1\n");
    EXPECT_EQ(pf::host::ReadHostNetworkComponents(root).protocols.size(), 1u);
}

TEST_F(HostNetworkReplay, SambaGivesWinsTheNodeTypeAndTheSharingService) {
    LaptopFiles();
    Put("etc/samba/smb.conf",
        "[global]\n   workgroup = HOME\n   WINS Server = 192.168.1.2 192.168.1.3\n   netbios scope = lab\n"
        "[share]\n   wins server = 10.9.9.9\n");
    Put("run/samba/smbd.pid", "4242\n");
    Put("proc/4242/comm", "smbd\n");
    auto n = pf::host::ReadHostNetwork(root, Laptop(), "thinkpad");
    EXPECT_EQ(n.params.nodeType, 8u);
    EXPECT_EQ(n.params.scopeId, "lab");
    EXPECT_EQ(n.params.domainName, "home.arpa");   // from resolv.conf's search line
    const auto& wifi = n.adapters[2];
    EXPECT_TRUE(wifi.haveWins);
    EXPECT_EQ(wifi.primaryWins.at(0).address, "192.168.1.2");
    EXPECT_EQ(wifi.secondaryWins.at(0).address, "192.168.1.3");
    EXPECT_TRUE(n.adapters[0].primaryWins.empty());   // not on loopback
    EXPECT_EQ(pf::host::ReadHostNetworkComponents(root).services,
              (std::vector<std::string>{"File and Printer Sharing for Microsoft Networks"}));
    // A pid file left behind by a stopped server is not a running one.
    Put("proc/4242/comm", "bash\n");
    EXPECT_TRUE(pf::host::ReadHostNetworkComponents(root).services.empty());
    // A Samba configuration without WINS: broadcast.
    Put("etc/samba/smb.conf", "[global]\nworkgroup = HOME\n");
    EXPECT_EQ(pf::host::ReadHostNetwork(root, Laptop(), "thinkpad").params.nodeType, 1u);
}

TEST_F(HostNetworkReplay, OwnAddressesAnswerAtOnceWhenTheNameServerIsUnreachable) {
    LaptopFiles();
    // A name server nobody answers (a reserved documentation address).
    Put("etc/resolv.conf", "nameserver 192.0.2.1\n");
    pf::host::SetRecordedInterfaceAddresses(Laptop());
    pf::SetActiveMachine(pf::CreateHostMachine(root));
    pf::routines::InitializeRoutines();
    pf::iphlpapi::BindIpHlpAPI();
    TNetwork network;
    network.GetInfo();
    EXPECT_EQ(network.IPAddresses().CommaText(), "192.168.1.57,192.168.1.58");
    EXPECT_EQ(network.MACAddresses().CommaText(), "7C:2A:31:AA:BB:CC");
    EXPECT_EQ(network.Protocols().Count(), 2);
    TStringList lines;
    network.Report(lines);
    auto l = Lines(lines);
    EXPECT_TRUE(Has(l, "DNSServers=192.0.2.1"));
    EXPECT_TRUE(Has(l, "AdapterType[0]=Loopback"));
    EXPECT_TRUE(Has(l, "AdapterType[2]=Other"));
    EXPECT_TRUE(Has(l, "AdapterPhysAddr[1]=54-E1-AD-11-22-33"));
    // Without any interface but loopback the PC is 127.0.0.1.
    auto onlyLoopback = Laptop();
    onlyLoopback.erase(std::remove_if(onlyLoopback.begin(), onlyLoopback.end(),
                                      [](const auto& e) { return e.name != "lo"; }),
                       onlyLoopback.end());
    pf::host::SetRecordedInterfaceAddresses(onlyLoopback);
    pf::iphlpapi::ReleaseIpHlpAPI();
    pf::SetActiveMachine(pf::CreateHostMachine(root));
    pf::iphlpapi::BindIpHlpAPI();
    network.GetInfo();
    EXPECT_EQ(network.IPAddresses().CommaText(), "127.0.0.1");
    pf::iphlpapi::ReleaseIpHlpAPI();
}

TEST(HostResolvConf, ServersDomainsAndComments) {
    auto c = pf::host::ParseResolvConf(
        "; comment\n#nameserver 1.1.1.1\nnameserver\t10.0.0.1 \nnameserver fe80::1%eth0\ndomain a.example\n"
        "search b.example c.example\nnameserver 10.0.0.2\n");
    EXPECT_EQ(c.nameServers, (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_TRUE(c.namesAnyServer);
    EXPECT_EQ(c.domain, "b.example");
    EXPECT_TRUE(pf::host::ParseResolvConf("").nameServers.empty());
}

}  // namespace
