#include "app/summary/SummaryList.h"

#include <charconv>
#include <cmath>

#include "app/EditionStrings.h"
#include "components/QuentaSysDrive.h"
#include "components/QuentaSysProcessor.h"
#include "components/QuentaSysUninstall.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_SMBIOS.h"
#include "platform/Corvane_Registry.h"
#include "platform/win32/Win32.h"

namespace torvex::summary {

namespace res = app::res;

namespace {

bool Visible(const std::string& text) {
    for (unsigned char c : text)
        if (c > ' ') return true;
    return false;
}

std::string TrimBlanks(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// FriendlyName when it holds more than blanks, else Description; both as stored.
std::string DeviceName(const engine::TDevice& device) {
    return TrimBlanks(device.FriendlyName).empty() ? device.Description : device.FriendlyName;
}

// The slot types the firmware names: the classic table's 0..21 in their
// order first, then any further named type in index order.
std::vector<int> SlotTypeOrder() {
    std::vector<int> order;
    for (int t = 0; t < 256; ++t)
        if (t < 22 || !engine::SlotTypeName(t).empty()) order.push_back(t);
    return order;
}

}  // namespace

std::string ResourceText(unsigned id) {
    char buffer[512] = {};
    int length = win32::LoadStringA(nullptr, id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? std::size_t(length) : 0);
}

std::string FormatSize(std::int64_t bytes, const std::string& mb, const std::string& gb) {
    std::int64_t kb = bytes / 1024;
    std::int64_t megabytes = kb / 1024;
    if (megabytes < 1024) return std::to_string((kb + 512) / 1024) + mb;
    if (megabytes < 9728) {
        char text[32];
        auto [end, ec] = std::to_chars(text, text + sizeof text, double(megabytes) / 1024.0, std::chars_format::fixed, 1);
        (void)ec;
        return std::string(text, end) + gb;
    }
    return std::to_string((megabytes + 512) / 1024) + gb;
}

std::string OneLine(std::string text) {
    // A text ends at its first zero byte, as every text of the system does
    // (a brand string read as its whole 48 bytes keeps the zero after it).
    if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string ConsoleLine(const TSummaryRow& row) {
    if (row.IsBlank()) return {};
    return row.Caption + "\t" + row.Value;
}

std::vector<TSummaryRow> TSummaryList::Rows(const TSummaryToggles& toggles, bool oldWindows) {
    std::vector<TSummaryRow> rows;
    BuildList(toggles, oldWindows, [&rows](const TSummaryRow& row) { rows.push_back(row); });
    return rows;
}

void TSummaryList::Add(std::string caption, std::string value, int image) {
    (*sink_)(TSummaryRow{OneLine(std::move(caption)), OneLine(std::move(value)), image});
}

void TSummaryList::AddBlank() { (*sink_)(TSummaryRow{"", "", icon::None}); }

void TSummaryList::BuildList(const TSummaryToggles& toggles, bool oldWindows, const Sink& sink) {
    toggles_ = toggles;
    oldWindows_ = oldWindows;
    sink_ = &sink;
    const bool d = toggles.Detaljer;

    AddProcessorRows();
    AddBlank();
    AddMemoryRows();
    if (d) AddBlank();
    if (d) AddMediaRows();
    if (d && !oldWindows_) AddNetworkRows();
    if (d) AddStorageRows();
    AddBlank();
    if (!toggles.Partitioner) {
        AddDriveRows(false);
        AddBlank();
    }
    AddDisplayRows();
    AddBlank();
    AddWindowsRows();
    if (d) AddDeviceRows();
    if (d) AddPrinterRows();
    if (toggles.Partitioner) {
        AddBlank();
        AddDriveRows(true);
    }
    if (toggles.Programmer) {
        AddBlank();
        AddProgramRows();
    }
    sink_ = nullptr;
}

// The Part's rule, mended: a processor without brand-string leaves (every
// Intel before the Pentium 4) has no visible brand string, and the row would
// stay blank; the engine's vendor and model name are shown then.
std::string TSummaryList::ProcessorName() {
    cpuInfo_.Refresh();
    std::string name = cpuInfo_.Processor().CPUName();
    if (name.size() <= 5) name = info_.CPU().BrandString();
    if (Visible(name)) return name;
    if (Visible(cpuInfo_.Processor().CPUName())) return cpuInfo_.Processor().CPUName();
    return TrimBlanks(info_.CPU().Vendor() + " " + info_.CPU().VendorID());
}

void TSummaryList::AddProcessorRows() {
    const bool d = toggles_.Detaljer;
    engine::TCPU& cpu = info_.CPU();
    engine::TMachine& machine = info_.Machine();
    cpu.GetInfo();
    machine.GetInfo(1);
    engine::TSMBIOS& smbios = machine.SMBIOS();
    if (d)
        Add(Text(res::MainSystem), smbios.SystemManufacturer() + " " + smbios.SystemModel(), icon::MainSystem);
    std::string name = ProcessorName();
    Add(Text(res::Processor), name, icon::Processor);
    if (name.find("XP") == std::string::npos || d)
        Add(Text(res::Frequency), classes::Format("%d Mhz", {cpu.Frequency()}), icon::Frequency);
    if (d && cpu.Count() >= 1)
        Add(Text(res::Voltage), classes::Format("%1.1fV", {smbios.CPUVoltage()}), icon::Voltage);
    if (d) Add(Text(res::Socket), smbios.CPUSocket() + " (" + smbios.CPUUpgrade() + ")", icon::Socket);
    if (d) {
        auto seconds = static_cast<std::int64_t>(std::llround(static_cast<double>(machine.SystemUpTime())));
        Add(Text(res::UpTime), engine::FormatSeconds(seconds, true, false, false), icon::General);
    }
    if (d) {
        for (int t : SlotTypeOrder()) {
            int count = 0;
            std::string width;
            for (int i = 0; i < smbios.SystemSlotCount(); ++i) {
                engine::TSlot slot = smbios.SystemSlot(i);
                if (slot.SlotType != t) continue;
                ++count;
                width = engine::SlotDataBusName(slot.DataBus);
            }
            if (count > 0)
                Add(Text(res::ExpansionSlot),
                    classes::Format("%d x %s, %s", {count, engine::SlotTypeName(t), width}), icon::ExpansionSlot);
        }
    }
}

void TSummaryList::AddMemoryRows() {
    engine::TSMBIOS& smbios = info_.Machine().SMBIOS();
    int count = 0;
    std::int64_t size = 0;
    std::string type;
    for (int i = 0; i < smbios.MemorySlotCount(); ++i) {
        engine::TMemoryBank bank = smbios.MemoryBank(i);
        if (bank.Size == 0) continue;
        ++count;
        size = bank.Size;
        type = engine::MemoryTypeText(bank.Types);
    }
    engine::TMemory& memory = info_.Memory();
    memory.GetInfo();
    std::int64_t total = memory.PhysicalTotal() / 1024 / 1024;
    if (total % 2 != 0) total += 1;
    std::int64_t free = (memory.PhysicalFree() / 1024 + 512) / 1024;
    Add(Text(res::Memory),
        classes::Format("%d" + Text(res::MB) + " (%d" + Text(res::MBFree) + ")", {total, free}), icon::Memory);
    if (!oldWindows_)
        Add(Text(res::Type), classes::Format("%d x %d" + Text(res::MB) + " %s", {count, size, type}), icon::Memory);
}

void TSummaryList::AddMediaRows() {
    engine::TMedia& media = info_.Media();
    media.GetInfo();
    const classes::TStringList& devices = media.Devices();
    if (devices.Count() > 0) {
        int sound = media.SoundCardIndex() > -1 && media.SoundCardIndex() < devices.Count() ? media.SoundCardIndex() : 0;
        Add(Text(res::SoundCard), devices[sound], icon::SoundCard);
        if (media.GamePortIndex() > -1 && media.GamePortIndex() < devices.Count())
            Add(Text(res::GamePort), devices[media.GamePortIndex()], icon::GamePort);
    }
    // The section ends with its blank row also when there is no device.
    AddBlank();
}

void TSummaryList::AddNetworkRows() {
    engine::TNetwork& network = info_.Network();
    network.GetInfo();
    const classes::TStringList& adapters = network.Adapters();
    // Without adapters the section writes nothing, not even its blank row.
    if (adapters.Count() == 0) return;
    int card = network.CardAdapterIndex() > -1 && network.CardAdapterIndex() < adapters.Count()
                   ? network.CardAdapterIndex()
                   : 0;
    Add(Text(res::NetworkCard), adapters[card], icon::NetworkCard);
    Add(Text(res::LocalMachineName), info_.Machine().Name(), icon::General);
    if (network.IPAddresses().Count() > 0) Add(Text(res::IPAddress), network.IPAddresses()[0], icon::General);
    if (network.MACAddresses().Count() > 0) Add(Text(res::MACAddress), network.MACAddresses()[0], icon::General);
    AddBlank();
}

void TSummaryList::AddStorageRows() {
    engine::TDevices& devices = info_.Devices();
    devices.GetInfo();
    auto pass = [&](std::uint8_t deviceClass, unsigned label, int image) {
        int n = 0;
        engine::TDevice device;
        for (int i = 0; i < devices.DeviceCount(); ++i) {
            if (!devices.GetDevice(i, device) || device.DeviceClass != deviceClass) continue;
            Add(classes::Format(Text(label) + " %d", {n}), DeviceName(device), image);
            ++n;
        }
    };
    pass(engine::dcFloppyDisk, res::Floppy, icon::Floppy);
    pass(engine::dcDiskDrive, res::HardDisk, icon::HardDisk);
    AddBlank();
    pass(engine::dcCDROM, res::CDROM, icon::CDROM);
    pass(engine::dcTapeDrive, res::TapeDrive, icon::Tape);
}

void TSummaryList::AddDriveRows(bool detail) {
    std::int64_t fixedFree = 0, fixedSize = 0, networkFree = 0, networkSize = 0;
    const std::string mb = Text(res::MB), gb = Text(res::GB), freeOf = Text(res::FreeOf);
    components::TQuentaSysDriveObject& drive = driveInfo_.Drive();
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        std::string root = std::string(1, letter) + ":/";
        win32::UINT type = win32::GetDriveTypeA(root.c_str());
        bool fixed = type == win32::DRIVE_FIXED;
        bool network = type == win32::DRIVE_REMOTE && !oldWindows_;
        if (!fixed && !network) continue;
        drive.SetDrive(letter);   // re-reads only a letter other than the selected one
        std::string label = Text(res::Drive) + std::string(1, letter);
        if (!drive.VolumeLabel().empty()) label += "   " + drive.VolumeLabel();
        // A drive that cannot tell its space reports -1; it adds nothing to
        // the totals rather than taking a byte off them.
        std::int64_t free = drive.DiskFree(), size = drive.DiskSize();
        (fixed ? fixedFree : networkFree) += free > 0 ? free : 0;
        (fixed ? fixedSize : networkSize) += size > 0 ? size : 0;
        if (detail)
            Add(label, FormatSize(free, mb, gb) + freeOf + FormatSize(size, mb, gb),
                fixed ? icon::HardDisk : icon::NetworkDrive);
    }
    if (detail) AddBlank();
    Add(Text(res::DiskSpace), FormatSize(fixedFree, mb, gb) + freeOf + FormatSize(fixedSize, mb, gb), icon::HardDisk);
    if (networkSize > 0 && !oldWindows_)
        Add(Text(res::NetworkDriveSpace), FormatSize(networkFree, mb, gb) + freeOf + FormatSize(networkSize, mb, gb),
            icon::NetworkDrive);
}

void TSummaryList::AddDisplayRows() {
    engine::TDisplay& display = info_.Display();
    display.GetInfo();
    // An adapter name of two characters or fewer says nothing; the chip does.
    Add(Text(res::DisplayAdapter), display.Adapter().size() > 2 ? display.Adapter() : display.Chipset(),
        icon::Display);
    if (toggles_.Detaljer) {
        std::int64_t mem = std::int64_t(display.Memory()) / 1024 / 1024;
        if (mem % 2 != 0) mem += 1;
        Add(Text(res::VideoMemory),
            mem > 0 ? classes::Format("%d" + Text(res::MBRam), {mem}) : Text(res::NotStated), icon::Memory);
        AddDirectXRow();
    }
    Add(Text(res::ScreenResolution),
        classes::Format("%d x %d - %d bit", {display.HorzRes(), display.VertRes(), display.ColorDepth()}),
        icon::Display);
}

void TSummaryList::AddDirectXRow() {
    // Opened as the window opens it, with full access: a user without write
    // rights to the key gets no row.
    win32::HKEY key = nullptr;
    if (win32::RegOpenKeyExA(win32::HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 0, win32::KEY_ALL_ACCESS,
                             &key) != win32::ERROR_SUCCESS)
        return;
    char buffer[1024] = {};
    win32::DWORD type = 0, size = sizeof buffer - 1;
    std::string version;
    if (win32::RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<win32::LPBYTE>(buffer), &size) ==
            win32::ERROR_SUCCESS &&
        (type == win32::REG_SZ || type == win32::REG_EXPAND_SZ))
        version = std::string(buffer);
    win32::RegCloseKey(key);
    Add(Text(res::DirectXVersion), version.size() > 3 ? version.substr(3, 99) : "", icon::Display);
}

void TSummaryList::AddWindowsRows() {
    winInfo_.Refresh();
    const components::TQuentaSysWindowsObject& w = winInfo_.Windows();
    Add(Text(res::WindowsVersion),
        classes::Format("%s %s %d.%d", {w.ProductName(), w.CSDVersion(), w.MajorVersion(), w.MinorVersion()}),
        icon::Windows);
    if (toggles_.Detaljer) Add(Text(res::RegisteredTo), w.RegisteredOwner() + "  " + w.RegisteredCompany(), icon::MainSystem);
}

void TSummaryList::AddDeviceRows() {
    engine::TDevices& devices = info_.Devices();
    auto first = [&](std::uint8_t deviceClass) -> std::optional<std::string> {
        engine::TDevice device;
        for (int i = 0; i < devices.DeviceCount(); ++i)
            if (devices.GetDevice(i, device) && device.DeviceClass == deviceClass) return DeviceName(device);
        return std::nullopt;
    };
    AddBlank();
    if (auto modem = first(engine::dcModem)) {
        Add(Text(res::Modem), *modem, icon::Modem);
        AddBlank();
    }
    Add(Text(res::Mouse), first(engine::dcMouse).value_or("<none>"), icon::Mouse);
    AddBlank();
    Add(Text(res::Keyboard), first(engine::dcKeyboard).value_or("<none>"), icon::Keyboard);
}

void TSummaryList::AddPrinterRows() {
    engine::TPrinters& printers = info_.Printers();
    printers.GetInfo();
    const classes::TStringList& names = printers.Names();
    if (names.Count() == 0) return;
    AddBlank();
    for (int i = 0; i < names.Count(); ++i)
        Add(Text(i == printers.DefaultIndex() ? res::DefaultPrinter : res::Printer), names[i], icon::Printer);
}

void TSummaryList::AddProgramRows() {
    Add(Text(res::InstalledPrograms), Text(res::SoftwarePublisher), icon::MainSystem);
    const components::TQuentaUninstallInfo& programs = uninstall_.Uninstall();
    for (int i = 0; i < programs.Count(); ++i) Add(programs[i].ProgramName(), programs[i].Publisher(), icon::None);
}

}  // namespace torvex::summary
