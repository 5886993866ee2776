#include "engine/Zarvo_SMBIOS.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/Corvane_Text.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Firmware.h"

namespace torvex::engine {

namespace {

template <std::size_t N>
std::string NameAt(const char* const (&table)[N], int index) {
    return index >= 0 && std::size_t(index) < N ? table[index] : "";
}

const char* const kStructureTypes[] = {
    "BIOS Information", "System Information", "Base Board Information",
    "System Enclosure or Chassis", "Processor Information", "Memory Controller Information",
    "Memory Module Information", "Cache Information", "Port Connector Information",
    "System Slots", "On Board Devices Information", "OEM Strings",
    "System Configuration Options", "BIOS Language Information", "Group Associations",
    "System Event Log", "Physical Memory Array", "Memory Device",
    "32-bit Memory Error Information", "Memory Array Mapped Address",
    "Memory Device Mapped Address", "Built-in Pointing Device", "Portable Battery",
    "System Reset", " Hardware Security", "System Power Controls", "Voltage Probe",
    " Cooling Device", "Tempature Probe", "Electrical Current Probe",
    "Out-of-Band Remote Access", "Boot Integrity Services (BIS) Entry Point",
    "System Boot Information", "64-bit Memory Error Information", "Management Device",
    "Management Device Component", "Management Device Threshold Data", "Memory Channel",
    "IPMI Device Information", "System Power Supply"};

const char* const kChassisTypes[] = {
    "", "Other", "Unknown", "Desktop", "Low Profile Desktop", "Pizza Box", "Mini Tower", "Tower",
    "Portable", "LapTop", "Notebook", "Hand Held", "Docking Station", "All in One",
    "Sub Notebook", "Space-saving", "Lunch Box", "Main Server Chassis", "Expansion Chassis",
    "SubChassis", "Bus Expansion Chassis", "Peripheral Chassis", "RAID Chassis",
    "Rack Mount Chassis", "Sealed-case PC"};

const char* const kUpgrades[] = {"",         "Other",    "Unknown",
                                 "Daughter Board", "ZIF Socket", "Replaceable Piggy Back",
                                 "None",     "LIF Socket", "Slot 1",
                                 "Slot 2"};

// Bit 5 (parity) has no text.
const char* const kMemoryTypes[] = {"Other", "Unknown", "Standard", "FastPageMode", "EDO", "",
                                    "ECC",   "SIMM",    "DIMM",     "BurstEDO",     "SDRAM"};

const char* const kPortTypes[] = {
    "None", "Parallel Port XT/AT Compatible", "Parallel Port PS/2", "Parallel Port ECP",
    "Parallel Port EPP", "Parallel Port ECP/EPP", "Serial Port XT/AT Compatible",
    "Serial Port 16450 Compatible", "Serial Port 16550 Compatible",
    "Serial Port 16550A Compatible", "SCSI Port", "MIDI Port", "Joy Stick Port", "Keyboard Port",
    "Mouse Port", "SSA SCSI", "USB", "FireWire (IEEE P1394)", "PCMCIA Type I", "PCMCIA Type II",
    "PCMCIA Type III", "Cardbus", "Access Bus Port", "SCSI II", "SCSI Wide", "PC-98",
    "PC-98-Hireso", "PC-H98", "Video Port", "Audio Port", "Modem Port", "Network Port",
    "8251 Compatible", "8251 FIFO Compatible", "Other"};

const char* const kConnectors[] = {
    "None", "Centronics", "Mini Centronics", "Proprietary", "DB-25 pin male",
    "DB-25 pin female", "DB-15 pin male", "DB-15 pin female", "DB-9 pin male", "DB-9 pin female",
    "RJ-11", "RJ-45", "50 Pin MiniSCSI", "Mini-DIN", "Micro-DIN", "PS/2", "Infrared", "HP-HIL",
    "Access Bus (USB)", "SSA SCSI", "Circular DIN-8 male", "Circular DIN-8 female",
    "On Board IDE", "On Board Floppy", "9 Pin Dual Inline (pin 10 cut)",
    "25 Pin Dual Inline (pin 26 cut)", "50 Pin Dual Inline", "68 Pin Dual Inline",
    "On Board Sound Input from CD-ROM", "Mini-Centronics Type-14", "Mini-Centronics Type-26",
    "Mini-jack (headphones)", "BNC", "1394", "PC-98", "PC-98Hireso", "PC-H98", "PC-98Note",
    "PC-98Full", "Other"};

const char* const kSlotTypes[] = {
    "Other", "Unknown", "ISA", "MCA", "EISA", "PCI", "PC Card (PCMCIA)", "VL-VESA",
    "Proprietary", "Processor Card Slot", "Proprietary Memory Card", "I/O Riser Card Slot",
    "NuBus", "PCI - 66MHz Capable", "AGP", "AGP 2X", "AGP 4X", "PC-98/C20", "PC-98/C24",
    "PC-98/E", "PC-98/Local Bus", "PC-98/Card"};

const char* const kBusWidths[] = {"Other",  "Unknown", "8 bit",  "16 bit",
                                  "32 bit", "64 bit",  "128 bit"};

const char* const kSRAMTypes[] = {"Other",       "Unknown",   "Non-Burst",   "Burst",
                                  "Pipeline Burst", "Synchronous", "Asynchronous"};

const char* const kCacheTypes[] = {"Other", "Unknown", "Instruction", "Data", "Unified"};

const char* const kAssociativity[] = {"Other",
                                      "Unknown",
                                      "Direct Mapped",
                                      "2-way Set-Associative",
                                      "4-way Set-Associative",
                                      "Fully Associative"};

// Firmware texts are single bytes in the machine's code page.
std::string FirmwareText(std::string_view raw) {
    std::size_t b = 0, e = raw.size();
    while (b < e && static_cast<unsigned char>(raw[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(raw[e - 1]) <= ' ') --e;
    return platform::AnsiToUtf8(raw.substr(b, e - b), 1252);
}

// The 46-byte real-mode program that copies the segment F000h to its
// standard output: 65,535 bytes from offset 0, then the byte at FFFFh (a
// single DOS write cannot pass 64 KB), then it ends with exit code 0, or
// with the error code of the write that failed.
constexpr std::uint8_t kRomDumpProgram[46] = {
    0xB8, 0x00, 0xF0,        // mov ax, F000h
    0x8E, 0xD8,              // mov ds, ax
    0xB4, 0x40,              // mov ah, 40h      write to a handle
    0xBB, 0x01, 0x00,        // mov bx, 1        standard output
    0xB9, 0xFF, 0xFF,        // mov cx, FFFFh
    0xBA, 0x00, 0x00,        // mov dx, 0
    0xCD, 0x21,              // int 21h
    0x72, 0x16,              // jc  fail
    0xB4, 0x40,              // mov ah, 40h
    0xBB, 0x01, 0x00,        // mov bx, 1
    0xB9, 0x01, 0x00,        // mov cx, 1
    0xBA, 0xFF, 0xFF,        // mov dx, FFFFh
    0xCD, 0x21,              // int 21h
    0x72, 0x07,              // jc  fail
    0xB8, 0x00, 0x4C,        // mov ax, 4C00h    exit code 0
    0xCD, 0x21,              // int 21h
    0x90, 0x90,              // nop, nop
    0xB4, 0x4C,              // fail: mov ah, 4Ch (al holds the error code)
    0xCD, 0x21,              // int 21h
};

}  // namespace

std::string StructureTypeName(int type) {
    if (type == 126) return "Inactive";
    if (type == 127) return "End-of-Table";
    std::string name = NameAt(kStructureTypes, type);
    return name.empty() ? "Unknown" : name;
}
std::string ChassisTypeName(int value) { return NameAt(kChassisTypes, value); }
std::string ProcessorUpgradeName(int value) { return NameAt(kUpgrades, value); }
std::string PortTypeName(int index) { return NameAt(kPortTypes, index); }
std::string ConnectorName(int index) { return NameAt(kConnectors, index); }
std::string SlotTypeName(int index) { return NameAt(kSlotTypes, index); }
std::string SlotDataBusName(int index) { return NameAt(kBusWidths, index); }
std::string SRAMTypeName(int index) { return NameAt(kSRAMTypes, index); }
std::string CacheTypeName(int index) { return NameAt(kCacheTypes, index); }
std::string CacheAssociativityName(int index) { return NameAt(kAssociativity, index); }

std::string MemoryTypeText(TMemoryTypes types) {
    std::string text;
    for (int bit = 0; bit <= 10; ++bit) {
        if (!(types & (1u << bit)) || !*kMemoryTypes[bit]) continue;
        if (!text.empty()) text += ",";
        text += kMemoryTypes[bit];
    }
    return text;
}

TSMBIOS::TSMBIOS() : image_(kImageSize, 0) {}

void TSMBIOS::SetImage(const std::vector<std::uint8_t>& image) {
    image_.assign(kImageSize, 0);
    std::copy_n(image.begin(), std::min(image.size(), kImageSize), image_.begin());
    imageRead_ = true;
}

// ---------------------------------------------------------------- reading the segment

std::uint8_t TSMBIOS::ByteAt(std::uint32_t a) const {
    return a >= kSegmentBase && a <= kSegmentEnd ? image_[a - kSegmentBase] : 0;
}

std::uint16_t TSMBIOS::WordAt(std::uint32_t a) const {
    if (a < kSegmentBase || a > kSegmentEnd - 1) return 0;
    return std::uint16_t(ByteAt(a) | ByteAt(a + 1) << 8);
}

std::uint32_t TSMBIOS::DWordAt(std::uint32_t a) const {
    if (a < kSegmentBase || a > kSegmentEnd - 3) return 0;
    return std::uint32_t(WordAt(a)) | std::uint32_t(WordAt(a + 2)) << 16;
}

std::string TSMBIOS::RawStringAt(std::uint32_t a) const {
    if (a < kSegmentBase || a > kSegmentEnd || a + 255 > kSegmentEnd) return {};
    const char* p = reinterpret_cast<const char*>(image_.data() + (a - kSegmentBase));
    return std::string(p, strnlen(p, 255));
}

bool TSMBIOS::ReadImage() {
    win32::OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!win32::GetVersionExA(&vi)) return false;
    if (vi.dwPlatformId == win32::VER_PLATFORM_WIN32_WINDOWS) return ReadDirect();
    if (vi.dwPlatformId != win32::VER_PLATFORM_WIN32_NT) return false;
    if (ReadSection()) return true;
    return ReadWithDumpProgram();
}

bool TSMBIOS::ReadDirect() {
    std::vector<std::uint8_t> copy(kImageSize);
    if (!win32::ReadLinearMemory(kSegmentBase, copy.data(), win32::DWORD(kImageSize))) return false;
    image_ = std::move(copy);
    return true;
}

bool TSMBIOS::ReadSection() {
    win32::HMODULE ntdll = win32::GetModuleHandleA("NTDLL.DLL");
    if (!ntdll) return false;
    auto open = reinterpret_cast<win32::ZwOpenSectionProc>(win32::GetProcAddress(ntdll, "ZwOpenSection"));
    auto close = reinterpret_cast<win32::ZwCloseProc>(win32::GetProcAddress(ntdll, "ZwClose"));
    if (!open || !close) return false;

    static const char16_t kName[] = u"\\Device\\PhysicalMemory";
    win32::UNICODE_STRING name{win32::WORD((std::size(kName) - 1) * 2), win32::WORD(sizeof(kName)), kName};
    win32::OBJECT_ATTRIBUTES attributes{sizeof(win32::OBJECT_ATTRIBUTES), nullptr, &name,
                                        win32::OBJ_CASE_INSENSITIVE, nullptr, nullptr};
    win32::HANDLE section = nullptr;
    if (open(&section, win32::SECTION_MAP_READ, &attributes) != win32::STATUS_SUCCESS) return false;

    const void* view = win32::MapViewOfFile(section, win32::FILE_MAP_READ, 0, kSegmentBase,
                                            win32::SIZE_T(kImageSize));
    if (!view) {
        close(section);
        throw Exception("Cannot map physical memory to process memory!\r\n");
    }
    std::memcpy(image_.data(), view, kImageSize);
    win32::UnmapViewOfFile(view);
    close(section);
    return true;
}

bool TSMBIOS::ReadWithDumpProgram() {
    char buffer[win32::MAX_PATH + 1] = {};
    win32::DWORD n = win32::GetTempPathA(win32::MAX_PATH, buffer);
    if (n == 0 || n > win32::MAX_PATH) return false;
    std::string temp(buffer, n);
    if (temp.back() != '\\') temp += '\\';

    // A numbered folder of our own, so that two runs never share files.
    std::string folder;
    for (int i = 1; i < 10000 && folder.empty(); ++i) {
        std::string candidate = temp + std::to_string(i) + "~RomDmp";
        if (win32::GetFileAttributesA(candidate.c_str()) == win32::INVALID_FILE_ATTRIBUTES)
            folder = candidate;
    }
    if (folder.empty() || !win32::CreateDirectoryA(folder.c_str(), nullptr)) return false;
    std::string program = folder + "\\RomDump.com";
    std::string output = folder + "\\Rom.dmp";
    auto cleanUp = [&] {
        win32::DeleteFileA(program.c_str());
        win32::DeleteFileA(output.c_str());
        win32::RemoveDirectoryA(folder.c_str());
    };

    win32::HANDLE file = win32::CreateFileA(program.c_str(), win32::GENERIC_WRITE, 0, nullptr,
                                            win32::CREATE_ALWAYS, win32::FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == win32::INVALID_HANDLE_VALUE) {
        cleanUp();
        return false;
    }
    win32::DWORD written = 0;
    bool whole = win32::WriteFile(file, kRomDumpProgram, sizeof(kRomDumpProgram), &written, nullptr) &&
                 written == sizeof(kRomDumpProgram);
    win32::CloseHandle(file);
    if (!whole) {
        cleanUp();
        return false;
    }

    char comSpec[win32::MAX_PATH + 1] = {};
    win32::DWORD len = win32::GetEnvironmentVariableA("ComSpec", comSpec, win32::MAX_PATH);
    std::string commandLine = std::string(comSpec, len <= win32::MAX_PATH ? len : 0) + " /C " +
                              program + " > " + output;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    win32::STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = win32::STARTF_USESHOWWINDOW;
    startup.wShowWindow = win32::SW_HIDE;
    win32::PROCESS_INFORMATION process{};
    bool ran = false;
    if (win32::CreateProcessA(nullptr, line.data(), nullptr, nullptr, win32::FALSE,
                              win32::CREATE_NEW_CONSOLE | win32::CREATE_NEW_PROCESS_GROUP, nullptr,
                              nullptr, &startup, &process)) {
        // A child that has not ended in time is stopped; what it wrote so
        // far is not used.
        ran = win32::WaitForSingleObject(process.hProcess, kDumpProgramTimeoutMs) == win32::WAIT_OBJECT_0;
        if (!ran) {
            win32::TerminateProcess(process.hProcess, 1);
            win32::WaitForSingleObject(process.hProcess, kDumpProgramTimeoutMs);
        }
        win32::CloseHandle(process.hThread);
        win32::CloseHandle(process.hProcess);
    }

    bool accepted = false;
    if (ran) {
        file = win32::CreateFileA(output.c_str(), win32::GENERIC_READ, win32::FILE_SHARE_READ, nullptr,
                                  win32::OPEN_EXISTING, win32::FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != win32::INVALID_HANDLE_VALUE) {
            std::vector<std::uint8_t> copy(kImageSize);
            win32::DWORD read = 0;
            if (win32::ReadFile(file, copy.data(), win32::DWORD(kImageSize), &read, nullptr) &&
                read == kImageSize) {
                image_ = std::move(copy);
                accepted = true;
            }
            win32::CloseHandle(file);
        }
    }
    cleanUp();
    return accepted;
}

// ---------------------------------------------------------------- decoding

void TSMBIOS::Clear() {
    entryPoint_ = tableAddress_ = 0;
    tableLength_ = structureCount_ = 0;
    version_.clear();
    structures_.clear();
    memory_.clear();
    ports_.clear();
    slots_.clear();
    caches_.clear();
    FBIOSVendor.clear();
    FBIOSVersion.clear();
    FBIOSDate.clear();
    FBIOSSize = 0;
    FSystemManufacturer.clear();
    FSystemModel.clear();
    FSystemVersion.clear();
    FSystemSerial.clear();
    FSystemUUID.clear();
    FMainBoardManufacturer.clear();
    FMainBoardModel.clear();
    FMainBoardVersion.clear();
    FMainBoardSerial.clear();
    FChassisModel.clear();
    FChassisManufacturer.clear();
    FChassisVersion.clear();
    FChassisSerial.clear();
    FCPUSocket.clear();
    FCPUManufacturer.clear();
    FCPUVersion.clear();
    FCPUUpgrade.clear();
    FCPUVoltage = 0;
    FCPUExternalClock = FCPUClock = 0;
}

void TSMBIOS::GetInfo(int mode) {
    Clear();
    bool read = true;
    if (mode == 1) {
        imageRead_ = false;
        read = imageRead_ = ReadImage();
    }
    FindEntryPoint(read);
    if (!entryPoint_) return;
    Walk();
    Decode();
}

void TSMBIOS::FindEntryPoint(bool imageRead) {
    auto matches = [&](std::size_t k, std::string_view anchor) {
        return k + anchor.size() <= kImageSize &&
               std::memcmp(image_.data() + k, anchor.data(), anchor.size()) == 0;
    };
    if (imageRead)
        for (std::size_t k = 0; k < kImageSize && !entryPoint_; ++k)
            if (image_[k] == '_' && matches(k, "_SM_")) entryPoint_ = kSegmentBase + std::uint32_t(k);
    if (!entryPoint_)
        for (std::size_t k = 0; k < kImageSize && !entryPoint_; ++k)
            if (image_[k] == '_' && matches(k, "_DMI_")) entryPoint_ = kSegmentBase + std::uint32_t(k) - 16;
    if (!entryPoint_) return;

    const std::uint32_t e = entryPoint_;
    version_ = Format("%d.%d", {ByteAt(e + 6), ByteAt(e + 7)});
    tableAddress_ = DWordAt(e + 0x18);
    structureCount_ = WordAt(e + 0x1C);
    tableLength_ = WordAt(e + 0x16);
}

void TSMBIOS::Walk() {
    if (tableAddress_ < kSegmentBase || tableAddress_ > kSegmentEnd) return;
    auto record = [&](std::uint32_t p) {
        TStructTable s;
        s.Address = p;
        s.Type = ByteAt(p);
        s.Length = ByteAt(p + 1);
        s.Handle = WordAt(p + 2);
        s.Name = StructureTypeName(s.Type);
        structures_.push_back(std::move(s));
    };

    std::uint32_t p = tableAddress_;
    record(p);
    // BIOSes that lay a BIOS structure down may pad between structures with
    // zero bytes; once one is seen, runs of zeros are skipped.
    bool zeroRun = ByteAt(p) == 0;
    while (ByteAt(p) != 127) {
        std::uint32_t q = p + ByteAt(p + 1);
        bool found = false;
        for (; q < kSegmentEnd; ++q) {
            if (ByteAt(q) != 0 || ByteAt(q + 1) != 0) continue;
            if (zeroRun && q + 2 <= kSegmentEnd && ByteAt(q + 2) == 0) continue;
            found = true;
            break;
        }
        if (!found) break;
        p = q + 2;
        if (p > kSegmentEnd || p - tableAddress_ >= tableLength_) break;
        if (structures_.size() >= structureCount_) break;
        record(p);
        if (ByteAt(p) == 0) zeroRun = true;
    }
}

const TStructTable* TSMBIOS::First(std::uint8_t type) const {
    for (const auto& s : structures_)
        if (s.Type == type) return Decodable(s) ? &s : nullptr;
    return nullptr;
}

bool TSMBIOS::Decodable(const TStructTable& s) const {
    return s.Address >= tableAddress_ && ByteAt(s.Address) == s.Type;
}

namespace {

// Reads a structure's strings in the order of its string fields: each
// field whose number is not zero takes the next string after the formatted
// area, whatever its number says.
class SequentialStrings {
public:
    SequentialStrings(const TSMBIOS& owner, std::uint32_t address,
                      std::string (TSMBIOS::*raw)(std::uint32_t) const,
                      std::uint8_t (TSMBIOS::*byte)(std::uint32_t) const)
        : owner_(owner), address_(address), raw_(raw), byte_(byte),
          offset_(address + (owner.*byte)(address + 1)) {}

    std::string Next(std::uint8_t field) {
        if ((owner_.*byte_)(address_ + field) == 0) return {};
        std::string raw = (owner_.*raw_)(offset_);
        offset_ += std::uint32_t(raw.size()) + 1;
        return FirmwareText(raw);
    }

private:
    const TSMBIOS& owner_;
    std::uint32_t address_;
    std::string (TSMBIOS::*raw_)(std::uint32_t) const;
    std::uint8_t (TSMBIOS::*byte_)(std::uint32_t) const;
    std::uint32_t offset_;
};

}  // namespace

void TSMBIOS::Decode() {
    auto strings = [&](std::uint32_t a) {
        return SequentialStrings(*this, a, &TSMBIOS::RawStringAt, &TSMBIOS::ByteAt);
    };

    if (const TStructTable* s = First(0)) {
        auto str = strings(s->Address);
        FBIOSVendor = str.Next(0x04);
        FBIOSVersion = str.Next(0x05);
        FBIOSDate = str.Next(0x08);
        FBIOSSize = (std::uint32_t(ByteAt(s->Address + 0x09)) + 1) * 64;
    }
    if (const TStructTable* s = First(1)) {
        auto str = strings(s->Address);
        FSystemManufacturer = str.Next(0x04);
        FSystemModel = str.Next(0x05);
        FSystemVersion = str.Next(0x06);
        FSystemSerial = str.Next(0x07);
        for (int i = 0; i < 16; ++i) FSystemUUID += Format("%.2X", {ByteAt(s->Address + 0x08 + i)});
    }
    if (const TStructTable* s = First(2)) {
        auto str = strings(s->Address);
        FMainBoardManufacturer = str.Next(0x04);
        FMainBoardModel = str.Next(0x05);
        FMainBoardVersion = str.Next(0x06);
        FMainBoardSerial = str.Next(0x07);
    }
    if (const TStructTable* s = First(3)) {
        FChassisModel = ChassisTypeName(ByteAt(s->Address + 0x05));
        auto str = strings(s->Address);
        FChassisManufacturer = str.Next(0x04);
        FChassisVersion = str.Next(0x06);
        FChassisSerial = str.Next(0x07);
        str.Next(0x08);   // the asset tag
    }
    if (const TStructTable* s = First(4)) {
        const std::uint32_t a = s->Address;
        auto str = strings(a);
        FCPUSocket = str.Next(0x04);
        FCPUManufacturer = str.Next(0x07);
        FCPUVersion = str.Next(0x10);
        FCPUUpgrade = ProcessorUpgradeName(ByteAt(a + 0x19));
        std::uint8_t v = ByteAt(a + 0x11);
        if (v & 0x80) FCPUVoltage = (v - 0x80) / 10.0;
        else if (v & 0x01) FCPUVoltage = 5.0;
        else if (v & 0x02) FCPUVoltage = 3.3;
        else if (v & 0x04) FCPUVoltage = 2.9;
        FCPUExternalClock = WordAt(a + 0x12);
        FCPUClock = WordAt(a + 0x16);
    }

    for (const auto& s : structures_) {
        if (!Decodable(s)) continue;
        const std::uint32_t a = s.Address;
        switch (s.Type) {
        case 6: {
            TMemoryBank m;
            m.Socket = strings(a).Next(0x04);
            m.Speed = ByteAt(a + 0x06);
            m.Types = TMemoryTypes(WordAt(a + 0x07) & 0x07FF);
            std::uint8_t size = ByteAt(a + 0x09) & 0x7F;
            // 7Dh: not determinable, 7Eh: not enabled, 7Fh: not installed.
            // Exponents beyond 31 do not fit the 32-bit size and can only
            // come from a damaged table: they give 0 as well.
            m.Size = size >= 0x7D || size > 31 ? 0 : std::uint32_t(1) << size;
            memory_.push_back(std::move(m));
            break;
        }
        case 7: {
            TCache c;
            c.Designation = strings(a).Next(0x04);
            // Kept in 32 bits: a size counted in 64 KB units reaches 2 GB,
            // and 16 bits would wrap every cache of 64 MB and more.
            auto size = [](std::uint16_t w) -> std::uint32_t {
                return w & 0x8000 ? std::uint32_t(w & 0x7FFF) * 64 : w;
            };
            c.MaxSize = size(WordAt(a + 0x07));
            c.InstalledSize = size(WordAt(a + 0x09));
            std::uint16_t sram = WordAt(a + 0x0D);
            c.SRAMType = 0xFF;   // no bit set: no name
            for (int bit = 6; bit >= 0; --bit)
                if (sram & (1u << bit)) {
                    c.SRAMType = std::uint8_t(bit);
                    break;
                }
            c.Speed = ByteAt(a + 0x0F);
            c.CacheType = std::uint8_t(ByteAt(a + 0x11) - 1);
            c.Associativity = std::uint8_t(ByteAt(a + 0x12) - 1);
            caches_.push_back(std::move(c));
            break;
        }
        case 8: {
            TPort p;
            p.Designator = strings(a).Next(0x04);
            std::uint8_t connector = ByteAt(a + 0x05);
            if (connector == 0xFF) p.Connector = 39;
            else if (connector >= 0xA0 && connector <= 0xA4) p.Connector = std::uint8_t(connector - 0xA0 + 34);
            else p.Connector = connector;
            std::uint8_t type = ByteAt(a + 0x08);
            if (type == 0xFF) p.PortType = 34;
            else if (type > 0x1F) p.PortType = std::uint8_t(type - 0x80);
            else p.PortType = type;
            if (!p.Designator.empty()) ports_.push_back(std::move(p));
            break;
        }
        case 9: {
            TSlot sl;
            sl.Designation = strings(a).Next(0x04);
            std::uint8_t type = ByteAt(a + 0x05);
            sl.SlotType = std::uint8_t(type > 0x11 ? type - 0x8F : type - 1);
            sl.DataBus = std::uint8_t(ByteAt(a + 0x06) - 1);
            sl.SlotID = WordAt(a + 0x09);
            if (!sl.Designation.empty()) slots_.push_back(std::move(sl));
            break;
        }
        default:
            break;
        }
    }
}

// ---------------------------------------------------------------- records and report

TMemoryBank TSMBIOS::MemoryBank(int n) const {
    std::size_t i = std::size_t(n & 0xFF);
    return i < memory_.size() ? memory_[i] : TMemoryBank{};
}
TPort TSMBIOS::Port(int n) const {
    std::size_t i = std::size_t(n & 0xFF);
    return i < ports_.size() ? ports_[i] : TPort{};
}
TSlot TSMBIOS::SystemSlot(int n) const {
    std::size_t i = std::size_t(n & 0xFF);
    return i < slots_.size() ? slots_[i] : TSlot{};
}
TCache TSMBIOS::Cache(int n) const {
    std::size_t i = std::size_t(n & 0xFF);
    return i < caches_.size() ? caches_[i] : TCache{};
}

void TSMBIOS::Report(TStringList& list) const {
    list.Add("[SMBIOS]");
    list.Add("Version=" + version_);
    list.Add(Format("Start Address=%x", {entryPoint_}));
    list.Add(Format("Structure Table Start Address=%x", {DWordAt(entryPoint_ + 0x18)}));
    list.Add(Format("Structure Table Count=%d", {int(structures_.size())}));
    list.Add(Format("TableCount=%d", {int(structures_.size()) - 1}));
    for (std::size_t i = 0; i < structures_.size(); ++i)
        list.Add(Format("Table_%d=%s (Type %d)", {int(i), structures_[i].Name, int(structures_[i].Type)}));
    list.Add("BIOS Vendor=" + FBIOSVendor);
    list.Add("BIOS Version=" + FBIOSVersion);
    list.Add("BIOS Date=" + FBIOSDate);
    list.Add(Format("BIOS Size=%d K", {FBIOSSize}));
    list.Add("System Model=" + FSystemModel);
    list.Add("System Manufacturer=" + FSystemManufacturer);
    list.Add("System Version=" + FSystemVersion);
    list.Add("System Serial=" + FSystemSerial);
    list.Add("System UUID=" + FSystemUUID);
    list.Add("Mainboard Model=" + FMainBoardModel);
    list.Add("Mainboard Manufacturer=" + FMainBoardManufacturer);
    list.Add("Mainboard Version=" + FMainBoardVersion);
    list.Add("Mainboard Serial=" + FMainBoardSerial);
    list.Add("Chassis Model=" + FChassisModel);
    list.Add("Chassis Manufacturer=" + FChassisManufacturer);
    list.Add("Chassis Version=" + FChassisVersion);
    list.Add("Chassis Serial=" + FChassisSerial);
    list.Add("CPU Socket=" + FCPUSocket);
    list.Add("CPU Upgrade Interface=" + FCPUUpgrade);
    list.Add("CPU Manufacturer=" + FCPUManufacturer);
    list.Add("CPU Version=" + FCPUVersion);
    list.Add(Format("CPU Voltage=%1.1f V", {FCPUVoltage}));
    list.Add(Format("CPU Clock=%d MHz", {int(FCPUClock)}));
    list.Add(Format("CPU External Clock=%d MHz", {int(FCPUExternalClock)}));
    list.Add(Format("MemorySlotCount=%d", {int(MemorySlotCount())}));
    for (int i = 0; i < MemorySlotCount(); ++i) {
        const TMemoryBank& m = memory_[std::size_t(i)];
        list.Add(Format("MemoryBank_%d=%s", {i, m.Socket}));
        list.Add(Format("MemoryType_%d=%s", {i, MemoryTypeText(m.Types)}));
        list.Add(Format("MemorySize_%d=%d MB", {i, m.Size}));
        // This second "MemorySize" line carries the module's speed.
        list.Add(Format("MemorySize_%d=%d ns", {i, int(m.Speed)}));
    }
    list.Add(Format("PortCount=%d", {int(PortCount())}));
    for (int i = 0; i < PortCount(); ++i) {
        const TPort& p = ports_[std::size_t(i)];
        list.Add(Format("PortDesignator_%d=%s", {i, p.Designator}));
        list.Add(Format("PortType_%d=%s", {i, PortTypeName(p.PortType)}));
        list.Add(Format("PortConnector_%d=%s", {i, ConnectorName(p.Connector)}));
    }
    list.Add(Format("SystemSlotCount=%d", {int(SystemSlotCount())}));
    for (int i = 0; i < SystemSlotCount(); ++i) {
        const TSlot& s = slots_[std::size_t(i)];
        list.Add(Format("SystemSlot_%d=%s", {i, SlotTypeName(s.SlotType)}));
        list.Add(Format("SystemSlotDataBus_%d=%s", {i, SlotDataBusName(s.DataBus)}));
    }
}

void TSMBIOS::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("BIOSVendor", FBIOSVendor);
    p.Add("BIOSVersion", FBIOSVersion);
    p.Add("BIOSDate", FBIOSDate);
    p.Add("BIOSSize", FBIOSSize);
    p.Add("SystemManufacturer", FSystemManufacturer);
    p.Add("SystemModel", FSystemModel);
    p.Add("SystemVersion", FSystemVersion);
    p.Add("SystemSerial", FSystemSerial);
    p.Add("SystemUUID", FSystemUUID);
    p.Add("MainBoardManufacturer", FMainBoardManufacturer);
    p.Add("MainBoardModel", FMainBoardModel);
    p.Add("MainBoardVersion", FMainBoardVersion);
    p.Add("MainBoardSerial", FMainBoardSerial);
    p.Add("ChassisModel", FChassisModel);
    p.Add("ChassisManufacturer", FChassisManufacturer);
    p.Add("ChassisVersion", FChassisVersion);
    p.Add("ChassisSerial", FChassisSerial);
    p.Add("CPUSocket", FCPUSocket);
    p.Add("CPUManufacturer", FCPUManufacturer);
    p.Add("CPUVersion", FCPUVersion);
    p.Add("CPUUpgrade", FCPUUpgrade);
    p.Add("CPUVoltage", FCPUVoltage);
    p.Add("CPUExternalClock", FCPUExternalClock);
    p.Add("CPUClock", FCPUClock);
    p.AddGetter("MemorySlotCount", [this] { return MemorySlotCount(); });
    p.AddGetter("PortCount", [this] { return PortCount(); });
    p.AddGetter("SystemSlotCount", [this] { return SystemSlotCount(); });
    p.AddGetter("CacheCount", [this] { return CacheCount(); });
}

}  // namespace torvex::engine
