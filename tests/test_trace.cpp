// The trace of why a fact is empty: host readers name the file and the
// reason, a simulated machine names the file a registry value came from, and
// with the trace off nothing is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/HostDrives.h"
#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"

namespace fs = std::filesystem;
using namespace torvex::platform;

namespace {

class TraceCapture : public ::testing::Test {
protected:
    void SetUp() override {
        SetTraceSink([this](const std::string& line) { lines_.push_back(line); });
        SetTraceEnabled(true);
    }
    void TearDown() override {
        SetTraceEnabled(false);
        SetTraceSink(nullptr);
        SetActiveMachine(nullptr);
        if (!root_.empty()) fs::remove_all(root_);
    }
    bool Saw(const std::string& line) const {
        for (const auto& l : lines_)
            if (l == line) return true;
        return false;
    }
    std::string All() const {
        std::string all;
        for (const auto& l : lines_) all += l + "\n";
        return all;
    }
    fs::path ReplayedHost() {
        std::string pattern = (fs::temp_directory_path() / "torvex-trace-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::copy(fs::path(TORVEX_SOURCE_DIR) / "tests/data/hostroot", root_,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        return root_;
    }
    std::vector<std::string> lines_;
    fs::path root_;
};

}  // namespace

TEST_F(TraceCapture, HostReaderNamesTheMissingFile) {
    fs::path root = ReplayedHost();
    fs::remove(root / "proc/meminfo");
    MemoryFacts m = CreateHostMachine(root)->memoryStatus();
    EXPECT_EQ(m.totalPhys, 0u);
    EXPECT_TRUE(Saw("torvex: host: " + (root / "proc/meminfo").string() + ": missing")) << All();
}

TEST_F(TraceCapture, HostReaderNamesTheLineItCouldNotParse) {
    host::DriveMap::FromMountInfo(
        "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
        "this line is no mount\n"
        "23 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n");
    EXPECT_TRUE(Saw("torvex: drives: mountinfo: unparsable at line 2")) << All();
    EXPECT_EQ(lines_.size(), 1u) << All();
}

TEST_F(TraceCapture, SimulatedMachineNamesTheFileAValueCameFrom) {
    fs::path folder = fs::path(TORVEX_SOURCE_DIR) / "machines/win98-pc";
    SetActiveMachine(LoadSimulatedMachine(folder));
    win32::HKEY key = nullptr;
    ASSERT_EQ(win32::RegOpenKeyExA(win32::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                                   win32::KEY_READ, &key),
              win32::ERROR_SUCCESS);
    char buffer[64];
    win32::DWORD size = sizeof buffer;
    EXPECT_EQ(win32::RegQueryValueExA(key, "ProductName", nullptr, nullptr, reinterpret_cast<win32::LPBYTE>(buffer), &size),
              win32::ERROR_SUCCESS);
    size = sizeof buffer;
    EXPECT_EQ(win32::RegQueryValueExA(key, "NoSuchValue", nullptr, nullptr, reinterpret_cast<win32::LPBYTE>(buffer), &size),
              win32::ERROR_FILE_NOT_FOUND);
    win32::RegCloseKey(key);
    EXPECT_TRUE(Saw("torvex: registry: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProductName: from " +
                    (folder / "registry/10-machine.reg").string()))
        << All();
    EXPECT_TRUE(Saw("torvex: registry: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\NoSuchValue: no such value"))
        << All();
    // The facts file's answers name their file and key too.
    EXPECT_TRUE(Saw("torvex: simulated: \"computerName\": from " + (folder / "machine.json").string())) << All();
}

TEST_F(TraceCapture, OffWritesNothing) {
    SetTraceEnabled(false);
    fs::path root = ReplayedHost();
    fs::remove(root / "proc/meminfo");
    CreateHostMachine(root)->memoryStatus();
    host::DriveMap::FromMountInfo("garbage\n");
    EXPECT_TRUE(lines_.empty()) << All();
}
