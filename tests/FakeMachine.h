// A machine built in code, for tests of the layer's own rules. Its files
// live in a temporary folder: "C:\X" is <folder>/C/X, letter case as given.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

namespace torvex::testing {

class FakeMachine : public platform::Machine {
public:
    explicit FakeMachine(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_ / "C" / "WINDOWS");
    }

    platform::VersionFacts versionFacts;
    platform::MemoryFacts memoryFacts;
    platform::SystemInfoFacts systemFacts;
    std::vector<std::string> env;
    std::map<std::string, std::set<std::string>> exports;   // library -> functions
    std::map<std::string, std::map<std::uint16_t, std::string>> ordinals;
    std::optional<std::uint16_t> resources[3];
    unsigned codePage = 1252;
    std::vector<std::string> opened;
    bool openSucceeds = true;

    std::string description() const override { return "fake"; }
    unsigned ansiCodePage() override { return codePage; }
    platform::VersionFacts version() override { return versionFacts; }
    platform::SystemInfoFacts systemInfo() override { return systemFacts; }
    platform::MemoryFacts memoryStatus() override { return memoryFacts; }
    std::string computerName() override { return "FAKE-PC"; }
    std::string userName() override { return "tester"; }
    std::string windowsDirectory() override { return "C:\\WINDOWS"; }
    std::string systemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
    std::string tempDirectory() override { return "C:\\WINDOWS\\TEMP\\"; }
    std::string moduleFileName() override { return "C:\\Programmer\\Torvex\\Torvex.exe"; }
    std::vector<std::string> environment() override { return env; }
    platform::LocalTime localTime() override { return {}; }
    platform::LocalTime systemTime() override { return {}; }
    std::uint64_t millisecondsSinceStart() override { return 0; }
    std::uint64_t performanceFrequency() override { return 0; }
    std::uint64_t performanceCounter() override { return 0; }
    std::uint64_t timeStampCounter() override { return 0; }
    void sleep(std::uint32_t) override {}
    bool hasLibrary(const std::string& library) override { return exports.count(library) > 0; }
    bool hasExport(const std::string& library, const std::string& function) override {
        auto it = exports.find(library);
        return it != exports.end() && it->second.count(function) > 0;
    }
    std::string exportByOrdinal(const std::string& library, std::uint16_t ordinal) override {
        auto it = ordinals.find(library);
        if (it == ordinals.end()) return {};
        auto o = it->second.find(ordinal);
        return o == it->second.end() ? std::string() : o->second;
    }
    platform::Registry& registry() override { return registry_; }
    std::optional<std::filesystem::path> readPath(const std::string& windowsPath) override {
        auto p = hostPath(windowsPath);
        if (!std::filesystem::exists(p)) return std::nullopt;
        return p;
    }
    std::optional<std::filesystem::path> writePath(const std::string& windowsPath) override {
        return hostPath(windowsPath);
    }
    bool cpuidAvailable() override { return false; }
    platform::CpuidAnswer cpuid(std::uint32_t, std::uint32_t) override { return {}; }
    std::optional<std::uint16_t> freeSystemResources(std::uint16_t selector) override {
        return selector < 3 ? resources[selector] : std::nullopt;
    }
    bool shellOpen(const std::string& target) override {
        opened.push_back(target);
        return openSucceeds;
    }

    std::filesystem::path hostPath(const std::string& windowsPath) const {
        std::string p = windowsPath;
        std::filesystem::path out = folder_ / std::string(1, p.empty() ? 'C' : char(std::toupper(p[0])));
        std::size_t start = p.find('\\');
        while (start != std::string::npos) {
            std::size_t end = p.find('\\', start + 1);
            std::string part = p.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
            if (!part.empty()) out /= part;
            start = end;
        }
        return out;
    }

private:
    std::filesystem::path folder_;
    platform::Registry registry_;
};

}  // namespace torvex::testing
