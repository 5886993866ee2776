#include "components/QuentaSysProcessor.h"

#include "components/CpuIdentity.h"

#include <cmath>
#include <cstring>

namespace torvex::components {

namespace {

bool IsNT() {
    win32::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return win32::GetVersionExA(&info) && info.dwPlatformId == win32::VER_PLATFORM_WIN32_NT;
}

std::uint64_t Qword(const win32::BYTE* data) {
    std::uint64_t v = 0;
    std::memcpy(&v, data, sizeof v);
    return v;
}

}  // namespace

// ---------------------------------------------------------------- processor

void TQuentaProcessorItem::PublishProperties(classes::TPublished& p) const {
    classes::TCollectionItem::PublishProperties(p);
    p.Add("Identifier", Identifier);
    p.Add("VendorIdentifier", VendorIdentifier);
    p.Add("MHz", MHz);
}

TQuentaSysProcessorObject::TQuentaSysProcessorObject(TQuentaSysComponent* owner)
    : TQuentaSysObject(owner), FProcessorsInfo(std::make_unique<TQuentaProcessorsInfo>()) {}

bool TQuentaSysProcessorObject::ExistCPUInfo() const { return win32::CpuidAvailable(); }

void TQuentaSysProcessorObject::Identify() {
    const CpuIdentity id = ReadCpuIdentity();
    FIDString = id.idString;
    FCPUName = id.cpuName;
    FStepping = id.stepping;
    FModel = id.model;
    FFamily = id.family;
    FFeatures = id.features;
    FExtendedFeatures = id.extendedFeatures;
}

void TQuentaSysProcessorObject::CountAndLoadNT() {
    FProcessorUsage = 255;
    win32::HMODULE ntdll = win32::GetModuleHandleA("ntdll");
    auto query = ntdll ? reinterpret_cast<win32::PNtQuerySystemInformation>(
                             win32::GetProcAddress(ntdll, "NtQuerySystemInformation"))
                       : nullptr;
    if (!query) return;
    win32::BYTE basic[44] = {};
    if (query(win32::SystemBasicInformation, basic, sizeof basic, nullptr) != win32::STATUS_SUCCESS) return;
    FCount = basic[40];
    std::uint64_t previousIdle = 0, previousTime = 0;
    for (int round = 0; round < 2; ++round) {
        win32::BYTE timeOfDay[32] = {}, performance[312] = {};
        if (query(win32::SystemTimeOfDayInformation, timeOfDay, sizeof timeOfDay, nullptr) != win32::STATUS_SUCCESS)
            return;
        if (query(win32::SystemPerformanceInformation, performance, sizeof performance, nullptr) !=
            win32::STATUS_SUCCESS)
            return;
        std::uint64_t now = Qword(timeOfDay + 8), idle = Qword(performance);
        // A count of 0 or a clock that stood still would divide by zero; the
        // load then stays unmeasured.
        if (round > 0 && previousIdle != 0 && FCount > 0 && now > previousTime) {
            double busy = 100.0 - double(idle - previousIdle) / double(now - previousTime) * 100.0 / FCount + 0.5;
            double rounded = std::nearbyint(busy);   // ties to even, as the default rounding mode does
            // Idle ticks counted in coarser steps than the clock can exceed
            // the interval; a load is never below 0 or above 100 percent.
            FProcessorUsage = static_cast<std::uint8_t>(std::fmin(100.0, std::fmax(0.0, rounded)));
        }
        previousIdle = idle;
        previousTime = now;
        win32::Sleep(500);
    }
}

void TQuentaSysProcessorObject::CountAndLoad9x() {
    FProcessorUsage = 255;
    FCount = 1;
    TQuentaSysRegistry& reg = Registry();
    reg.SetRootKey(win32::HKEY_DYN_DATA);
    reg.SetAccess(win32::KEY_ALL_ACCESS);
    if (!reg.OpenKey("PerfStats\\StartStat")) return;
    reg.ReadRaw("KERNEL\\CPUUsage");   // starts the counter
    reg.SetAccess(win32::KEY_READ);
    if (!reg.OpenKey("PerfStats\\StatData")) return;
    std::string data = reg.ReadRaw("KERNEL\\CPUUsage");
    if (!data.empty()) FProcessorUsage = static_cast<std::uint8_t>(data[0]);
    reg.SetAccess(win32::KEY_ALL_ACCESS);
    if (!reg.OpenKey("PerfStats\\StopStat")) return;
    reg.ReadRaw("KERNEL\\CPUUsage");   // stops it
    reg.CloseKey();
}

void TQuentaSysProcessorObject::Retrieve() {
    FProcessorsInfo->Clear();
    for (int n = 0;; ++n) {
        TQuentaSysRegistry reg;
        reg.SetAccess(win32::KEY_READ);
        if (!reg.OpenKey("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\" + std::to_string(n))) break;
        TQuentaProcessorItem& item = FProcessorsInfo->Add();
        item.Identifier = reg.ReadString("Identifier");
        item.VendorIdentifier = reg.ReadString("VendorIdentifier");
        auto mhz = reg.ReadInteger("~MHz");
        item.MHz = mhz ? static_cast<std::int32_t>(*mhz) : -1;
    }
    Identify();
    if (IsNT())
        CountAndLoadNT();
    else
        CountAndLoad9x();
}

void TQuentaSysProcessorObject::PublishProperties(classes::TPublished& p) const {
    TQuentaSysObject::PublishProperties(p);
    p.Add("Count", FCount);
    p.Add("ProcessorUsage", FProcessorUsage);
    p.Add("ProcessorsInfo", FProcessorsInfo);
    p.Add("IDString", FIDString);
    p.Add("CPUName", FCPUName);
    p.Add("Stepping", FStepping);
    p.Add("Model", FModel);
    p.Add("Family", FFamily);
    static const std::pair<const char*, int> kStandard[] = {
        {"FPU", 0},  {"VirtualModeExtensions", 1}, {"DebuggingExtensions", 2}, {"PageSizeExtensions", 3},
        {"TimeStampCoutner", 4}, {"K86_ModelSpecificRegisters", 5}, {"MachineCheckException", 7},
        {"CMP_XCHG_8B", 8}, {"APIC", 9}, {"MemoryTypeRangeRegisters", 12}, {"GlobalPaging", 13},
        {"Cond_MOVE_Instruct", 15}, {"MMX", 23}};
    for (auto [name, bit] : kStandard) p.AddGetter(name, [this, bit = bit] { return Bit(bit); });
    p.AddGetter("SYSCALLandSYSRET", [this] { return bool((FExtendedFeatures >> 11) & 1); });
    p.AddGetter("FPCond_MOVE_Instruct", [this] { return bool((FExtendedFeatures >> 16) & 1); });
    p.AddGetter("AMD3DNow", [this] { return bool((FExtendedFeatures >> 31) & 1); });
    p.AddGetter("ExistCPUInfo", [this] { return ExistCPUInfo(); });
}

TQuentaSysProcessor::TQuentaSysProcessor(classes::TComponent* owner)
    : TQuentaSysBaseComponent(owner), FProcessor(std::make_unique<TQuentaSysProcessorObject>(this)) {
    FProcessor->SetOnChange(ChangeHandler());
}

void TQuentaSysProcessor::PublishProperties(classes::TPublished& p) const {
    TQuentaSysBaseComponent::PublishProperties(p);
    p.Add("Processor", FProcessor);
}

// ---------------------------------------------------------------- Windows

void TQuentaSysWindowsObject::Retrieve() {
    bool nt = IsNT();
    TQuentaSysRegistry& reg = Registry();
    reg.SetRootKey(win32::HKEY_LOCAL_MACHINE);
    reg.SetAccess(win32::KEY_ALL_ACCESS);
    if (reg.OpenKey(std::string("\\SOFTWARE\\Microsoft\\Windows") + (nt ? " NT" : "") + "\\CurrentVersion")) {
        FRegisteredOwner = reg.ReadString("RegisteredOwner");
        FRegisteredCompany = reg.ReadString("RegisteredOrganization");
        FProductID = reg.ReadString("ProductID");
        FProductName = reg.ReadString("ProductName");
        reg.CloseKey();
    }
    win32::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (win32::GetVersionExA(&info)) {
        FCSDVersion = std::string(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
        FBuildNumber = info.dwBuildNumber;
        FPlatformID = info.dwPlatformId;
        FMajorVersion = info.dwMajorVersion;
        FMinorVersion = info.dwMinorVersion;
    }
}

void TQuentaSysWindowsObject::PublishProperties(classes::TPublished& p) const {
    TQuentaSysObject::PublishProperties(p);
    p.Add("RegisteredOwner", FRegisteredOwner);
    p.Add("RegisteredCompany", FRegisteredCompany);
    p.Add("ProductName", FProductName);
    p.Add("ProductID", FProductID);
    p.Add("InstallDate", FInstallDate);
    p.Add("CSDVersion", FCSDVersion);
    p.Add("PlatformID", FPlatformID);
    p.Add("BuildNumber", FBuildNumber);
    p.Add("MajorVersion", FMajorVersion);
    p.Add("MinorVersion", FMinorVersion);
}

TQuentaSysWindows::TQuentaSysWindows(classes::TComponent* owner)
    : TQuentaSysBaseComponent(owner), FWindows(std::make_unique<TQuentaSysWindowsObject>(this)) {
    FWindows->SetOnChange(ChangeHandler());
}

void TQuentaSysWindows::PublishProperties(classes::TPublished& p) const {
    TQuentaSysBaseComponent::PublishProperties(p);
    p.Add("Windows", FWindows);
}

// ---------------------------------------------------------------- network

void TQuentaProtocol::PublishProperties(classes::TPublished& p) const {
    classes::TPersistent::PublishProperties(p);
    p.Add("Installed", Installed);
}
void TQuentaTCPIP::PublishProperties(classes::TPublished& p) const {
    TQuentaProtocol::PublishProperties(p);
    p.Add("IPAddress", IPAddress);
    p.Add("IPSubnetMask", IPSubnetMask);
    p.Add("DefaultGateway", DefaultGateway);
}
void TQuentaIPX::PublishProperties(classes::TPublished& p) const {
    TQuentaProtocol::PublishProperties(p);
    p.Add("NetworkNumber", NetworkNumber);
}

TQuentaNetworkCard::TQuentaNetworkCard(classes::TCollection& c)
    : classes::TCollectionItem(c),
      FTCPIP(std::make_unique<TQuentaTCPIP>(*this)),
      FNetBEUI(std::make_unique<TQuentaNetBEUI>(*this)),
      FIPX(std::make_unique<TQuentaIPX>(*this)) {}

void TQuentaNetworkCard::PublishProperties(classes::TPublished& p) const {
    classes::TCollectionItem::PublishProperties(p);
    p.Add("Description", Description);
    p.Add("TCPIP", FTCPIP);
    p.Add("NetBEUI", FNetBEUI);
    p.Add("IPX", FIPX);
}

TQuentaNetworkCards::TQuentaNetworkCards()
    : TQuentaSysCollection([](classes::TCollection& c) { return std::make_unique<TQuentaNetworkCard>(c); }) {}

TQuentaSysNetworkObject::TQuentaSysNetworkObject(TQuentaSysComponent* owner)
    : TQuentaSysObject(owner),
      FConnectedResources(std::make_unique<classes::TStringList>()),
      FSharedResources(std::make_unique<classes::TStringList>()),
      FNetworkCards(std::make_unique<TQuentaNetworkCards>()) {}

namespace {

void Enumerate(win32::DWORD scope, classes::TStringList& list) {
    list.Clear();
    win32::HANDLE handle = nullptr;
    if (win32::WNetOpenEnumA(scope, win32::RESOURCETYPE_ANY, 0, nullptr, &handle) != win32::ERROR_SUCCESS) return;
    std::vector<win32::BYTE> buffer(16384);
    for (;;) {
        win32::DWORD count = 1, size = static_cast<win32::DWORD>(buffer.size());
        win32::DWORD result = win32::WNetEnumResourceA(handle, &count, buffer.data(), &size);
        if (result == win32::ERROR_MORE_DATA) {
            buffer.resize(size);
            continue;
        }
        if (result != win32::ERROR_SUCCESS || count == 0) break;
        auto* resource = reinterpret_cast<win32::NETRESOURCEA*>(buffer.data());
        list.Add(resource->lpRemoteName ? resource->lpRemoteName : "");
    }
    win32::WNetCloseEnum(handle);
}

// A value's bytes with its zero separators read as blanks.
std::string ZerosAsBlanks(std::string bytes) {
    for (char& c : bytes)
        if (c == '\0') c = ' ';
    return bytes;
}

}  // namespace

void TQuentaSysNetworkObject::Retrieve() {
    char user[256] = {};
    win32::DWORD length = sizeof user;
    FUserName = win32::WNetGetUserA(nullptr, user, &length) == win32::ERROR_SUCCESS ? std::string(user) : "";
    {
        TQuentaSysRegistry reg;
        reg.SetAccess(win32::KEY_READ);
        FComputerName = reg.OpenKey("\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
                            ? reg.ReadString("ComputerName")
                            : "";
    }
    Enumerate(win32::RESOURCE_CONNECTED, *FConnectedResources);
    Enumerate(win32::RESOURCE_CONTEXT, *FSharedResources);

    FNetworkCards->Clear();
    const std::string cardsKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
    std::vector<std::string> names;
    {
        TQuentaSysRegistry reg;
        reg.SetAccess(win32::KEY_READ);
        if (reg.OpenKey(cardsKey)) names = reg.GetKeyNames();
    }
    for (const std::string& name : names) {
        TQuentaSysRegistry reg;
        reg.SetAccess(win32::KEY_READ);
        bool opened = reg.OpenKey(cardsKey + "\\" + name);
        if (opened) {
            auto hidden = reg.ReadInteger("Hidden");
            if (hidden && *hidden == 1) continue;
        }
        TQuentaNetworkCard& card = FNetworkCards->Add();
        if (!opened) continue;   // a card with empty texts
        card.Description = reg.ReadString("Description");
        card.ServiceName = reg.ReadString("ServiceName");
        ReadProtocols(card);
    }
}

void TQuentaSysNetworkObject::ReadProtocols(TQuentaNetworkCard& card) {
    const std::string& service = card.ServiceName;
    TQuentaSysRegistry reg;
    reg.SetAccess(win32::KEY_READ);
    if (reg.OpenKey("SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters") && reg.KeyExists("TCPIP") &&
        reg.OpenKey("SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Parameters\\TCPIP")) {
        card.TCPIP().Installed = true;
        card.TCPIP().IPSubnetMask = reg.ReadRaw("SubnetMask");
        card.TCPIP().IPAddress = reg.ReadRaw("IPAddress");
        card.TCPIP().DefaultGateway = reg.ReadRaw("DefaultGateway");
    }
    auto bound = [&](const char* key) {
        return !service.empty() && reg.OpenKey(key) && ZerosAsBlanks(reg.ReadRaw("Bind")).find(service) != std::string::npos;
    };
    card.NetBEUI().Installed = bound("SYSTEM\\CurrentControlSet\\Services\\Nbf\\Linkage");
    card.IPX().Installed = bound("SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage");
    if (card.IPX().Installed &&
        reg.OpenKey("SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Parameters\\Adapters\\" + service))
        card.IPX().NetworkNumber = reg.ReadRaw("NetworkNumber");
}

void TQuentaSysNetworkObject::PublishProperties(classes::TPublished& p) const {
    TQuentaSysObject::PublishProperties(p);
    p.Add("ConnectedResources", FConnectedResources);
    p.Add("SharedResources", FSharedResources);
    p.Add("UserName", FUserName);
    p.Add("ComputerName", FComputerName);
    p.Add("NetworkCards", FNetworkCards);
}

TQuentaSysNetwork::TQuentaSysNetwork(classes::TComponent* owner)
    : TQuentaSysBaseComponent(owner), FNetwork(std::make_unique<TQuentaSysNetworkObject>(this)) {
    FNetwork->SetOnChange(ChangeHandler());
}

void TQuentaSysNetwork::PublishProperties(classes::TPublished& p) const {
    TQuentaSysBaseComponent::PublishProperties(p);
    p.Add("Network", FNetwork);
}

}  // namespace torvex::components
