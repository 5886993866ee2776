// A machine built in code for the general routines: the fake machine with
// shell folders, drives and dial-up connections of its own, installed as the
// active machine for one test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include <unistd.h>

#include "FakeMachine.h"
#include "platform/Corvane_Routines.h"

namespace torvex::testing {

class RoutinesMachine : public FakeMachine {
public:
    using FakeMachine::FakeMachine;

    std::map<int, std::string> folders;   // answers of the machine itself
    std::map<char, platform::DiskSpace> disks;
    std::optional<std::uint32_t> dialUp;
    std::string computer = "FAKE-PC";
    std::string module = "C:\\Programmer\\Torvex\\Torvex.exe";

    std::optional<std::string> specialFolder(int csidl) override {
        auto it = folders.find(csidl);
        if (it == folders.end()) return std::nullopt;
        return it->second;
    }
    std::optional<platform::DiskSpace> diskFreeSpace(char letter) override {
        auto it = disks.find(letter);
        if (it == disks.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::uint32_t> dialUpConnections() override { return dialUp; }
    std::string computerName() override { return computer; }
    std::string moduleFileName() override { return module; }

    void writeFile(const std::string& windowsPath, const std::string& bytes) {
        auto p = hostPath(windowsPath);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    void copyFile(const std::filesystem::path& from, const std::string& windowsPath) {
        auto p = hostPath(windowsPath);
        std::filesystem::create_directories(p.parent_path());
        std::filesystem::copy_file(from, p, std::filesystem::copy_options::overwrite_existing);
    }
    platform::RegKey& key(platform::RegRoot root, const std::string& path) {
        return registry().resolvedRoot(root).ensure(path);
    }
};

// Installs a fresh RoutinesMachine (Windows XP SP2 unless a test changes
// it) in its own temporary folder.
class RoutinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("torvex-routines-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        auto m = std::make_unique<RoutinesMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, 2, "Service Pack 2", true, 2, 0, 0x100, 1};
        platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    static std::filesystem::path dataFile(const std::string& name) {
        return std::filesystem::path(TORVEX_SOURCE_DIR) / "tests" / "data" / "routines" / name;
    }

    std::filesystem::path folder;
    RoutinesMachine* machine = nullptr;
};

}  // namespace torvex::testing
