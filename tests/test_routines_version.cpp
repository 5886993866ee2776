// File versions read from the version resources of real executables, and the
// reader's conduct on damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "RoutinesMachine.h"

using namespace torvex::platform::routines;
using torvex::testing::RoutinesTest;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class FileVersions : public RoutinesTest {
protected:
    void SetUp() override {
        RoutinesTest::SetUp();
        for (const char* name : {"version32.dll", "version64.dll", "german.dll", "noversion.dll"})
            machine->copyFile(dataFile(name), std::string("C:\\WINDOWS\\SYSTEM\\") + name);
    }
};

TEST_F(FileVersions, FixedBlockAndStringTableOfA32BitLibrary) {
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo("C:\\WINDOWS\\SYSTEM\\version32.dll", info));
    EXPECT_EQ(info.FileName, "C:\\WINDOWS\\SYSTEM\\version32.dll");
    EXPECT_EQ(info.FileVersion, "5.1.2600.1106");
    EXPECT_EQ(info.Major, 5u);
    EXPECT_EQ(info.Minor, 1u);
    EXPECT_EQ(info.Release, 2600u);
    EXPECT_EQ(info.Build, 1106u);
    EXPECT_EQ(info.Description, "Sample library");
    EXPECT_EQ(info.Copyright, "\u00a9 Norvo Data AS 2002");
    EXPECT_EQ(info.Comments, "Made for the tests");
    EXPECT_EQ(info.ProductName, "Norvo Sample");
    EXPECT_EQ(info.CompanyName, "Norvo Data AS");
}

TEST_F(FileVersions, SixtyFourBitLibraryAndAnotherLanguagesTable) {
    EXPECT_EQ(GetFileVersion("C:\\WINDOWS\\SYSTEM\\version64.dll"), "10.0.19041.1");
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo("C:\\WINDOWS\\SYSTEM\\german.dll", info));
    EXPECT_EQ(info.FileVersion, "3.51.1057.6");
    EXPECT_EQ(info.Description, "Bibliothek f\u00fcr Gr\u00f6\u00dfen");
    EXPECT_EQ(info.Comments, "");
}

TEST_F(FileVersions, BareNameIsFoundInTheSystemFolder) {
    EXPECT_EQ(GetFileVersion("version32.dll"), "5.1.2600.1106");
    EXPECT_EQ(GetFileVersion("missing.dll"), "");
}

TEST_F(FileVersions, FileWithoutVersionResourceFails) {
    TVersionInfo info;
    EXPECT_FALSE(GetFileVerInfo("C:\\WINDOWS\\SYSTEM\\noversion.dll", info));
    EXPECT_EQ(info.FileVersion, "");
    EXPECT_EQ(GetFileVersion("C:\\WINDOWS\\SYSTEM\\noversion.dll"), "");
    win32::DWORD handle = 7;
    EXPECT_EQ(win32::GetFileVersionInfoSizeA("C:\\WINDOWS\\SYSTEM\\noversion.dll", &handle), 0u);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_RESOURCE_TYPE_NOT_FOUND));
    machine->writeFile("C:\\WINDOWS\\README.TXT", "Les meg");
    EXPECT_EQ(GetFileVersion("C:\\WINDOWS\\README.TXT"), "");
    EXPECT_EQ(GetFileVersion(""), "");
    EXPECT_FALSE(GetFileVerInfo("", info));
}

TEST_F(FileVersions, QueriesIgnoreLetterCaseAndSmallBuffersAreRefused) {
    const char* file = "C:\\WINDOWS\\SYSTEM\\version32.dll";
    win32::DWORD handle = 0;
    win32::DWORD size = win32::GetFileVersionInfoSizeA(file, &handle);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> block(size);
    EXPECT_FALSE(win32::GetFileVersionInfoA(file, 0, size - 1, block.data()));
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_INSUFFICIENT_BUFFER));
    ASSERT_TRUE(win32::GetFileVersionInfoA(file, 0, size, block.data()));
    void* value = nullptr;
    win32::UINT length = 0;
    ASSERT_TRUE(win32::VerQueryValueA(block.data(), "\\stringfileinfo\\040904e4\\PRODUCTNAME", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Norvo Sample");
    EXPECT_EQ(length, 13u);
    EXPECT_FALSE(win32::VerQueryValueA(block.data(), "\\StringFileInfo\\041404E4\\ProductName", &value, &length));
    EXPECT_FALSE(win32::VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\Nothing", &value, &length));
    ASSERT_TRUE(win32::VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(win32::VS_FIXEDFILEINFO));
    win32::VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, win32::VS_FFI_SIGNATURE);
    // Every text handed out stays readable beside the others.
    void* company = nullptr;
    ASSERT_TRUE(win32::VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\CompanyName", &company, &length));
    void* copyright = nullptr;
    ASSERT_TRUE(win32::VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\LegalCopyright", &copyright, &length));
    EXPECT_STREQ(static_cast<const char*>(company), "Norvo Data AS");
    EXPECT_STREQ(static_cast<const char*>(copyright), "\u00a9 Norvo Data AS 2002");
}

TEST_F(FileVersions, ProgramsOwnExecutableAnswersWithTheProgramsVersion) {
    std::string own = GetFileVersion(machine->module);
    EXPECT_FALSE(own.empty());
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo(machine->module, info));
    EXPECT_EQ(info.ProductName, "Torvex");
    EXPECT_EQ(std::to_string(info.Major) + "." + std::to_string(info.Minor), own.substr(0, own.find('.', own.find('.') + 1)));
}

class DamagedExecutables : public ::testing::Test {
protected:
    std::vector<std::uint8_t> good = ReadBytes(std::filesystem::path(TORVEX_SOURCE_DIR) / "tests/data/routines/version32.dll");
};

TEST_F(DamagedExecutables, EveryTruncationFailsCleanlyOrStillHoldsTheWholeBlock) {
    ASSERT_EQ(good.size(), 1536u);
    std::string error;
    auto whole = torvex::platform::ReadPeVersionResource(good, error);
    ASSERT_FALSE(whole.empty()) << error;
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        auto block = torvex::platform::ReadPeVersionResource(cut, error);
        if (block.empty()) {
            EXPECT_FALSE(error.empty()) << n;
        } else {
            EXPECT_EQ(block, whole) << n;
        }
    }
    // The data as the section lies on disk: cut inside the block, it fails.
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + 0x200 + 200);
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(cut, error).empty());
    EXPECT_NE(error.find("lies outside the file"), std::string::npos) << error;
}

TEST_F(DamagedExecutables, BrokenHeadersAndDirectoriesNameThePlace) {
    std::string error;
    auto bad = good;
    Put32(bad, 0x3C, 0x7FFFFFF0);
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(bad, error).empty());
    EXPECT_NE(error.find("no PE header at offset 0x7FFFFFF0"), std::string::npos) << error;

    // The type directory claims 65535 entries.
    bad = good;
    bad[0x200 + 14] = 0xFF;
    bad[0x200 + 15] = 0xFF;
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(bad, error).empty());
    EXPECT_NE(error.find("lists more entries than fit"), std::string::npos) << error;

    // The name directory points back at the type directory.
    bad = good;
    Put32(bad, 0x200 + 24 + 20, 0x80000000u);
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(bad, error).empty());
    EXPECT_FALSE(error.empty());

    // The data entry gives a size far beyond the file.
    bad = good;
    Put32(bad, 0x200 + 72 + 4, 0x00FFFFFF);
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(bad, error).empty());
    EXPECT_NE(error.find("lies outside the file"), std::string::npos) << error;

    // The block's own length is longer than the resource.
    bad = good;
    bad[0x200 + 88] = 0xFF;
    bad[0x200 + 89] = 0xFF;
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(bad, error).empty());
    EXPECT_NE(error.find("has a length of 65535"), std::string::npos) << error;

    // A 16-bit executable.
    bad = good;
    bad[0x40] = 'N';
    bad[0x41] = 'E';
    EXPECT_TRUE(torvex::platform::ReadPeVersionResource(bad, error).empty());
    EXPECT_NE(error.find("16-bit"), std::string::npos) << error;
}

TEST_F(DamagedExecutables, NodesRunningPastTheirParentAreNotFollowed) {
    std::string error;
    auto block = torvex::platform::ReadPeVersionResource(good, error);
    ASSERT_FALSE(block.empty());
    // Stretch the string table node (key "040904E4") beyond its parent.
    std::vector<std::uint8_t> area(block.size() * 3 + 16, 0);
    std::memcpy(area.data(), block.data(), block.size());
    const char16_t key[] = u"040904E4";
    std::size_t at = 0;
    for (std::size_t p = 0; p + sizeof key <= block.size(); p += 2)
        if (std::memcmp(&block[p], key, sizeof key - 2) == 0) {
            at = p - 6;
            break;
        }
    ASSERT_GT(at, 0u);
    area[at] = 0xF0;
    area[at + 1] = 0x0F;
    void* value = nullptr;
    win32::UINT length = 0;
    EXPECT_FALSE(win32::VerQueryValueA(area.data(), "\\StringFileInfo\\040904E4\\ProductName", &value, &length));
    // The fixed block is still there.
    EXPECT_TRUE(win32::VerQueryValueA(area.data(), "\\", &value, &length));
}

}  // namespace
