// The file and text layer every reader uses: failures carry their reason,
// lines and key-value files come apart the same way everywhere, and bad
// bytes never crash the conversions.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/machine/FileText.h"

namespace fs = std::filesystem;
using namespace torvex::platform;

namespace {

fs::path TempDir() {
    fs::path dir = fs::temp_directory_path() / ("torvex-filetext-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

}  // namespace

TEST(FileText, ReadsWholeFilesAndNamesWhyNot) {
    fs::path dir = TempDir();
    {
        std::ofstream(dir / "a.txt", std::ios::binary) << "one\ntwo";
    }
    FileRead ok = ReadWholeFile(dir / "a.txt");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok.text, "one\ntwo");

    FileRead missing = ReadWholeFile(dir / "nope");
    EXPECT_EQ(missing.failure, ReadFailure::missing);
    EXPECT_EQ(missing.reason, (dir / "nope").string() + ": missing");

    EXPECT_EQ(ReadWholeFile(dir).failure, ReadFailure::notAFile);
    EXPECT_EQ(ReadWholeFile(dir / "a.txt", 3).failure, ReadFailure::tooLarge);
    EXPECT_TRUE(ReadWholeFile(dir / "a.txt", 7));

    if (::geteuid() != 0) {
        ::chmod((dir / "a.txt").c_str(), 0);
        EXPECT_EQ(ReadWholeFile(dir / "a.txt").failure, ReadFailure::permissionDenied);
    }
    // /proc files claim a size of 0 and still have text.
    FileRead proc = ReadWholeFile("/proc/self/status");
    if (proc) {
        EXPECT_NE(proc.text.find("Name:"), std::string::npos);
    }
    fs::remove_all(dir);
}

TEST(FileText, LinesEndWithLfOrCrLfAndTheLastMayHaveNoEnd) {
    EXPECT_TRUE(SplitLines("").empty());
    auto lines = SplitLines("a\r\nb\n\nc");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "c");
    EXPECT_EQ(SplitLines("x\n").size(), 1u);

    int seen = 0;
    ForEachLine("1\n2\n3\n", [&](std::string_view, int n) {
        seen = n;
        return n < 2;
    });
    EXPECT_EQ(seen, 2) << "returning false stops the walk";

    auto parts = Split("a,,b", ',');
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], "");
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
}

TEST(FileText, KeyValueFilesOfProcUeventAndOsRelease) {
    auto meminfo = ParseKeyValues("MemTotal:       24683716 kB\nbad line\nHugepagesize:    2048 kB\n", ':');
    ASSERT_EQ(meminfo.size(), 2u);
    EXPECT_EQ(meminfo[0].key, "MemTotal");
    EXPECT_EQ(meminfo[0].value, "24683716 kB");
    EXPECT_EQ(meminfo[1].line, 3);

    auto os = KeyValueMap("# comment\nNAME=\"Debian GNU/Linux\"\nID=debian\nX='a \"b\"'\n"
                          "Y=\"say \\\"hi\\\" \\$HOME\"\nNAME=second\n",
                          '=', true);
    EXPECT_EQ(os["NAME"], "Debian GNU/Linux") << "the first occurrence wins";
    EXPECT_EQ(os["ID"], "debian");
    EXPECT_EQ(os["X"], "a \"b\"");
    EXPECT_EQ(os["Y"], "say \"hi\" $HOME");
    EXPECT_EQ(KeyValueMap("DRIVER=e1000e\nMODALIAS=pci:v00008086d=x\n", '=')["MODALIAS"], "pci:v00008086d=x");
}

TEST(FileText, ConversionsSurviveBadBytes) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Æbler på 𝄞")), "Æbler på 𝄞");
    EXPECT_EQ(Utf8ToUtf16("𝄞").size(), 2u);
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8Length("Västeuropeisk"), 13u);
    EXPECT_EQ(Utf8Length("\xC3"), 1u) << "a cut sequence counts as one replacement";
    std::size_t pos = 0;
    EXPECT_EQ(NextUtf8("\xC0\xAF", pos), 0xFFFDu) << "overlong forms are refused";

    EXPECT_EQ(CodePageToUtf8("M\xFCller \x80", 1252), "Müller €");
    EXPECT_EQ(Utf8ToCodePage("Müller €", 1252), "M\xFCller \x80");
    EXPECT_EQ(Utf8ToCodePage("Müller", 65001), "Müller");
    EXPECT_EQ(Utf8ToCodePageExact("Müller", 1252), std::optional<std::string>("M\xFCller"));
    EXPECT_EQ(Utf8ToCodePageExact("Ω", 1252), std::nullopt);
}

TEST(FileText, TraceSaysWhyAndIsSilentWhenOff) {
    std::vector<std::string> lines;
    SetTraceSink([&](const std::string& l) { lines.push_back(l); });
    SetTraceEnabled(false);
    EXPECT_FALSE(ReadFileTraced("/nonexistent/torvex", "memory"));
    EXPECT_TRUE(lines.empty());
    SetTraceEnabled(true);
    EXPECT_FALSE(ReadFileTraced("/nonexistent/torvex", "memory"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "torvex: memory: /nonexistent/torvex: missing");
    SetTraceEnabled(false);
    SetTraceSink(nullptr);
}
