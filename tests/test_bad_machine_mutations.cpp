// Damaged machine folders, end to end: every shipped PC is copied into a
// temporary folder and damaged one place at a time (its machine.json, a line
// of one of its .reg files, a line of its CPUID dump, its drive tree), and
// torvex-report --machine runs on the copy. Each damage must end in exit 1
// with the damaged file and the place in it named, never a crash or a hang,
// and nothing may be written: not into the copy, not into the home, state,
// configuration or temporary folders, not into the working folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Every entry below a folder with its size and time, to see that nothing
// was written.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> all;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        auto status = it->symlink_status(ec);
        std::string what = std::to_string(int(status.type()));
        if (fs::is_regular_file(status))
            what += " " + std::to_string(it->file_size(ec)) + " " +
                    std::to_string(fs::last_write_time(it->path(), ec).time_since_epoch().count());
        all[it->path().lexically_relative(root).generic_string()] = what;
    }
    return all;
}

struct Outcome {
    int code = -1;        // exit code; -1 killed by a signal
    int signal = 0;
    bool hung = false;
    std::string err;
};

// One mutant: what it did, the file it damaged and what the message must
// say about the place (a regular expression).
struct Mutant {
    std::string what;
    fs::path file;
    std::string place;
};

class BadMachineFolders : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = fs::temp_directory_path() / ("torvex-bad-machines-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char* d : {"machines", "home", "state", "config", "cache", "tmp", "cwd"})
            fs::create_directories(root / d);
        fs::copy(fs::path(TORVEX_SOURCE_DIR) / "machines", root / "machines", fs::copy_options::recursive);
        for (const auto& e : fs::directory_iterator(root / "machines"))
            if (e.is_directory()) pcs.push_back(e.path().filename().string());
        std::sort(pcs.begin(), pcs.end());
    }
    static void TearDownTestSuite() { fs::remove_all(root); }

    static Outcome Run(const fs::path& machine) {
        fs::path errFile = root / "stderr.txt";
        pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir((root / "cwd").c_str()) != 0) ::_exit(126);
            int o = ::open("/dev/null", O_WRONLY);
            int e = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(o, 1);
            ::dup2(e, 2);
            ::setenv("HOME", (root / "home").c_str(), 1);
            ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
            ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
            ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
            ::unsetenv("TORVEX_MACHINE");
            ::unsetenv("TORVEX_TRACE");
            std::string m = machine.string();
            const char* argv[] = {TORVEX_REPORT_EXE, "--machine", m.c_str(), nullptr};
            ::execv(TORVEX_REPORT_EXE, const_cast<char**>(argv));
            ::_exit(127);
        }
        Outcome r;
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                r.hung = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (WIFEXITED(status)) r.code = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
        r.err = ReadAll(errFile);
        fs::remove(errFile);
        return r;
    }

    // Damages, runs, checks and restores: the copy is whole again afterwards.
    void Try(const std::string& pc, const Mutant& m, const std::function<void()>& damage,
             std::function<void()> undo = {}) {
        std::string original = ReadAll(m.file);
        if (!undo) undo = [&] { WriteAll(m.file, original); };
        damage();
        auto damaged = Snapshot(root);
        Outcome r = Run(root / "machines" / pc);
        SCOPED_TRACE(pc + ": " + m.what + " in " + m.file.string() + "\nmessage: " + r.err);
        ++tried;
        EXPECT_FALSE(r.hung) << "no answer within 30 s";
        EXPECT_EQ(r.signal, 0) << "killed by signal " << r.signal;
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(m.file.string()), std::string::npos) << "the damaged file is not named";
        EXPECT_TRUE(std::regex_search(r.err, std::regex(m.place))) << "the place is not named (" << m.place << ")";
        EXPECT_EQ(Snapshot(root), damaged) << "something was written";
        undo();
    }

    static fs::path root;
    static std::vector<std::string> pcs;
    static int tried;
    std::mt19937 random{16};
};

fs::path BadMachineFolders::root;
std::vector<std::string> BadMachineFolders::pcs;
int BadMachineFolders::tried = 0;

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            if (start < text.size()) lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, nl + 1 - start));
        start = nl + 1;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l;
    return s;
}

// A .reg file as ASCII lines, whichever of the two formats it has; and back.
bool IsUtf16(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE;
}
std::string Narrow16(const std::string& bytes) {
    std::string s;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) s += bytes[i + 1] ? '?' : bytes[i];
    return s;
}
std::string Widen16(const std::string& bytes, const std::string& original) {
    std::string s = "\xFF\xFE";
    std::string narrow = Narrow16(original);
    // Characters outside ASCII were narrowed to '?': take them back from
    // the original where the text is unchanged up to that point.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::size_t at = 2 + 2 * i;
        if (i < narrow.size() && bytes[i] == '?' && narrow[i] == '?' && at + 1 < original.size())
            s += original.substr(at, 2);
        else
            s += std::string{bytes[i], '\0'};
    }
    return s;
}

// The .reg files of a PC and the machines it is based on that hold values.
std::vector<fs::path> RegFiles(const fs::path& pc) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(pc / "registry", ec)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST_F(BadMachineFolders, DamagedMachineDescriptionsAreRefusedWithFileAndPlace) {
    for (const auto& pc : pcs) {
        fs::path json = root / "machines" / pc / "machine.json";
        std::string text = ReadAll(json);
        // Cut off in the middle: the JSON ends early.
        for (int k = 1; k <= 3; ++k) {
            std::size_t cut = text.size() * std::size_t(k) / 4;
            Try(pc, {"cut at byte " + std::to_string(cut), json, ":[0-9]+: bad JSON"},
                [&] { WriteAll(json, text.substr(0, cut)); });
        }
        // A stray character at a random place between two lines.
        auto lines = LinesOf(text);
        std::size_t at = 1 + random() % (lines.size() - 1);
        Try(pc, {"stray '@' before line " + std::to_string(at + 1), json, ":" + std::to_string(at + 1) + ": bad JSON"}, [&] {
            auto damaged = lines;
            damaged.insert(damaged.begin() + long(at), "@\n");
            WriteAll(json, Join(damaged));
        });
        // A record of the wrong kind: the version as a list.
        if (text.find("\"version\"") != std::string::npos) {
            std::string damaged = std::regex_replace(text, std::regex("\"version\"\\s*:\\s*\\{"), "\"version\": [], \"x_version\": {",
                                                     std::regex_constants::format_first_only);
            Try(pc, {"version as a list", json, "version"}, [&] { WriteAll(json, damaged); });
        }
        // A number given as a text.
        std::smatch number;
        std::regex anyNumber("\"(major|build|totalPhys|processors|numberOfProcessors)\"\\s*:\\s*[0-9]+");
        if (std::regex_search(text, number, anyNumber)) {
            std::string damaged = text.substr(0, std::size_t(number.position(0))) + "\"" + number[1].str() + "\": \"many\"" +
                                  text.substr(std::size_t(number.position(0) + number.length(0)));
            Try(pc, {number[1].str() + " as a text", json, number[1].str()}, [&] { WriteAll(json, damaged); });
        }
    }
}

TEST_F(BadMachineFolders, DamagedRegistryLinesAreRefusedWithFileAndLine) {
    // Each damage replaces one whole line; the message must give its number.
    const std::vector<std::pair<std::string, std::string>> damages = {
        {"a key without its closing bracket", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Broken\r\n"},
        {"a value of an unknown type", "\"Broken\"=qword:12\r\n"},
        {"a dword that is not hexadecimal", "\"Broken\"=dword:0000zz00\r\n"},
        {"hex bytes that are not hexadecimal", "\"Broken\"=hex:01,zz\r\n"},
        {"a name without its closing quote", "\"Broken=\"x\"\r\n"},
        {"a key under no root", "[HKEY_NOWHERE\\Broken]\r\n"},
    };
    for (const auto& pc : pcs) {
        auto files = RegFiles(root / "machines" / pc);
        if (files.empty()) continue;   // a variant with its base's registry only
        for (const auto& [what, line] : damages) {
            fs::path file = files[random() % files.size()];
            std::string original = ReadAll(file);
            bool wide = IsUtf16(original);
            auto lines = LinesOf(wide ? Narrow16(original) : original);
            // A line after the header's, in a key: the place of a value.
            std::size_t at = 2 + random() % (lines.size() - 2);
            Try(pc, {what + " at line " + std::to_string(at + 1), file, ":" + std::to_string(at + 1) + ": "}, [&] {
                auto damaged = lines;
                damaged[at] = line;
                std::string text = Join(damaged);
                WriteAll(file, wide ? Widen16(text, original) : text);
            });
        }
    }
}

TEST_F(BadMachineFolders, DamagedCpuidDumpsAreRefusedWithFileAndLine) {
    for (const auto& pc : pcs) {
        fs::path dump = root / "machines" / pc / "cpuid.txt";
        if (!fs::exists(dump)) continue;   // a variant with its base's processor
        std::string text = ReadAll(dump);
        auto lines = LinesOf(text);
        // The register lines: damage a random one in three ways.
        std::vector<std::size_t> registers;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (std::regex_search(lines[i], std::regex("^CPUID [0-9A-Fa-f]{8}"))) registers.push_back(i);
        ASSERT_FALSE(registers.empty()) << dump;
        for (const char* kind : {"cut", "letters", "extra"}) {
            std::size_t at = registers[random() % registers.size()];
            std::string damagedLine = lines[at];
            std::string k = kind;
            if (k == "cut") damagedLine = damagedLine.substr(0, damagedLine.size() / 2) + "\n";
            if (k == "letters") damagedLine = std::regex_replace(damagedLine, std::regex("[0-9A-F]{8}-"), "XYZXYZXY-",
                                                                 std::regex_constants::format_first_only);
            if (k == "extra") damagedLine = damagedLine.substr(0, damagedLine.find_last_not_of("\r\n") + 1) + "junk\n";
            if (damagedLine == lines[at]) continue;
            Try(pc, {std::string(kind) + " register line " + std::to_string(at + 1), dump, ":" + std::to_string(at + 1) + ": "},
                [&] {
                    auto damaged = lines;
                    damaged[at] = damagedLine;
                    WriteAll(dump, Join(damaged));
                });
        }
    }
}

TEST_F(BadMachineFolders, DriveTreesThatReachOutAreRefusedNamingTheLink) {
    // Links in a drive folder that lead out of the machine: to a file of the
    // computer, to its root folder, up and out by a relative path, and a
    // link that leads to itself.
    for (const auto& pc : pcs) {
        fs::path drive = root / "machines" / pc / "C";
        if (!fs::is_directory(drive)) continue;   // a variant with its base's drive
        std::vector<fs::path> folders;
        for (const auto& e : fs::recursive_directory_iterator(drive))
            if (e.is_directory()) folders.push_back(e.path());
        std::sort(folders.begin(), folders.end());
        fs::path in = folders.empty() ? drive : folders[random() % folders.size()];
        const std::vector<std::tuple<std::string, fs::path, fs::path>> links = {
            {"a file of the computer", in / "SECRET.INI", "/etc/passwd"},
            {"the computer's root", in / "ROOT", "/"},
            {"up and out", drive / "UP", "../../../.."},
            {"a link to itself", in / "LOOP.LNK", "LOOP.LNK"},
        };
        for (const auto& [what, link, target] : links) {
            Try(pc, {what, link, "link"}, [&] { fs::create_symlink(target, link); }, [&] { fs::remove(link); });
        }
    }
}

TEST_F(BadMachineFolders, MutantsTried) {
    // Printed for the record; the three tests above must have run first.
    std::printf("bad machine folders: %d mutants tried\n", tried);
    if (tried == 0) GTEST_SKIP() << "run with the other BadMachineFolders tests";
}
