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
    "Rack Mount Chassis", "Sealed-case PC",
    // The enclosures named since 1999: blades, tablets and small PCs.
    "Multi-system chassis", "Compact PCI", "Advanced TCA", "Blade", "Blade Enclosure", "Tablet",
    "Convertible", "Detachable", "IoT Gateway", "Embedded PC", "Mini PC", "Stick PC"};

const char* const kUpgrades[] = {
    "", "Other", "Unknown", "Daughter Board", "ZIF Socket", "Replaceable Piggy Back", "None",
    "LIF Socket", "Slot 1", "Slot 2",
    // Every processor since the Celeron of 1999 sits in one of these.
    "370-pin socket", "Slot A", "Slot M", "Socket 423", "Socket A (Socket 462)", "Socket 478",
    "Socket 754", "Socket 940", "Socket 939", "Socket mPGA604", "Socket LGA771", "Socket LGA775",
    "Socket S1", "Socket AM2", "Socket F (1207)", "Socket LGA1366", "Socket G34", "Socket AM3",
    "Socket C32", "Socket LGA1156", "Socket LGA1567", "Socket PGA988A", "Socket BGA1288",
    "Socket rPGA988B", "Socket BGA1023", "Socket BGA1224", "Socket LGA1155", "Socket LGA1356",
    "Socket LGA2011", "Socket FS1", "Socket FS2", "Socket FM1", "Socket FM2", "Socket LGA2011-3",
    "Socket LGA1356-3", "Socket LGA1150", "Socket BGA1168", "Socket BGA1234", "Socket BGA1364",
    "Socket AM4", "Socket LGA1151", "Socket BGA1356", "Socket BGA1440", "Socket BGA1515",
    "Socket LGA3647-1", "Socket SP3", "Socket SP3r2", "Socket LGA2066", "Socket BGA1392",
    "Socket BGA1510", "Socket BGA1528", "Socket LGA4189", "Socket LGA1200", "Socket LGA4677",
    "Socket LGA1700", "Socket BGA1744", "Socket BGA1781", "Socket BGA1211", "Socket BGA2422",
    "Socket LGA1211", "Socket LGA2422", "Socket LGA5773", "Socket BGA5773", "Socket AM5",
    "Socket SP5", "Socket SP6", "Socket BGA883", "Socket BGA1190", "Socket BGA4129",
    "Socket LGA4710", "Socket LGA7529", "Socket BGA1964", "Socket BGA1792", "Socket BGA2049",
    "Socket BGA2551", "Socket LGA1851", "Socket BGA2114", "Socket BGA2833"};

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
    "8251 Compatible", "8251 FIFO Compatible", "Other",
    // Codes 20h-23h (index 35-38).
    "SATA", "SAS", "MFM (Multi-Function Monitor)", "Thunderbolt"};

const char* const kConnectors[] = {
    "None", "Centronics", "Mini Centronics", "Proprietary", "DB-25 pin male",
    "DB-25 pin female", "DB-15 pin male", "DB-15 pin female", "DB-9 pin male", "DB-9 pin female",
    "RJ-11", "RJ-45", "50 Pin MiniSCSI", "Mini-DIN", "Micro-DIN", "PS/2", "Infrared", "HP-HIL",
    "Access Bus (USB)", "SSA SCSI", "Circular DIN-8 male", "Circular DIN-8 female",
    "On Board IDE", "On Board Floppy", "9 Pin Dual Inline (pin 10 cut)",
    "25 Pin Dual Inline (pin 26 cut)", "50 Pin Dual Inline", "68 Pin Dual Inline",
    "On Board Sound Input from CD-ROM", "Mini-Centronics Type-14", "Mini-Centronics Type-26",
    "Mini-jack (headphones)", "BNC", "1394", "PC-98", "PC-98Hireso", "PC-H98", "PC-98Note",
    "PC-98Full", "Other",
    // Codes 22h and 23h (index 40, 41).
    "SAS/SATA Plug Receptacle", "USB Type-C Receptacle"};

const char* const kSlotTypes[] = {
    "Other", "Unknown", "ISA", "MCA", "EISA", "PCI", "PC Card (PCMCIA)", "VL-VESA",
    "Proprietary", "Processor Card Slot", "Proprietary Memory Card", "I/O Riser Card Slot",
    "NuBus", "PCI - 66MHz Capable", "AGP", "AGP 2X", "AGP 4X", "PC-98/C20", "PC-98/C24",
    "PC-98/E", "PC-98/Local Bus", "PC-98/Card"};

// Slot types from 12h to 30h, by code.
const char* const kLaterSlotTypes[] = {
    "PCI-X", "AGP 8X", "M.2 Socket 1-DP (Mechanical Key A)", "M.2 Socket 1-SD (Mechanical Key E)",
    "M.2 Socket 2 (Mechanical Key B)", "M.2 Socket 3 (Mechanical Key M)", "MXM Type I",
    "MXM Type II", "MXM Type III (standard connector)", "MXM Type III (HE connector)",
    "MXM Type IV", "MXM 3.0 Type A", "MXM 3.0 Type B", "PCI Express Gen 2 SFF-8639 (U.2)",
    "PCI Express Gen 3 SFF-8639 (U.2)",
    "PCI Express Mini 52-pin with bottom-side keep-outs",
    "PCI Express Mini 52-pin without bottom-side keep-outs",
    "PCI Express Mini 76-pin", "PCI Express Gen 4 SFF-8639 (U.2)",
    "PCI Express Gen 5 SFF-8639 (U.2)", "OCP NIC 3.0 Small Form Factor (SFF)",
    "OCP NIC 3.0 Large Form Factor (LFF)", "OCP NIC Prior to 3.0", "", "", "", "", "", "", "",
    "CXL Flexbus 1.0"};

// Slot types from A5h to C6h, by code (B7h is not assigned).
const char* const kExpressSlotTypes[] = {
    "PCI Express", "PCI Express x1", "PCI Express x2", "PCI Express x4", "PCI Express x8",
    "PCI Express x16", "PCI Express Gen 2", "PCI Express Gen 2 x1", "PCI Express Gen 2 x2",
    "PCI Express Gen 2 x4", "PCI Express Gen 2 x8", "PCI Express Gen 2 x16", "PCI Express Gen 3",
    "PCI Express Gen 3 x1", "PCI Express Gen 3 x2", "PCI Express Gen 3 x4", "PCI Express Gen 3 x8",
    "PCI Express Gen 3 x16", "", "PCI Express Gen 4", "PCI Express Gen 4 x1", "PCI Express Gen 4 x2",
    "PCI Express Gen 4 x4", "PCI Express Gen 4 x8", "PCI Express Gen 4 x16", "PCI Express Gen 5",
    "PCI Express Gen 5 x1", "PCI Express Gen 5 x2", "PCI Express Gen 5 x4", "PCI Express Gen 5 x8",
    "PCI Express Gen 5 x16", "PCI Express Gen 6 and Beyond",
    "Enterprise and Datacenter 1U E1 Form Factor Slot (EDSFF E1.S, E1.L)",
    "Enterprise and Datacenter 3\" E3 Form Factor Slot (EDSFF E3.S, E3.L)"};

// Serial buses (PCI Express) count lanes where parallel ones count bits.
const char* const kBusWidths[] = {"Other",  "Unknown", "8 bit", "16 bit", "32 bit", "64 bit",
                                  "128 bit", "x1",     "x2",    "x4",     "x8",     "x12",
                                  "x16",     "x32"};

const char* const kSRAMTypes[] = {"Other",       "Unknown",   "Non-Burst",   "Burst",
                                  "Pipeline Burst", "Synchronous", "Asynchronous"};

const char* const kCacheTypes[] = {"Other", "Unknown", "Instruction", "Data", "Unified"};

const char* const kAssociativity[] = {
    "Other", "Unknown", "Direct Mapped", "2-way Set-Associative", "4-way Set-Associative",
    "Fully Associative", "8-way Set-Associative", "16-way Set-Associative",
    "12-way Set-Associative", "24-way Set-Associative", "32-way Set-Associative",
    "48-way Set-Associative", "64-way Set-Associative", "20-way Set-Associative"};

// The code byte behind an index (the inverse of the *Index functions).
int PortTypeCode(int index) {
    if (index < 32) return index;
    if (index <= 34) return index == 34 ? 0xFF : 0xA0 + index - 32;
    return index <= 162 ? index - 3 : index - 1;
}
int ConnectorCode(int index) {
    if (index < 34) return index;
    if (index <= 39) return index == 39 ? 0xFF : 0xA0 + index - 34;
    return index <= 165 ? index - 6 : index - 1;
}
int SlotTypeCode(int index) {
    if (index < 17) return index + 1;
    if (index <= 112) return index + 0x8F;
    return index <= 254 ? index - 0x5F : 0;
}

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

std::string PortTypeName(int index) {
    if (index < 0 || index > 255) return "";
    if (index < 35) return kPortTypes[index];
    return NameAt(kPortTypes, 35 + PortTypeCode(index) - 0x20);
}
std::string ConnectorName(int index) {
    if (index < 0 || index > 255) return "";
    if (index < 40) return kConnectors[index];
    return NameAt(kConnectors, 40 + ConnectorCode(index) - 0x22);
}
std::string SlotTypeName(int index) {
    if (index < 0 || index > 255) return "";
    if (index < 22) return kSlotTypes[index];
    int code = SlotTypeCode(index);
    if (code >= 0x12 && code <= 0x30) return NameAt(kLaterSlotTypes, code - 0x12);
    return NameAt(kExpressSlotTypes, code - 0xA5);
}

std::uint8_t PortTypeIndex(std::uint8_t code) {
    if (code <= 0x1F) return code;
    if (code == 0xA0 || code == 0xA1) return std::uint8_t(code - 0x80);
    if (code == 0xFF) return 34;
    return std::uint8_t(code <= 0x9F ? code + 3 : code + 1);
}
std::uint8_t ConnectorIndex(std::uint8_t code) {
    if (code <= 0x21) return code;
    if (code >= 0xA0 && code <= 0xA4) return std::uint8_t(code - 0xA0 + 34);
    if (code == 0xFF) return 39;
    return std::uint8_t(code <= 0x9F ? code + 6 : code + 1);
}
std::uint8_t SlotTypeIndex(std::uint8_t code) {
    if (code == 0) return 255;
    if (code <= 0x11) return std::uint8_t(code - 1);
    if (code <= 0x9F) return std::uint8_t(code + 0x5F);
    return std::uint8_t(code - 0x8F);
}
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

std::string TSMBIOS::StringOf(std::uint32_t structure, std::uint8_t field) const {
    const int number = ByteAt(structure + field);
    if (number == 0) return {};
    // Walk the set: each string ends with a zero, the set with a second
    // zero, so an empty string marks its end and the walk never passes
    // into the next structure.
    std::uint32_t p = structure + ByteAt(structure + 1);
    for (int n = 1;; ++n) {
        if (p < kSegmentBase || p > kSegmentEnd || ByteAt(p) == 0) return {};
        const char* start = reinterpret_cast<const char*>(image_.data() + (p - kSegmentBase));
        std::size_t room = kSegmentEnd + 1 - p;
        std::size_t length = strnlen(start, room);
        if (length == room) return {};   // runs out of the segment
        if (n == number) return FirmwareText(std::string_view(start, length));
        p += std::uint32_t(length) + 1;
    }
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
    // The first anchor whose entry point sums to zero, as the standard
    // validates it: the word "_SM_" also turns up in the BIOS's own code
    // and data, and such a stray text must not hide the real entry point.
    // With no valid one the first anchor is taken all the same.
    auto find = [&](std::string_view anchor, int lengthAt, int fixedLength) -> std::uint32_t {
        std::uint32_t first = 0;
        for (std::size_t k = 0; k + anchor.size() <= kImageSize; ++k) {
            if (image_[k] != '_' || std::memcmp(image_.data() + k, anchor.data(), anchor.size()) != 0) continue;
            if (!first) first = kSegmentBase + std::uint32_t(k);
            std::size_t length = lengthAt ? image_[k + std::size_t(lengthAt)] : std::size_t(fixedLength);
            if (length < anchor.size() || k + length > kImageSize) continue;
            std::uint8_t sum = 0;
            for (std::size_t i = 0; i < length; ++i) sum = std::uint8_t(sum + image_[k + i]);
            if (sum == 0) return kSegmentBase + std::uint32_t(k);
        }
        return first;
    };
    bool sm3 = false;
    if (imageRead) entryPoint_ = find("_SM_", 5, 0);
    if (!entryPoint_)
        if (std::uint32_t dmi = find("_DMI_", 0, 15)) entryPoint_ = dmi - 16;
    // SMBIOS 3 firmware may leave only its 64-bit entry point.
    if (!entryPoint_ && imageRead && (entryPoint_ = find("_SM3_", 6, 0)) != 0) sm3 = true;
    if (!entryPoint_) return;

    const std::uint32_t e = entryPoint_;
    if (sm3) {
        version_ = Format("%d.%d", {ByteAt(e + 7), ByteAt(e + 8)});
        // A table above 4 GB is outside the segment: address 0.
        tableAddress_ = DWordAt(e + 0x14) == 0 ? DWordAt(e + 0x10) : 0;
        tableLength_ = std::uint16_t(std::min<std::uint32_t>(DWordAt(e + 0x0C), 0xFFFF));
        structureCount_ = 0;   // none given: the table ends at its end marker
        return;
    }
    version_ = Format("%d.%d", {ByteAt(e + 6), ByteAt(e + 7)});
    tableAddress_ = DWordAt(e + 0x18);
    structureCount_ = WordAt(e + 0x1C);
    tableLength_ = WordAt(e + 0x16);
}

void TSMBIOS::Walk() {
    if (tableAddress_ < kSegmentBase || tableAddress_ > kSegmentEnd) return;
    // The table ends at the count the entry point gives (none given: no
    // limit), at its length, at the end-of-table structure, or at the
    // first structure that is broken (a length below the four header
    // bytes) or does not lie whole inside the table.
    const std::uint32_t end = std::min<std::uint32_t>(tableAddress_ + tableLength_, kSegmentEnd + 1);
    std::uint32_t p = tableAddress_;
    while ((structureCount_ == 0 || structures_.size() < structureCount_) && p + 4 <= end) {
        const std::uint8_t length = ByteAt(p + 1);
        if (length < 4) break;
        std::uint32_t q = p + length;
        while (q + 1 < end && (ByteAt(q) != 0 || ByteAt(q + 1) != 0)) ++q;
        if (q + 2 > end) break;
        TStructTable s;
        s.Address = p;
        s.Type = ByteAt(p);
        s.Length = length;
        s.Handle = WordAt(p + 2);
        s.Name = StructureTypeName(s.Type);
        structures_.push_back(std::move(s));
        if (ByteAt(p) == 127) break;
        p = q + 2;
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

void TSMBIOS::Decode() {
    // A field lies in a structure only when the structure's length covers
    // it: older versions of the standard end their structures earlier, and
    // what follows them is the strings.
    auto has = [](const TStructTable& s, std::uint8_t offset, std::uint8_t size = 1) {
        return offset + size <= s.Length;
    };
    auto byte = [&](const TStructTable& s, std::uint8_t offset) -> std::uint8_t {
        return has(s, offset) ? ByteAt(s.Address + offset) : 0;
    };
    auto word = [&](const TStructTable& s, std::uint8_t offset) -> std::uint16_t {
        return has(s, offset, 2) ? WordAt(s.Address + offset) : 0;
    };
    auto text = [&](const TStructTable& s, std::uint8_t field) {
        return has(s, field) ? StringOf(s.Address, field) : std::string();
    };

    if (const TStructTable* s = First(0)) {
        FBIOSVendor = text(*s, 0x04);
        FBIOSVersion = text(*s, 0x05);
        FBIOSDate = text(*s, 0x08);
        FBIOSSize = (std::uint32_t(byte(*s, 0x09)) + 1) * 64;
        // From SMBIOS 3.1 a ROM of 16 MB and more sets the byte to FFh and
        // gives its size in the word at 18h: bits 0-13, counted in MB, or
        // in GB when bits 14-15 are 01.
        if (byte(*s, 0x09) == 0xFF && has(*s, 0x18, 2)) {
            std::uint16_t extended = word(*s, 0x18);
            std::uint32_t size = extended & 0x3FFF;
            switch (extended >> 14) {
            case 0: FBIOSSize = size * 1024; break;
            case 1: FBIOSSize = size * 1024 * 1024; break;
            default: break;   // units not yet assigned
            }
        }
    }
    if (const TStructTable* s = First(1)) {
        FSystemManufacturer = text(*s, 0x04);
        FSystemModel = text(*s, 0x05);
        FSystemVersion = text(*s, 0x06);
        FSystemSerial = text(*s, 0x07);
        if (has(*s, 0x08, 16))
            for (int i = 0; i < 16; ++i) FSystemUUID += Format("%.2X", {ByteAt(s->Address + 0x08 + i)});
    }
    if (const TStructTable* s = First(2)) {
        FMainBoardManufacturer = text(*s, 0x04);
        FMainBoardModel = text(*s, 0x05);
        FMainBoardVersion = text(*s, 0x06);
        FMainBoardSerial = text(*s, 0x07);
    }
    if (const TStructTable* s = First(3)) {
        // Bit 7 of the type byte tells whether the chassis has a lock.
        FChassisModel = ChassisTypeName(byte(*s, 0x05) & 0x7F);
        FChassisManufacturer = text(*s, 0x04);
        FChassisVersion = text(*s, 0x06);
        FChassisSerial = text(*s, 0x07);
    }
    if (const TStructTable* s = First(4)) {
        FCPUSocket = text(*s, 0x04);
        FCPUManufacturer = text(*s, 0x07);
        FCPUVersion = text(*s, 0x10);
        FCPUUpgrade = ProcessorUpgradeName(byte(*s, 0x19));
        std::uint8_t v = byte(*s, 0x11);
        if (v & 0x80) FCPUVoltage = (v - 0x80) / 10.0;
        else if (v & 0x01) FCPUVoltage = 5.0;
        else if (v & 0x02) FCPUVoltage = 3.3;
        else if (v & 0x04) FCPUVoltage = 2.9;
        FCPUExternalClock = word(*s, 0x12);
        FCPUClock = word(*s, 0x16);
    }

    for (const auto& s : structures_) {
        if (!Decodable(s)) continue;
        switch (s.Type) {
        case 6: {
            TMemoryBank m;
            m.Socket = text(s, 0x04);
            m.Speed = byte(s, 0x06);
            m.Types = TMemoryTypes(word(s, 0x07) & 0x07FF);
            std::uint8_t size = byte(s, 0x09) & 0x7F;
            // 7Dh: not determinable, 7Eh: not enabled, 7Fh: not installed.
            // Exponents beyond 31 do not fit the 32-bit size and can only
            // come from a damaged table: they give 0 as well.
            m.Size = size >= 0x7D || size > 31 ? 0 : std::uint32_t(1) << size;
            memory_.push_back(std::move(m));
            break;
        }
        case 7: {
            TCache c;
            c.Designation = text(s, 0x04);
            // Kept in 32 bits: a size counted in 64 KB units reaches 2 GB,
            // and 16 bits would wrap every cache of 64 MB and more.
            auto size = [](std::uint16_t w) -> std::uint32_t {
                return w & 0x8000 ? std::uint32_t(w & 0x7FFF) * 64 : w;
            };
            c.MaxSize = size(word(s, 0x07));
            c.InstalledSize = size(word(s, 0x09));
            // From SMBIOS 3.1 a cache of 2 GB and more has all bits of the
            // word set and its size in a dword (at 13h and 17h): bit 31
            // counts 64 KB units, else KB.
            auto size2 = [](std::uint32_t d) -> std::uint32_t {
                if (!(d & 0x80000000u)) return d;
                return std::uint32_t(std::min<std::uint64_t>(std::uint64_t(d & 0x7FFFFFFFu) * 64, 0xFFFFFFFFu));
            };
            if (word(s, 0x07) == 0xFFFF && has(s, 0x13, 4)) c.MaxSize = size2(DWordAt(s.Address + 0x13));
            if (word(s, 0x09) == 0xFFFF && has(s, 0x17, 4)) c.InstalledSize = size2(DWordAt(s.Address + 0x17));
            std::uint16_t sram = word(s, 0x0D);
            c.SRAMType = 0xFF;   // no bit set: no name
            for (int bit = 6; bit >= 0; --bit)
                if (sram & (1u << bit)) {
                    c.SRAMType = std::uint8_t(bit);
                    break;
                }
            c.Speed = byte(s, 0x0F);
            c.CacheType = std::uint8_t(byte(s, 0x11) - 1);
            c.Associativity = std::uint8_t(byte(s, 0x12) - 1);
            caches_.push_back(std::move(c));
            break;
        }
        case 8: {
            TPort p;
            p.Designator = text(s, 0x04);
            p.Connector = ConnectorIndex(byte(s, 0x05));
            p.PortType = PortTypeIndex(byte(s, 0x08));
            if (!p.Designator.empty()) ports_.push_back(std::move(p));
            break;
        }
        case 9: {
            TSlot sl;
            sl.Designation = text(s, 0x04);
            sl.SlotType = SlotTypeIndex(byte(s, 0x05));
            sl.DataBus = std::uint8_t(byte(s, 0x06) - 1);
            sl.SlotID = word(s, 0x09);
            if (!sl.Designation.empty()) slots_.push_back(std::move(sl));
            break;
        }
        default:
            break;
        }
    }
    if (memory_.empty()) MemoryDevicesAsModules();
}

// Firmware since about 2002 describes its memory only with memory-device
// structures (type 17). Without any memory-module structure, each device
// becomes a module: its locator is the socket, its type bits come from
// the form factor and the type detail.
void TSMBIOS::MemoryDevicesAsModules() {
    for (const auto& s : structures_) {
        if (s.Type != 17 || !Decodable(s) || s.Length < 0x15) continue;
        const std::uint32_t a = s.Address;
        TMemoryBank m;
        m.Socket = StringOf(a, 0x10);
        // Size: 0 no module, FFFFh unknown, bit 15 counts KB, 7FFFh says
        // the size (MB) is in the extended dword at 1Ch.
        std::uint16_t size = WordAt(a + 0x0C);
        if (size == 0x7FFF && s.Length >= 0x20) m.Size = DWordAt(a + 0x1C) & 0x7FFFFFFF;
        else if (size == 0xFFFF) m.Size = 0;
        else if (size & 0x8000) m.Size = (size & 0x7FFFu) / 1024;
        else m.Size = size;
        // An empty socket's speed is what the board supports, not that of
        // a module: it has none.
        if (s.Length >= 0x17 && m.Size) m.SpeedMHz = WordAt(a + 0x15);

        TMemoryTypes types = 0;
        switch (ByteAt(a + 0x0E)) {   // form factor
        case 0x03: types |= 1u << 7; break;                         // SIMM
        case 0x09: case 0x0D: case 0x0F: types |= 1u << 8; break;   // DIMM, SODIMM, FB-DIMM
        default: break;
        }
        std::uint16_t detail = WordAt(a + 0x13);
        if (detail & (1u << 1)) types |= 1u << 0;    // other
        if (detail & (1u << 2)) types |= 1u << 1;    // unknown
        if (detail & (1u << 3)) types |= 1u << 3;    // fast-paged
        if (detail & (1u << 9)) types |= 1u << 4;    // EDO
        if (detail & (1u << 7)) types |= 1u << 10;   // synchronous
        m.Types = types;
        memory_.push_back(std::move(m));
    }
}

// ---------------------------------------------------------------- records and report

TMemoryBank TSMBIOS::MemoryBank(int n) const {
    return n >= 0 && std::size_t(n) < memory_.size() ? memory_[std::size_t(n)] : TMemoryBank{};
}
TPort TSMBIOS::Port(int n) const {
    return n >= 0 && std::size_t(n) < ports_.size() ? ports_[std::size_t(n)] : TPort{};
}
TSlot TSMBIOS::SystemSlot(int n) const {
    return n >= 0 && std::size_t(n) < slots_.size() ? slots_[std::size_t(n)] : TSlot{};
}
TCache TSMBIOS::Cache(int n) const {
    return n >= 0 && std::size_t(n) < caches_.size() ? caches_[std::size_t(n)] : TCache{};
}

void TSMBIOS::Report(TStringList& list) const {
    list.Add("[SMBIOS]");
    list.Add("Version=" + version_);
    list.Add(Format("Start Address=%x", {entryPoint_}));
    list.Add(Format("Structure Table Start Address=%x", {tableAddress_}));
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
        // This second "MemorySize" line carries the module's speed: an
        // access time for a memory module, the clock for a memory device.
        if (m.SpeedMHz) list.Add(Format("MemorySize_%d=%d MHz", {i, int(m.SpeedMHz)}));
        else list.Add(Format("MemorySize_%d=%d ns", {i, int(m.Speed)}));
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
