// The console program end to end: the built torvex-report run as a user runs
// it, its exit codes, its standard output and the bytes of its export file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/machine/TextUtil.h"

namespace fs = std::filesystem;

namespace {

const std::string kBanner = ";Corvane System Information Component 7.61";

struct ToolRun {
    int code = -1;
    std::string out, err;
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ReportToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("torvex-report-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program with the arguments; env maps variables to set ("" and
    // nullopt: unset).
    ToolRun Tool(const std::vector<std::string>& args,
             const std::map<std::string, std::optional<std::string>>& env = {{"TORVEX_MACHINE", std::nullopt}}) {
        fs::path out = dir / "stdout", err = dir / "stderr";
        pid_t pid = ::fork();
        if (pid == 0) {
            int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(o, 1);
            ::dup2(e, 2);
            for (const auto& [name, value] : env) {
                if (value)
                    ::setenv(name.c_str(), value->c_str(), 1);
                else
                    ::unsetenv(name.c_str());
            }
            std::vector<char*> argv{const_cast<char*>(TORVEX_REPORT_EXE)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(TORVEX_REPORT_EXE, argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ToolRun r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadAll(out);
        r.err = ReadAll(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // A shipped PC that the program can use: one that does not load is a
    // failure, never a reason to skip.
    std::string UsableMachine(const char* name) {
        std::string folder = std::string(TORVEX_SOURCE_DIR) + "/machines/" + name;
        ToolRun probe = Tool({"--machine", folder});
        if (probe.code != 0) {
            ADD_FAILURE() << "shipped PC " << name << " does not load: " << probe.err;
            return {};
        }
        return folder;
    }

    fs::path dir;
};

}  // namespace

TEST_F(ReportToolTest, HelpAndVersion) {
    ToolRun help = Tool({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("Usage: torvex-report", 0), 0u);
    EXPECT_NE(help.out.find("--topic NAME"), std::string::npos);
    ToolRun version = Tool({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_NE(version.out.find("Corvane System Information Component 7.61"), std::string::npos);
    EXPECT_TRUE(version.err.empty());
}

TEST_F(ReportToolTest, BadUsageExitsTwoWithTheReasonAndNoReport) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--topic", "About"},
                                                                   {"--topic", "Processor"},
                                                                   {"--topic"},
                                                                   {"-o"},
                                                                   {"--machine"},
                                                                   {"--frobnicate"},
                                                                   {"extra"}}) {
        ToolRun r = Tool(args);
        EXPECT_EQ(r.code, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << args[0];
        EXPECT_NE(r.err.find("torvex-report: "), std::string::npos) << args[0];
    }
    EXPECT_NE(Tool({"--topic", "Processor"}).err.find("\"Processor\""), std::string::npos);
}

TEST_F(ReportToolTest, LiveMachineReportOnStandardOutput) {
    ToolRun r = Tool({});
    ASSERT_EQ(r.code, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], kBanner);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_FALSE(lines[i].empty()) << "line " << i;
}

TEST_F(ReportToolTest, TopicsByCaptionInAnyLetterCase) {
    // Each topic's report is the banner and that topic's own section; the
    // topics whose categories exist must have it, with values.
    const std::vector<std::pair<const char*, const char*>> topics{
        {"Machine", "[Machine]"}, {"operating system", "[Operating System]"}, {"CPU", "[CPU]"},
        {"Memory", "[Memory]"}, {"APM", "[Advanced Power Management]"}, {"Devices", "[Devices]"},
        {"TIME ZONE", "[Time Zone]"}};
    for (const auto& [topic, section] : topics) {
        ToolRun r = Tool({"--topic", topic});
        ASSERT_EQ(r.code, 0) << topic << ": " << r.err;
        auto lines = Lines(r.out);
        ASSERT_GE(lines.size(), 3u) << topic << ": the banner alone";
        EXPECT_EQ(lines[0], kBanner) << topic;
        EXPECT_EQ(lines[1], section) << topic;
        EXPECT_NE(lines[2].find('='), std::string::npos) << topic;
        // The banner is the only comment line of a topic's report.
        for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_NE(lines[i].rfind(";", 0), 0u) << topic;
        // One topic, not the whole report: the Machine's section is not in
        // another topic's output.
        if (std::string(section) != "[Machine]") {
            EXPECT_EQ(r.out.find("\n[Machine]\n"), std::string::npos) << topic;
        }
    }
    // The topics still to come name no other topic's section.
    for (const char* topic : {"Display", "Media", "Network", "Printers", "Engines", "drives", "Startup", "Software"}) {
        ToolRun r = Tool({"--topic", topic});
        ASSERT_EQ(r.code, 0) << topic << ": " << r.err;
        auto lines = Lines(r.out);
        ASSERT_FALSE(lines.empty()) << topic;
        EXPECT_EQ(lines[0], kBanner) << topic;
        for (const auto& [other, section] : topics) EXPECT_EQ(r.out.find(section), std::string::npos) << topic;
    }
    ToolRun spaced = Tool({"--topic=Time Zone"});
    EXPECT_EQ(spaced.code, 0);
    EXPECT_EQ(Lines(spaced.out).at(1), "[Time Zone]");
}

TEST_F(ReportToolTest, UnusableMachineFolderExitsOneAndWritesNothing) {
    fs::path broken = dir / "broken-pc";
    fs::create_directories(broken);
    std::ofstream(broken / "machine.json") << "{\n  \"version\": {\n    \"major\": 5,,\n";
    fs::path target = dir / "report.txt";
    ToolRun r = Tool({"--machine", broken.string(), "-o", target.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    // The reason names the file and the line.
    EXPECT_NE(r.err.find("machine.json:3:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // A missing folder named by the layer's setting is as unusable.
    ToolRun viaSetting = Tool({}, {{"TORVEX_MACHINE", (dir / "no-such-pc").string()}});
    EXPECT_EQ(viaSetting.code, 1);
    EXPECT_TRUE(viaSetting.out.empty());
    EXPECT_NE(viaSetting.err.find("no-such-pc"), std::string::npos);
}

TEST_F(ReportToolTest, MachineOptionOverridesTheSetting) {
    std::string xp = UsableMachine("winxp-pc");
    if (xp.empty()) return;
    ToolRun r = Tool({"--machine", xp}, {{"TORVEX_MACHINE", (dir / "no-such-pc").string()}});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Lines(r.out).at(0), kBanner);
}

TEST_F(ReportToolTest, ExportFileHasCrLfAndTheMachinesCodePage) {
    std::string xp = UsableMachine("winxp-pc");
    if (xp.empty()) return;
    ToolRun shown = Tool({"--machine", xp});
    ASSERT_EQ(shown.code, 0);

    fs::path target = dir / "SystemInfo.txt";
    std::ofstream(target) << "an older, longer report that must disappear entirely\n";
    ToolRun r = Tool({"--machine", xp, "-o", target.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    std::string bytes = ReadAll(target);
    ASSERT_GE(bytes.size(), kBanner.size() + 2);
    EXPECT_EQ(bytes.substr(0, kBanner.size() + 2), kBanner + "\r\n");   // no byte-order mark
    // The same lines as on screen, each ended by CR LF, in code page 1252.
    std::string expected;
    for (const auto& line : Lines(shown.out)) expected += line + "\r\n";
    EXPECT_EQ(bytes, torvex::platform::Utf8ToCp1252(expected));
    // The file was replaced whole; no temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ReportToolTest, UnwritableFileExitsOneAndLeavesNothing) {
    fs::path target = dir / "missing-folder" / "report.txt";
    ToolRun r = Tool({"-o", target.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("cannot write " + target.string()), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(target.parent_path()));
    // A folder in the place of the file is not replaced.
    fs::create_directories(dir / "taken");
    ToolRun onFolder = Tool({"-o", (dir / "taken").string()});
    EXPECT_EQ(onFolder.code, 1);
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ReportToolTest, ExportWritesThroughDevicesLinksAndKeepsModes) {
    // A device is written through and stays a device; a full one is an
    // error. The node of /dev/full's kind is made in the test's folder, so
    // that a writer that replaced devices could not harm the system's.
    fs::path full = dir / "full";
    if (::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
        ToolRun r = Tool({"--topic", "Memory", "-o", full.string()});
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("cannot write " + full.string() + ": No space left on device"), std::string::npos)
            << r.err;
        EXPECT_TRUE(fs::is_character_file(full));
        fs::remove(full);
    }

    // Standard output by its name carries the export's bytes.
    ToolRun out = Tool({"--topic", "Memory", "-o", "/dev/stdout"});
    EXPECT_EQ(out.code, 0) << out.err;
    EXPECT_EQ(out.out.rfind(kBanner + "\r\n[Memory]\r\n", 0), 0u) << out.out.substr(0, 80);

    // A link in a folder of links stays a link; its target keeps its mode.
    fs::create_directories(dir / "real");
    fs::path target = dir / "real" / "report.txt";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(target, dir / "report-link.txt");
    ToolRun linked = Tool({"--topic", "Memory", "-o", (dir / "report-link.txt").string()});
    EXPECT_EQ(linked.code, 0) << linked.err;
    EXPECT_TRUE(fs::is_symlink(dir / "report-link.txt"));
    EXPECT_EQ(ReadAll(target).rfind(kBanner + "\r\n", 0), 0u);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ReportToolTest, LineBreaksInValuesNeverAddLines) {
    std::map<std::string, std::optional<std::string>> env{
        {"TORVEX_MACHINE", std::nullopt},
        {"TORVEX_INJECTED", "line1\n[Injected]\nKey=1"},
        {"BASH_FUNC_f%%", "() {  echo one;\n echo two\n}"},
        {"TORVEX_CR", "a\rb"}};
    ToolRun r = Tool({}, env);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.find("[Injected]\n"), std::string::npos);
    EXPECT_NE(r.out.find("TORVEX_INJECTED=line1 [Injected] Key=1\n"), std::string::npos);
    EXPECT_NE(r.out.find("BASH_FUNC_f%%=() {  echo one;  echo two }\n"), std::string::npos);
    EXPECT_NE(r.out.find("TORVEX_CR=a b\n"), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    // None of the values' pieces stands on a line of its own.
    for (const auto& line : Lines(r.out))
        for (const char* piece : {"[Injected]", "Key=1", " echo two", "}", "b"}) EXPECT_NE(line, piece);

    // The same in the export file, and for a simulated PC's user name.
    fs::path variant = dir / "variant-pc";
    fs::create_directories(variant);
    std::ofstream(variant / "machine.json")
        << "{ \"base\": \"" << TORVEX_SOURCE_DIR << "/machines/winxp-pc\",\n"
        << "  \"userName\": \"Mette\\n[Injected]\\r\\nKey=1\" }\n";
    fs::path target = dir / "report.txt";
    ToolRun file = Tool({"--machine", variant.string(), "--topic", "Machine", "-o", target.string()});
    ASSERT_EQ(file.code, 0) << file.err;
    std::string bytes = ReadAll(target);
    EXPECT_EQ(bytes.find("\r\n[Injected]"), std::string::npos);
    EXPECT_NE(bytes.find("=Mette [Injected]  Key=1\r\n"), std::string::npos) << bytes;
}
