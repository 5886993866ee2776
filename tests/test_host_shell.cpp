// Opening an address with the desktop's default handler, with a stand-in
// xdg-open on PATH.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/host/HostShell.h"
#include "platform/machine/Machine.h"

namespace {

namespace fs = std::filesystem;
using namespace torvex::platform;

class HostShell : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "torvex-shell-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        if (const char* p = std::getenv("PATH")) oldPath_ = p;
        setenv("PATH", dir_.c_str(), 1);
    }
    void TearDown() override {
        if (oldPath_)
            setenv("PATH", oldPath_->c_str(), 1);
        else
            unsetenv("PATH");
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // A stand-in handler that records its arguments, one per line.
    void InstallHandler(int exitCode, const std::string& extra = "") {
        fs::path script = dir_ / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\n"
                              << "printf '%s\\n' \"$#\" \"$@\" > '" << (dir_ / "args").string()
                              << "'\n"
                              << extra << "exit " << exitCode << "\n";
        fs::permissions(script, fs::perms::owner_all);
    }

    std::string RecordedArgs() {
        std::ifstream in(dir_ / "args");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
    std::optional<std::string> oldPath_;
};

TEST_F(HostShell, AddressReachesTheHandlerAsOneUntouchedArgument) {
    InstallHandler(0);
    const std::string target = "https://example.org/a b?x=1&y=$(touch " + (dir_ / "pwned").string() +
                               ");touch " + (dir_ / "pwned2").string() + " `id` 'q'";
    auto m = CreateHostMachine("/");
    EXPECT_TRUE(m->shellOpen(target));
    EXPECT_EQ(RecordedArgs(), "1\n" + target + "\n");
    EXPECT_FALSE(fs::exists(dir_ / "pwned"));
    EXPECT_FALSE(fs::exists(dir_ / "pwned2"));
}

TEST_F(HostShell, ABareWebHostNameGetsTheHttpsScheme) {
    InstallHandler(0);
    auto m = CreateHostMachine("/");
    // The edition's address as the logo click passes it.
    EXPECT_TRUE(m->shellOpen("torvex.dk"));
    EXPECT_EQ(RecordedArgs(), "1\nhttps://torvex.dk\n");
    EXPECT_TRUE(m->shellOpen("www.example.org:8080/side?a=1"));
    EXPECT_EQ(RecordedArgs(), "1\nhttps://www.example.org:8080/side?a=1\n");
    // Addresses with a scheme, paths and plain words stay as they are.
    for (const char* same : {"http://torvex.dk", "mailto:info@torvex.dk", "/tmp/report.txt", "./a.b",
                             "C:\\Norvo.INI", "readme", "report.txt1", "10.0.0.1", "a.b-"}) {
        EXPECT_EQ(host::ShellTargetOf(same), same) << same;
    }
    // A file of that name in the current folder is opened as the file.
    fs::path cwd = fs::current_path();
    fs::current_path(dir_);
    std::ofstream("notes.txt") << "x";
    EXPECT_EQ(host::ShellTargetOf("notes.txt"), "notes.txt");
    EXPECT_EQ(host::ShellTargetOf("missing.txt"), "https://missing.txt");
    fs::current_path(cwd);
}

TEST_F(HostShell, FailsWhenTheHandlerFailsOrIsMissing) {
    InstallHandler(4);   // xdg-open: "the action failed"
    EXPECT_FALSE(host::OpenWithDefaultHandler("https://example.org/"));
    EXPECT_EQ(RecordedArgs(), "1\nhttps://example.org/\n");

    fs::remove(dir_ / "xdg-open");
    EXPECT_FALSE(host::OpenWithDefaultHandler("https://example.org/"));
    EXPECT_FALSE(host::OpenWithDefaultHandler(""));
}

TEST_F(HostShell, AHandlerThatDoesNotAnswerInTimeIsAFailure) {
    // It would exit 0, but only after the bound.
    InstallHandler(0, "/bin/sleep 1\n");
    EXPECT_FALSE(host::RunAndWait({"xdg-open", "x"}, std::chrono::milliseconds(100)));
    EXPECT_TRUE(host::RunAndWait({"xdg-open", "x"}, std::chrono::seconds(20)));
}

}  // namespace
