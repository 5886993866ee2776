// Profile files go through the one safe writer: a settings file kept as a
// link in a folder of links stays a link, and its mode is kept.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "FakeMachine.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(ProfileWrite, ALinkedSettingsFileStaysALinkAndKeepsItsMode) {
    fs::path folder = fs::temp_directory_path() / ("torvex-profile-write-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    auto m = std::make_unique<torvex::testing::FakeMachine>(folder);
    torvex::platform::SetActiveMachine(std::move(m));
    // The user keeps the real file elsewhere and links it into the folder.
    fs::create_directories(folder / "dotfiles");
    fs::path real = folder / "dotfiles" / "Norvo.INI";
    std::ofstream(real, std::ios::binary) << "[Torvex]\r\nEdition=1\r\n";
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    fs::create_symlink(real, folder / "C" / "WINDOWS" / "Norvo.INI");

    EXPECT_TRUE(win32::WritePrivateProfileStringA("Torvex", "Edition", "2", "Norvo.INI"));
    EXPECT_TRUE(fs::is_symlink(folder / "C" / "WINDOWS" / "Norvo.INI"));
    EXPECT_EQ(ReadAll(real), "[Torvex]\r\nEdition=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    char buffer[16] = {};
    win32::GetPrivateProfileStringA("Torvex", "Edition", "", buffer, sizeof buffer, "Norvo.INI");
    EXPECT_STREQ(buffer, "2");
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(folder);
}

// A section or key named with a blank or control character at an end is
// found again under the name it was written with (found by fuzzing: the
// file's names were trimmed, the name asked for was not, so a written value
// could never be read back and every write added another copy).
TEST(ProfileWrite, NamesWithBlanksOrControlCharactersAtTheirEndsReadBack) {
    fs::path folder = fs::temp_directory_path() / ("torvex-profile-names-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    torvex::platform::SetActiveMachine(std::make_unique<torvex::testing::FakeMachine>(folder));
    std::ofstream(folder / "C" / "WINDOWS" / "ODD.INI", std::ios::binary) << "[Ports]\r\nCOM1:=9600\r\n";
    char buffer[32] = {};
    for (const char* section : {"Por\x02", " Ports ", "Ports\t"}) {
        SCOPED_TRACE(section);
        ASSERT_TRUE(win32::WritePrivateProfileStringA(section, " Key\x01", "value", "ODD.INI"));
        win32::GetPrivateProfileStringA(section, "Key", "", buffer, sizeof buffer, "ODD.INI");
        EXPECT_STREQ(buffer, "value");
        // Written once more, the value replaces itself rather than adding a
        // second section or key.
        ASSERT_TRUE(win32::WritePrivateProfileStringA(section, "Key", "again", "ODD.INI"));
        win32::GetPrivateProfileStringA(section, " Key\x01", "", buffer, sizeof buffer, "ODD.INI");
        EXPECT_STREQ(buffer, "again");
    }
    // " Ports " and "Ports\t" are the file's own section; "Por\x02" is a new one.
    EXPECT_EQ(ReadAll(folder / "C" / "WINDOWS" / "ODD.INI"),
              "[Ports]\r\nCOM1:=9600\r\nKey=again\r\n[Por\x02]\r\nKey=again\r\n");
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(folder);
}
