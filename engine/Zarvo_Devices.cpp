#include "engine/Zarvo_Devices.h"

#include <memory>
#include <optional>
#include <vector>

#include "platform/Corvane_Registry.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

namespace {

constexpr const char* kClassTable[kDeviceClassCount] = {
    "Battery",      "Computer",     "DiskDrive",       "Display",        "CDROM",
    "fdc",          "FloppyDisk",   "GPS",             "HID",            "hdc",
    "1394",         "Image",        "Infrared",        "Keyboard",       "MediumChanger",
    "MTD",          "Mouse",        "Modem",           "Monitor",        "MultiFunction",
    "MultiPortSerial", "Net",       "LegacyDriver",    "NtApm",          "Unknown",
    "PCMCIA",       "Ports",        "Printer",         "SCSIAdapter",    "SmartCardReader",
    "MEDIA",        "Volume",       "System",          "TapeDrive",      "TapeController",
    "Tape",         "USB",
};

constexpr const char* kEnumNT = "\\SYSTEM\\CurrentControlSet\\Enum";
constexpr const char* kClassRootNT = "\\SYSTEM\\CurrentControlSet\\Control\\Class";
constexpr const char* kClassRoot9x = "\\SYSTEM\\CurrentControlSet\\Services\\Class";
constexpr const char* kServices = "\\SYSTEM\\CurrentControlSet\\Services\\";
constexpr const char* kConfigManagerEnum = "\\Config Manager\\Enum";
constexpr const char* kEnum9x = "\\Enum";

// Hardware identifiers longer than this cannot be read (the read fails and
// the identifier stays empty), as the buffer the device list reads into.
constexpr win32::DWORD kHardwareIdBuffer = 255;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = UpperAscii(c);
    return r;
}

using Key = platform::TRegistryReader;

// The name of the first value of a key that has a name and holds text.
std::optional<std::string> FirstNamedTextValue(const Key& key) {
    if (!key) return std::nullopt;
    for (win32::DWORD i = 0;; ++i) {
        char name[1024];
        win32::DWORD size = sizeof name, type = 0;
        win32::LONG r = win32::RegEnumValueA(key.Handle(), i, name, &size, nullptr, &type, nullptr, nullptr);
        if (r == win32::ERROR_NO_MORE_ITEMS) break;
        if (r != win32::ERROR_SUCCESS && r != win32::ERROR_MORE_DATA) break;
        if (size > 0 && (type == win32::REG_SZ || type == win32::REG_EXPAND_SZ)) return std::string(name, size);
    }
    return std::nullopt;
}

// The hardware identifier, read by the kind of its value: a text as text;
// binary data, and kinds the registry objects do not tell apart (multi-texts
// among them), as bytes, keeping every non-zero byte until two zero bytes
// meet, so that the texts of a multi-text run together.
std::string ReadHardwareID(const Key& key) {
    auto type = key.ValueType("HardwareID");
    if (!type) return {};
    switch (*type) {
        case win32::REG_SZ:
        case win32::REG_EXPAND_SZ:
            return key.ReadString("HardwareID");
        case win32::REG_DWORD:
            return {};
        default: {
            auto data = key.Data("HardwareID", kHardwareIdBuffer);
            if (!data) return {};
            std::string s;
            for (std::size_t i = 0; i < data->size(); ++i) {
                std::uint8_t b = (*data)[i];
                if (b == 0) {
                    if (i + 1 < data->size() && (*data)[i + 1] == 0) break;
                    continue;
                }
                s.push_back(char(b));
            }
            return s;
        }
    }
}

// Group, display name and type of a service. The display name is lost when
// the service's figures cannot all be read; group and type are kept.
void ReadService(const std::string& service, std::string& name, std::string& group,
                 std::int32_t& type) {
    Key key;
    if (!key.Open(win32::HKEY_LOCAL_MACHINE, kServices + service)) return;
    // A missing text reads as empty; one of another kind is a failed read.
    auto isText = [&](const char* value) {
        auto kind = key.ValueType(value);
        return !kind || *kind == win32::REG_SZ || *kind == win32::REG_EXPAND_SZ;
    };
    bool complete = isText("DisplayName") && isText("Group");
    name = key.ReadString("DisplayName");
    group = key.ReadString("Group");
    if (auto t = key.ReadInteger("Type"))
        type = *t;
    else
        complete = false;
    if (!complete) name.clear();
}

bool PlatformIsNT() {
    win32::OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    return win32::GetVersionExA(&v) && v.dwPlatformId == win32::VER_PLATFORM_WIN32_NT;
}

// Steps shared by both builds: the device key's own values, its class, its
// driver and its service.
void ReadDeviceValues(const Key& key, TDevice& d, bool nt, const std::string& enumerator) {
    d.ClassGUID = UpperCase(key.ReadString("ClassGUID"));
    d.FriendlyName = key.ReadString("FriendlyName");
    d.Description = key.ReadString("DeviceDesc");
    d.Manufacturer = key.ReadString("Mfg");
    d.Service = key.ReadString("Service");
    d.Location = key.ReadString("LocationInformation");
    if (nt && d.Location.empty() && !enumerator.empty()) {
        // The bus driver's name tells where such a device sits.
        ReadService(enumerator, d.Location, d.ServiceGroup, d.ServiceType);
    }

    const char* classRoot = nt ? kClassRootNT : kClassRoot9x;
    if (!d.ClassGUID.empty()) {
        Key cls;
        if (cls.Open(win32::HKEY_LOCAL_MACHINE, std::string(classRoot) + "\\" + d.ClassGUID)) {
            d.ClassName = cls.ReadString("Class");
            bool readable = true;
            if (!nt) {
                // Windows 9x keeps a class's data under its name; the key
                // named by the GUID links to it.
                std::string link = cls.ReadString("Link");
                readable = cls.Open(win32::HKEY_LOCAL_MACHINE, std::string(classRoot) + "\\" + link);
            }
            if (readable) {
                d.ClassIcon = cls.ReadString("Icon");
                d.ClassDescription = cls.ReadString("");
            }
        }
    }
    if (d.ClassName.empty()) d.ClassName = key.ReadString("Class");

    d.Driver = key.ReadString("Driver");
    if (!d.Driver.empty()) {
        std::string driver = d.Driver;
        for (std::size_t p; (p = driver.find("\\\\")) != std::string::npos;) driver.erase(p, 1);
        Key drv;
        if (drv.Open(win32::HKEY_LOCAL_MACHINE, std::string(classRoot) + "\\" + driver)) {
            d.DriverDate = drv.ReadString("DriverDate");
            d.DriverVersion = drv.ReadString("DriverVersion");
            d.DriverProvider = drv.ReadString("ProviderName");
        }
    }
    if (!d.Service.empty()) ReadService(d.Service, d.ServiceName, d.ServiceGroup, d.ServiceType);

    d.HardwareID = ReadHardwareID(key);
}

// The records of a list, by entry.
class TDeviceObject : public TObject {
public:
    explicit TDeviceObject(TDevice d) : Device(std::move(d)) {}
    TDevice Device;
};

}  // namespace

const char* DeviceClassName(int index) {
    return (index >= 0 && index < kDeviceClassCount) ? kClassTable[index] : "";
}

std::uint8_t DeviceClassOf(std::string_view className) {
    std::string upper = UpperCase(className);
    for (int i = 0; i < kDeviceClassCount; ++i) {
        std::string entry = UpperCase(kClassTable[i]);
        if (upper.compare(0, entry.size(), entry) == 0) return std::uint8_t(i);
    }
    return dcUnknown;
}

std::string TDevice::DisplayName() const {
    return classes::Trim(FriendlyName).empty() ? Description : FriendlyName;
}

TDevices::TDevices() = default;
TDevices::~TDevices() = default;

void TDevices::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("DeviceCount", FDeviceCount);
}

void TDevices::GetInfo() {
    FDevices.Clear();
    FDeviceCount = 0;
    if (PlatformIsNT())
        GetInfoNT();
    else
        GetInfo9x();
    FDevices.Sort();
    FDeviceCount = FDevices.Count();
}

void TDevices::GetInfoNT() {
    Key enumKey;
    if (!enumKey.Open(win32::HKEY_LOCAL_MACHINE, kEnumNT)) return;
    for (const std::string& enumerator : enumKey.SubKeyNames()) {
        std::string enumPath = std::string(kEnumNT) + "\\" + enumerator;
        Key e;
        if (!e.Open(win32::HKEY_LOCAL_MACHINE, enumPath)) continue;
        for (const std::string& device : e.SubKeyNames()) {
            std::string devicePath = enumPath + "\\" + device;
            Key dk;
            if (!dk.Open(win32::HKEY_LOCAL_MACHINE, devicePath)) continue;
            for (const std::string& instance : dk.SubKeyNames()) {
                std::string path = devicePath + "\\" + instance;
                Key key;
                if (!key.Open(win32::HKEY_LOCAL_MACHINE, path)) continue;
                // Only a started device has its "Control" key.
                if (!key.HasSubKey("Control")) continue;
                TDevice d;
                ReadDeviceValues(key, d, true, enumerator);
                d.RegistryKey = path;
                Key params;
                if (params.Open(win32::HKEY_LOCAL_MACHINE, path + "\\Device Parameters")) {
                    if (auto name = FirstNamedTextValue(params))
                        d.DeviceParameter = params.ReadString(*name);
                }
                if (classes::Trim(d.ClassName).empty()) continue;
                d.DeviceClass = DeviceClassOf(d.ClassName);
                std::string cls = d.ClassName;
                FDevices.AddObject(cls, std::make_unique<TDeviceObject>(std::move(d)));
            }
        }
    }
}

void TDevices::GetInfo9x() {
    std::vector<std::string> hardwareKeys;
    {
        Key cm;
        if (!cm.Open(win32::HKEY_DYN_DATA, kConfigManagerEnum)) return;
        for (const std::string& sub : cm.SubKeyNames()) {
            Key node;
            if (!node.Open(win32::HKEY_DYN_DATA, std::string(kConfigManagerEnum) + "\\" + sub))
                continue;
            hardwareKeys.push_back(node.ReadString("HardwareKey"));
        }
    }
    TStringList seen;
    for (const std::string& hardwareKey : hardwareKeys) {
        // The network protocol and client entries are no hardware.
        if (UpperCase(hardwareKey).find("NETWORK") != std::string::npos) continue;
        std::string path = std::string(kEnum9x) + "\\" + hardwareKey;
        Key key;
        if (!key.Open(win32::HKEY_LOCAL_MACHINE, path)) continue;
        TDevice d;
        ReadDeviceValues(key, d, false, {});
        d.RegistryKey = path;
        if (classes::Trim(d.ClassName).empty()) continue;
        // Windows 9x lists some devices under several hardware keys.
        std::string id = d.ClassName + "-" + d.Description;
        if (seen.IndexOf(id) >= 0) continue;
        seen.Add(id);
        d.DeviceClass = DeviceClassOf(d.ClassName);
        std::string cls = d.ClassName;
        FDevices.AddObject(cls, std::make_unique<TDeviceObject>(std::move(d)));
    }
}

bool TDevices::GetDevice(int index, TDevice& device) const {
    if (index < 0 || index >= FDevices.Count()) return false;
    device = static_cast<const TDeviceObject*>(FDevices.Objects(index))->Device;
    return true;
}

void TDevices::Report(TStringList& lines) const {
    lines.Add("[Devices]");
    lines.Add(Format("Count=%d", {FDeviceCount}));
    for (int i = 0; i < FDevices.Count(); ++i) {
        const TDevice& d = static_cast<const TDeviceObject*>(FDevices.Objects(i))->Device;
        lines.Add(Format("[%s]", {d.DisplayName()}));
        lines.Add(Format("Class Name=%s", {d.ClassDescription}));
        lines.Add(Format("Class GUID=%s", {d.ClassGUID}));
        lines.Add(Format("Manufacturer=%s", {d.Manufacturer}));
        lines.Add(Format("Location=%s", {d.Location}));
        lines.Add(Format("Hardware ID=%s", {d.HardwareID}));
        lines.Add(Format("Registry Info=%s", {d.Driver}));
        lines.Add(Format("Driver Date=%s", {d.DriverDate}));
        lines.Add(Format("Driver Version=%s", {d.DriverVersion}));
        lines.Add(Format("Driver Provider=%s", {d.DriverProvider}));
        lines.Add(Format("Service Name=%s", {d.ServiceName}));
        lines.Add(Format("Service Group=%s", {d.ServiceGroup}));
    }
}

}  // namespace torvex::engine
