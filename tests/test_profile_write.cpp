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
