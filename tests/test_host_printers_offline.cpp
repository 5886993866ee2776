// The print server is looked for without the CUPS library when it plainly
// cannot answer: a socket that is not there, named by CUPS_SERVER or by the
// ServerName of the system's or the user's client.conf.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/HostPrinters.h"
#include "platform/machine/FileText.h"

namespace fs = std::filesystem;
using namespace torvex;

namespace {

class OfflineSpooler : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("torvex-cups-" + std::to_string(getpid()));
        fs::create_directories(dir / "home/.cups");
        fs::create_directories(dir / "etc");
        for (const char* name : {"CUPS_SERVER", "CUPS_SERVERROOT", "HOME", "IPP_PORT"}) {
            const char* v = std::getenv(name);
            saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        setenv("CUPS_SERVERROOT", (dir / "etc").c_str(), 1);
        setenv("HOME", (dir / "home").c_str(), 1);
        unsetenv("CUPS_SERVER");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved)
            if (value) setenv(name.c_str(), value->c_str(), 1); else unsetenv(name.c_str());
        fs::remove_all(dir);
    }
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

    // The spooler's answer and what it traced.
    std::vector<std::string> Ask(platform::SpoolerFacts& facts) {
        std::vector<std::string> trace;
        platform::SetTraceSink([&](const std::string& line) { trace.push_back(line); });
        platform::SetTraceEnabled(true);
        facts = platform::host::HostSpooler();
        platform::SetTraceEnabled(false);
        platform::SetTraceSink(nullptr);
        return trace;
    }
    static bool Traced(const std::vector<std::string>& trace, const std::string& text) {
        for (const auto& l : trace)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }

    fs::path dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

}  // namespace

TEST_F(OfflineSpooler, MissingSocketsAreSeenWithoutTheLibrary) {
    const bool loadedBefore = platform::host::CupsLibraryLoaded();
    platform::SpoolerFacts facts;

    setenv("CUPS_SERVER", (dir / "env.sock").c_str(), 1);
    EXPECT_TRUE(Traced(Ask(facts), "no print server: " + (dir / "env.sock").string() + " missing"));
    EXPECT_TRUE(facts.printers.empty());
    unsetenv("CUPS_SERVER");

    // The user's client.conf comes after the system's; the key is read in
    // any letter case.
    Write(dir / "etc/client.conf", "# system\nServerName " + (dir / "system.sock").string() + "\n");
    EXPECT_TRUE(Traced(Ask(facts), (dir / "system.sock").string() + " missing"));
    Write(dir / "home/.cups/client.conf", "  SERVERNAME\t" + (dir / "user.sock").string() + "  \n");
    std::vector<std::string> trace = Ask(facts);
    EXPECT_TRUE(Traced(trace, (dir / "user.sock").string() + " missing"));
    EXPECT_FALSE(Traced(trace, "system.sock"));
    EXPECT_TRUE(facts.printers.empty());

    // None of this needed the library.
    if (!loadedBefore) EXPECT_FALSE(platform::host::CupsLibraryLoaded());
}
