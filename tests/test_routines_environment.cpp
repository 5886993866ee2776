// The environment list, the expansion of references in command lines and the
// program a command starts, as the browser and mail look-ups use them.
#include <gtest/gtest.h>

#include "RoutinesMachine.h"

using namespace torvex::platform::routines;
using torvex::classes::TStringList;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::RoutinesTest;

namespace {

class Environment : public RoutinesTest {};

std::string Entry(int index, std::size_t length) {
    char name[8];
    std::snprintf(name, sizeof name, "V%02d=", index);
    return std::string(name) + std::string(length - 4, 'x');
}

TEST_F(Environment, OnlyEntriesEndingWithinTheFirst4096BytesAreListed) {
    // 40 entries of 99 characters and their zero fill bytes 0-3999; the
    // 41st ends exactly on byte 4095, the 42nd would end on byte 4195.
    for (int i = 0; i < 40; ++i) machine->env.push_back(Entry(i, 99));
    machine->env.push_back(Entry(40, 95));
    machine->env.push_back(Entry(41, 99));
    machine->env.push_back("LAST=1");
    TStringList list;
    list.Add("stale");
    GetEnvironment(list);
    ASSERT_EQ(list.Count(), 41);
    EXPECT_EQ(list[0], Entry(0, 99));
    EXPECT_EQ(list[40], Entry(40, 95));
    EXPECT_EQ(list.IndexOf("LAST=1"), -1);

    // One byte more and the 41st no longer ends in time.
    machine->env[40] = Entry(40, 96);
    GetEnvironment(list);
    EXPECT_EQ(list.Count(), 40);
}

TEST_F(Environment, TheLimitCountsBytesInTheMachinesCodePage) {
    // 41 entries of 96 "æ": 101 bytes each with the zero in code page 1252,
    // so 40 end within 4096 bytes. In UTF-8 (197 bytes) only 20 would.
    std::string ae;
    for (int i = 0; i < 96; ++i) ae += "\xC3\xA6";
    for (int i = 0; i < 41; ++i) machine->env.push_back(Entry(i, 4) + ae);
    machine->codePage = 1252;
    TStringList list;
    GetEnvironment(list);
    ASSERT_EQ(list.Count(), 40);
    EXPECT_EQ(list[39], Entry(39, 4) + ae);   // the texts stay UTF-8
    // A UTF-8 machine's block holds the two-byte form.
    machine->codePage = 65001;
    GetEnvironment(list);
    EXPECT_EQ(list.Count(), 20);
}

TEST_F(Environment, SmallBlockIsListedWhole) {
    machine->env = {"=C:=C:\\WINNT", "PATH=C:\\WINNT;C:\\WINNT\\system32", "windir=C:\\WINNT"};
    TStringList list;
    GetEnvironment(list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], "=C:=C:\\WINNT");
    EXPECT_EQ(list[2], "windir=C:\\WINNT");
    machine->env.clear();
    GetEnvironment(list);
    EXPECT_EQ(list.Count(), 0);
}

class Expansion : public RoutinesTest {
protected:
    void SetUp() override {
        RoutinesTest::SetUp();
        machine->env = {"=C:=C:\\WINNT\\system32", "=::=::\\", "SystemRoot=C:\\WINNT", "windir=C:\\WINNT",
                        "ProgramFiles=C:\\Program Files"};
    }
};

TEST_F(Expansion, PercentReferencesAreReplacedInTheNamesOwnLetterCase) {
    EXPECT_EQ(ExpandEnvVars("%windir%\\notepad.exe %1"), "C:\\WINNT\\notepad.exe %1");
    EXPECT_EQ(ExpandEnvVars("%WINDIR%\\notepad.exe"), "%WINDIR%\\notepad.exe");
    EXPECT_EQ(ExpandEnvVars("\"%ProgramFiles%\\Outlook Express\\msimn.exe\" /mailurl:%1"),
              "\"C:\\Program Files\\Outlook Express\\msimn.exe\" /mailurl:%1");
    // Each variable once: its first reference.
    EXPECT_EQ(ExpandEnvVars("%windir%;%windir%"), "C:\\WINNT;%windir%");
    EXPECT_EQ(ExpandEnvVars("%unknown%\\x"), "%unknown%\\x");
}

TEST_F(Expansion, BackslashAndNameIsReplacedWithTheBackslash) {
    EXPECT_EQ(ExpandEnvVars("\\SystemRoot\\System32\\drivers\\ndis.sys"), "C:\\WINNT\\System32\\drivers\\ndis.sys");
    EXPECT_EQ(ExpandEnvVars("\\systemroot\\System32"), "\\systemroot\\System32");
    // The percent form is looked for first.
    EXPECT_EQ(ExpandEnvVars("%SystemRoot%\\a \\SystemRoot\\b"), "C:\\WINNT\\a \\SystemRoot\\b");
}

TEST_F(Expansion, DriveEntriesOfNTLeaveOrdinaryPathsAlone) {
    EXPECT_EQ(ExpandEnvVars("C:\\Program Files\\App\\app.exe"), "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(ExpandEnvVars("100%% sure"), "100%% sure");
}

TEST_F(Expansion, TextAfterAReplacedReferenceKeepsAtMost1024Characters) {
    std::string tail(2000, 't');
    std::string result = ExpandEnvVars("%windir%" + tail);
    EXPECT_EQ(result, "C:\\WINNT" + std::string(1024, 't'));
    // Text without a reference is kept whole.
    EXPECT_EQ(ExpandEnvVars(tail), tail);
}

class CommandProgram : public RoutinesTest {
protected:
    void SetUp() override {
        RoutinesTest::SetUp();
        machine->env = {"windir=C:\\WINDOWS", "ProgramFiles=C:\\Program Files"};
        machine->writeFile("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", "MZ");
        machine->writeFile("C:\\Program Files\\Outlook Express\\msimn.exe", "MZ");
        machine->writeFile("C:\\WINDOWS\\notepad.exe", "MZ");
    }
};

TEST_F(CommandProgram, QuotedPathWithOptionsGivesTheUnquotedProgram) {
    EXPECT_EQ(GetFileFromCommand("\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" -nohome"),
              "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
    EXPECT_EQ(GetFileFromCommand("\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\""),
              "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
    EXPECT_EQ(GetFileFromCommand("%windir%\\notepad.exe %1"), "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(GetFileFromCommand("C:\\WINDOWS\\notepad.exe"), "C:\\WINDOWS\\notepad.exe");
}

TEST_F(CommandProgram, MissingProgramOrFolderGivesNothing) {
    EXPECT_EQ(GetFileFromCommand("\"C:\\Program Files\\Netscape\\netscape.exe\" -h \"%1\""), "");
    // A folder is no program, however much of the command names it.
    EXPECT_EQ(GetFileFromCommand("C:\\Program Files\\"), "");
    EXPECT_EQ(GetFileFromCommand(""), "");
}

TEST_F(CommandProgram, DefaultBrowserAndMailClientFromTheirOpenCommands) {
    EXPECT_EQ(GetDefaultBrowser(), "");
    EXPECT_EQ(GetDefaultMailClient(), "");
    machine->key(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\command")
        .setValue(RegValue::String("", "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" -nohome"));
    machine->key(RegRoot::ClassesRoot, "mailto\\shell\\open\\command")
        .setValue(RegValue::String("", "\"%ProgramFiles%\\Outlook Express\\msimn.exe\" /mailurl:%1", 2));
    EXPECT_EQ(GetDefaultBrowser(), "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
    EXPECT_EQ(GetDefaultMailClient(), "C:\\Program Files\\Outlook Express\\msimn.exe");
}

}  // namespace
