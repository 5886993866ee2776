// A value holding a line break must not break the report's structure.
#include <gtest/gtest.h>

#include "engine/Zarvo_Common.h"

using namespace torvex::engine;

TEST(ReportLines, LineBreaksInsideALineBecomeBlanks) {
    // An environment variable that would inject a section.
    EXPECT_EQ(ReportLineText("FOO=line1\n[Injected]\nKey=1"), "FOO=line1 [Injected] Key=1");
    // An exported shell function over several lines, with CR LF.
    EXPECT_EQ(ReportLineText("BASH_FUNC_f%%=() {  echo hi\r\n}"), "BASH_FUNC_f%%=() {  echo hi  }");
    // A user name with a lone CR; nothing else is touched.
    EXPECT_EQ(ReportLineText("User=Mette\rX"), "User=Mette X");
    EXPECT_EQ(ReportLineText("Name=\t\xC3\xA6 ;x=[y]"), "Name=\t\xC3\xA6 ;x=[y]");
    EXPECT_EQ(ReportLineText("\n"), " ");
    EXPECT_EQ(ReportLineText(""), "");
}

TEST(ReportLines, ReportTextAndExportBytesKeepOneLinePerEntry) {
    TStringList report;
    report.Add(";banner");
    report.Add("[Machine]");
    report.Add("User=a\nb\r\n[Injected]");
    EXPECT_EQ(ReportText(report), ";banner\n[Machine]\nUser=a b  [Injected]\n");
    EXPECT_EQ(ReportText(report, "\r\n"), ";banner\r\n[Machine]\r\nUser=a b  [Injected]\r\n");
    EXPECT_EQ(ReportText(TStringList()), "");
    // The export file's bytes come from the same lines.
    std::string bytes = ReportFileBytes(report);
    EXPECT_NE(bytes.find("User=a b  [Injected]\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n[Injected]"), std::string::npos);
}
