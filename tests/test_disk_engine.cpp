// Disks: the drive list, one drive read at a time, the report that walks
// every drive, and the shipped PCs' floppy, CD-ROM, fixed, network and RAM
// drives; the root's refresh selecting the Windows folder's drive.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "FakeMachine.h"
#include "engine/Zarvo_Disk.h"
#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Routines.h"
#include "platform/simulated/SimulatedMachine.h"
#include "platform/win32/Win32.h"

using namespace torvex::engine;
namespace fs = std::filesystem;
namespace rt = torvex::platform::routines;

namespace {

const fs::path kMachines = fs::path(TORVEX_SOURCE_DIR) / "machines";

class ShippedDisks : public ::testing::Test {
protected:
    void Use(const std::string& pc) {
        overlay = fs::temp_directory_path() / ("torvex-disks-" + std::to_string(::getpid()) + "-" + pc);
        torvex::platform::SetActiveMachine(torvex::platform::SimulatedMachine::Load(kMachines / pc, overlay));
        rt::InitializeRoutines();
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(overlay);
    }
    // The lines of one drive's two sections in a report.
    static std::vector<std::string> DriveLines(const std::vector<std::string>& report, const std::string& drive) {
        std::vector<std::string> out;
        bool in = false;
        for (const auto& l : report) {
            if (!l.empty() && l[0] == '[') in = l == "[Disk" + drive + "]" || l == "[Disk" + drive + "_Flags]";
            if (in) out.push_back(l);
        }
        return out;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    fs::path overlay;
};

// A machine whose drives are set by each test.
class DriveMachine : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;
    std::string letters;
    std::map<char, torvex::platform::DriveFacts> facts;
    std::map<char, torvex::platform::DiskSpace> space;
    std::optional<std::string> logicalDrives() override { return letters; }
    std::optional<torvex::platform::DriveFacts> drive(char letter) override {
        auto it = facts.find(letter);
        if (it == facts.end()) return std::nullopt;
        return it->second;
    }
    std::optional<torvex::platform::DiskSpace> diskFreeSpace(char letter) override {
        auto it = space.find(letter);
        if (it == space.end()) return std::nullopt;
        return it->second;
    }
};

class FakeDisks : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("torvex-fakedisks-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        auto m = std::make_unique<DriveMachine>(folder);
        machine = m.get();
        machine->exports["kernel32.dll"] = {"GetDiskFreeSpaceExA"};
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    static torvex::platform::DiskSpace Space(std::uint32_t total, std::uint32_t free) {
        torvex::platform::DiskSpace s;
        s.sectorsPerCluster = 8;
        s.bytesPerSector = 512;
        s.totalClusters = total;
        s.freeClusters = free;
        s.totalBytes = std::uint64_t(total) * 4096;
        s.freeBytesAvailable = s.totalFreeBytes = std::uint64_t(free) * 4096;
        return s;
    }
    fs::path folder;
    DriveMachine* machine = nullptr;
};

}  // namespace

TEST(DiskRoutines, SerialIsFourHexDigitsADashAndFourMore) {
    EXPECT_EQ(rt::FormatVolumeSerial(0x1A2B3C4D), "1A2B-3C4D");
    EXPECT_EQ(rt::FormatVolumeSerial(0x0000000F), "0000-000F");
    EXPECT_EQ(rt::FormatVolumeSerial(0xFFFFFFFF), "FFFF-FFFF");
}

TEST(DiskRoutines, EachVolumeBitGivesItsOwnFlagAndOnly255IsLongNames) {
    const std::pair<std::uint32_t, rt::TFileFlag> bits[] = {
        {0x2, rt::fsCaseIsPreserved},        {0x1, rt::fsCaseSensitive},         {0x4, rt::fsUnicodeStoredOnDisk},
        {0x8, rt::fsPersistentAcls},         {0x10, rt::fsFileCompression},      {0x8000, rt::fsVolumeIsCompressed},
        {0x20000, rt::fsEncryptedFileSystemSupport}, {0x10000, rt::fsObjectIDsSupport},
        {0x80, rt::fsReparsePointsSupport},  {0x40, rt::fsSparseFilesSupport},   {0x20, rt::fsDiskQuotasSupport}};
    for (const auto& [bit, flag] : bits)
        EXPECT_EQ(rt::FileFlagsOf(bit, 12), rt::TFileFlags(1u << flag)) << std::hex << bit;
    EXPECT_EQ(rt::FileFlagsOf(0, 255), rt::TFileFlags(1u << rt::fsLongFileNames));
    EXPECT_EQ(rt::FileFlagsOf(0, 254), 0);
    EXPECT_EQ(rt::FileFlagsOf(0, 256), 0);
    // Bits Windows has beyond the twelve (read-only volume, named streams)
    // set nothing.
    EXPECT_EQ(rt::FileFlagsOf(0x80000 | 0x40000, 0), 0);
}

TEST_F(FakeDisks, DriveRootsOfACAndDGiveThreeLettersAndReportEndsOnTheLast) {
    machine->letters = "DAC";
    machine->space = {{'C', Space(1000, 400)}, {'D', Space(2000, 10)}};
    TDisk disk;
    disk.GetInfo();
    EXPECT_EQ(disk.AvailableDisks(), "ACD");
    TStringList lines;
    disk.Report(lines);
    auto v = lines.ToVector();
    ASSERT_GE(v.size(), 2u);
    EXPECT_EQ(v[0], "[Disks]");
    EXPECT_EQ(v[1], "Available=ACD");
    EXPECT_EQ(v.size(), 2u + 3 * 24);
    EXPECT_EQ(disk.Drive(), "D:");
    EXPECT_EQ(disk.TotalClusters(), 2000u);
}

TEST_F(FakeDisks, NoDrivesGivesOnlyTheTwoFirstLines) {
    machine->letters = "";
    TDisk disk;
    disk.GetInfo();
    TStringList lines;
    disk.Report(lines);
    EXPECT_EQ(lines.ToVector(), (std::vector<std::string>{"[Disks]", "Available="}));
}

TEST_F(FakeDisks, FailingVolumeInformationKeepsTheSpaceFigures) {
    machine->letters = "C";
    machine->space = {{'C', Space(1000, 400)}};
    machine->facts['C'] = {torvex::platform::DriveKind::fixed, "", std::nullopt};
    TDisk disk;
    disk.SetDrive("C:\\WINDOWS");   // only the first two characters count
    EXPECT_EQ(disk.Drive(), "C:");
    EXPECT_EQ(disk.Capacity(), 4096000);
    EXPECT_EQ(disk.FreeSpace(), 1638400);
    EXPECT_EQ(disk.FreeClusters(), 400u);
    EXPECT_EQ(disk.VolumeLabel(), "");
    EXPECT_EQ(disk.SerialNumber(), "");
    EXPECT_EQ(disk.FileSystem(), "");
    EXPECT_EQ(disk.FileFlags(), 0);
    EXPECT_EQ(disk.MediaType(), dtFixed);
}

TEST_F(FakeDisks, WithoutTheExtendedCallTheBytesFollowFromTheClusters) {
    machine->exports.clear();
    machine->letters = "C";
    auto s = Space(1000, 400);
    s.totalBytes = 1;   // would show if the extended call were used
    machine->space = {{'C', s}};
    TDisk disk;
    disk.SetDrive("C:");
    EXPECT_EQ(disk.Capacity(), 4096000);
    EXPECT_EQ(disk.FreeSpace(), 1638400);
}

TEST_F(FakeDisks, MediaTestRestoresTheErrorModeAndAMissingLetterIsNoRoot) {
    machine->letters = "A";
    machine->facts['A'] = {torvex::platform::DriveKind::removable, "", torvex::platform::VolumeInfo{"OLD", 7, 255, 2, "FAT"}};
    win32::SetErrorMode(0x8000);
    TDisk disk;
    disk.SetDrive("A:");
    EXPECT_EQ(win32::SetErrorMode(0), 0x8000u);
    EXPECT_FALSE(disk.MediaPresent());
    // The last disk's volume is not shown for an empty drive.
    EXPECT_EQ(disk.VolumeLabel(), "");
    EXPECT_EQ(disk.MediaType(), dtRemovable);
    disk.SetDrive("Q:");
    EXPECT_EQ(disk.MediaType(), dtNotExists);
    EXPECT_EQ(MediaTypeText(disk.MediaType()), "<not exists>");
}

TEST_F(ShippedDisks, EmptyFloppyCdromAndRamDiskOfTheNorwegianPc) {
    Use("win98se-pc");
    TDisk disk;
    disk.GetInfo();
    EXPECT_EQ(disk.AvailableDisks(), "ACDE");
    TStringList lines;
    disk.Report(lines);
    auto v = lines.ToVector();
    EXPECT_EQ(disk.Drive(), "E:");
    auto a = DriveLines(v, "A:");
    EXPECT_TRUE(Has(a, "Type=Removable"));
    EXPECT_TRUE(Has(a, "VolumeLabel="));
    EXPECT_TRUE(Has(a, "SerialNumber="));
    EXPECT_TRUE(Has(a, "Capacity=000"));   // the pattern's forced digits
    auto c = DriveLines(v, "C:");
    EXPECT_TRUE(Has(c, "SerialNumber=1A2B-3C4D"));
    EXPECT_TRUE(Has(c, "Long Filenames=1"));
    EXPECT_TRUE(Has(c, "Capacity=4" + std::string(",292,870,144")));
    auto d = DriveLines(v, "D:");
    EXPECT_TRUE(Has(d, "Type=CDROM"));
    EXPECT_TRUE(Has(d, "Long Filenames=0"));   // Joliet names are at most 110 long
    EXPECT_TRUE(Has(d, "BytesPerSector=2048"));
    auto e = DriveLines(v, "E:");
    EXPECT_TRUE(Has(e, "Type=RAM"));
    EXPECT_TRUE(Has(e, "VolumeLabel=MS-RAMDRIVE"));
}

TEST_F(ShippedDisks, NetworkDriveShowsItsShareAndTheFixedDiskItsCurrentFolder) {
    Use("winxp-pc");
    TDisk disk;
    disk.GetInfo();
    EXPECT_EQ(disk.AvailableDisks(), "ACDZ");
    EXPECT_EQ(ExpandUNCDrive("Z:"), "\\\\NAS-STUE\\Fotos\\");
    EXPECT_EQ(ExpandUNCDrive("C:"), "C:\\Program Files\\Torvex");
    EXPECT_EQ(ExpandUNCDrive("D:"), "D:\\");
    disk.SetDrive("Z:");
    EXPECT_EQ(disk.MediaType(), dtRemote);
    EXPECT_TRUE(disk.MediaPresent());
    EXPECT_EQ(disk.FileSystem(), "NTFS");
}

TEST_F(ShippedDisks, TwoFixedDisksOfTheServerAndTheRefreshSelectsTheWindowsDrive) {
    Use("win2000-dc");
    TCorvaneSystemInfo info;
    info.SetExceptionMode(emRaise);
    info.Refresh();
    EXPECT_EQ(info.Disk().Drive(), "C:");
    EXPECT_EQ(info.Disk().VolumeLabel(), "SYSTEM");
    info.Disk().SetDrive("D:");
    EXPECT_EQ(info.Disk().MediaType(), dtFixed);
    EXPECT_EQ(info.Disk().VolumeLabel(), "DATA");
    EXPECT_EQ(FileFlagsText(info.Disk().FileFlags()),
              "[fsCaseIsPreserved,fsCaseSensitive,fsUnicodeStoredOnDisk,fsPersistentAcls,fsFileCompression,"
              "fsLongFileNames,fsEncryptedFileSystemSupport,fsObjectIDsSupport,fsReparsePointsSupport,"
              "fsSparseFilesSupport,fsDiskQuotasSupport]");
}

TEST(SimulatedDrives, ABrokenDriveRecordNamesTheFileAndTheDrive) {
    fs::path dir = fs::temp_directory_path() / ("torvex-baddrive-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "C");
    std::ofstream(dir / "machine.json")
        << R"({"version": {"major": 4, "minor": 10, "build": 1998, "platformId": 1},
              "drives": {"C": {"type": "fixed", "volume": {"serial": "1A2B3C4D"}}}})";
    auto m = torvex::platform::SimulatedMachine::Load(dir, dir / "overlay");
    try {
        m->drive('C');
        FAIL() << "a serial without its dash was accepted";
    } catch (const torvex::platform::MachineError& e) {
        EXPECT_NE(e.file().find("machine.json: drives.C.volume"), std::string::npos) << e.file();
        EXPECT_NE(std::string(e.what()).find("1A2B-3C4D"), std::string::npos) << e.what();
    }
    fs::remove_all(dir);
}
