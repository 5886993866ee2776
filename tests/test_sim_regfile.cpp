// Registry files as regedit writes them: both formats, every value kind,
// deletions, continued lines, and clear errors for broken files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/machine/Machine.h"
#include "platform/simulated/RegFile.h"

using namespace torvex::platform;

namespace {

// The bytes of a version 5 export: UTF-16LE with a byte-order mark.
std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

const RegValue& Value(Registry& r, RegRoot root, const char* key, const char* name) {
    RegKey* k = r.root(root).find(key);
    if (!k) throw std::runtime_error(std::string("no key ") + key);
    const RegValue* v = k->value(name);
    if (!v) throw std::runtime_error(std::string("no value ") + name);
    return *v;
}

}  // namespace

TEST(SimRegFile, Regedit4ReadsEveryValueKindInCodePage1252) {
    // Bytes as Windows 98's regedit writes them: CR LF, code page 1252.
    std::string file =
        "REGEDIT4\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"
        "@=\"Standard\"\r\n"
        "\"Owner\"=\"Bj\xF8rn \xC6rlig \x80 \\\"Bj\xF8\\\"\"\r\n"
        "\"Path\"=\"C:\\\\Programfiler\\\\\"\r\n"
        "\"Count\"=dword:0000002a\r\n"
        "\"Blob\"=hex:01,ff,00,\\\r\n"
        "  7f\r\n"
        "\"Expand\"=hex(2):25,77,69,6e,64,69,72,25,5c,e6,00\r\n"
        "\"Multi\"=hex(7):61,62,00,63,00,00\r\n"
        "\"None\"=hex(0):\r\n"
        "\"Big\"=hex(b):01,00,00,00,00,00,00,80\r\n"
        "\"Res\"=hex(8):01,02\r\n"
        "\r\n";
    Registry r;
    ApplyRegFile(file, "test.reg", r);

    const char* key = "Software\\Test";
    EXPECT_EQ(Value(r, RegRoot::LocalMachine, key, "").text(), "Standard");
    const RegValue& owner = Value(r, RegRoot::LocalMachine, key, "owner");
    EXPECT_EQ(owner.type, 1u);
    EXPECT_EQ(owner.text(), "Bjørn Ærlig € \"Bjø\"");
    EXPECT_EQ(owner.data.back(), 0);
    EXPECT_EQ(Value(r, RegRoot::LocalMachine, key, "Path").text(), "C:\\Programfiler\\");
    const RegValue& count = Value(r, RegRoot::LocalMachine, key, "Count");
    EXPECT_EQ(count.type, 4u);
    EXPECT_EQ(count.data, (std::vector<std::uint8_t>{42, 0, 0, 0}));
    const RegValue& blob = Value(r, RegRoot::LocalMachine, key, "Blob");
    EXPECT_EQ(blob.type, 3u);
    EXPECT_EQ(blob.data, (std::vector<std::uint8_t>{0x01, 0xFF, 0x00, 0x7F}));
    const RegValue& expand = Value(r, RegRoot::LocalMachine, key, "Expand");
    EXPECT_EQ(expand.type, 2u);
    EXPECT_EQ(expand.data, Bytes(std::string_view("%windir%\\æ\0", 12)));
    const RegValue& multi = Value(r, RegRoot::LocalMachine, key, "Multi");
    EXPECT_EQ(multi.type, 7u);
    EXPECT_EQ(multi.data, Bytes(std::string_view("ab\0c\0\0", 6)));
    const RegValue& none = Value(r, RegRoot::LocalMachine, key, "None");
    EXPECT_EQ(none.type, 0u);
    EXPECT_TRUE(none.data.empty());
    const RegValue& big = Value(r, RegRoot::LocalMachine, key, "Big");
    EXPECT_EQ(big.type, 11u);
    EXPECT_EQ(big.data, (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(Value(r, RegRoot::LocalMachine, key, "Res").type, 8u);

    // File order is enumeration order.
    std::vector<std::string> names;
    for (const auto& v : r.root(RegRoot::LocalMachine).find(key)->values()) names.push_back(v.name);
    EXPECT_EQ(names, (std::vector<std::string>{"", "Owner", "Path", "Count", "Blob", "Expand", "Multi", "None",
                                               "Big", "Res"}));
}

TEST(SimRegFile, Version5ReadsUtf16WithWideTextInHexValues) {
    std::string file = Utf16File(
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER\\Environment]\r\n"
        u"\"TEMP\"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,\\\r\n"
        u"  45,00,25,00,5c,00,e6,00,00,00\r\n"
        u"\"Names\"=hex(7):c5,00,73,00,65,00,00,00,ac,20,00,00,00,00\r\n"
        u"\"User\"=\"S\u00f8ren \u0141\"\r\n"
        u"\"Flags\"=dword:ffffffff\r\n"
        u"\"Text\"=hex(1):41,00,00,00\r\n");
    Registry r;
    ApplyRegFile(file, "xp.reg", r);
    const char* key = "Environment";
    EXPECT_EQ(Value(r, RegRoot::CurrentUser, key, "TEMP").data, Bytes(std::string_view("%USERPROFILE%\\æ\0", 17)));
    EXPECT_EQ(Value(r, RegRoot::CurrentUser, key, "Names").data, Bytes(std::string_view("Åse\0€\0\0", 10)));
    EXPECT_EQ(Value(r, RegRoot::CurrentUser, key, "User").text(), "Søren Ł");
    EXPECT_EQ(Value(r, RegRoot::CurrentUser, key, "Flags").data, (std::vector<std::uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(Value(r, RegRoot::CurrentUser, key, "Text").data, Bytes(std::string_view("A\0", 2)));
}

TEST(SimRegFile, HandWrittenVersion5FilesMayBeUtf8) {
    Registry r;
    ApplyRegFile("Windows Registry Editor Version 5.00\n\n[HKLM\\SOFTWARE\\Norsk]\n\"Navn\"=\"Blåbær\"\n", "hand.reg", r);
    EXPECT_EQ(Value(r, RegRoot::LocalMachine, "SOFTWARE\\Norsk", "Navn").text(), "Blåbær");
    Registry bom;
    ApplyRegFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_DYN_DATA\\PerfStats]\n@=\"x\"\n", "bom.reg", bom);
    EXPECT_EQ(Value(bom, RegRoot::DynData, "PerfStats", "").text(), "x");
}

TEST(SimRegFile, ClassesRootIsTheMachinesClassesKey) {
    Registry r;
    ApplyRegFile("REGEDIT4\n[HKEY_CLASSES_ROOT\\htmlfile\\shell\\open\\command]\n@=\"iexplore.exe %1\"\n", "c.reg", r);
    EXPECT_EQ(Value(r, RegRoot::LocalMachine, "SOFTWARE\\Classes\\htmlfile\\shell\\open\\command", "").text(),
              "iexplore.exe %1");
}

TEST(SimRegFile, DeletionsRemoveKeysWithTheirSubtreesAndValues) {
    Registry r;
    ApplyRegFile("REGEDIT4\n"
                 "[HKEY_LOCAL_MACHINE\\Software\\A]\n\"Keep\"=\"1\"\n\"Drop\"=\"2\"\n"
                 "[HKEY_LOCAL_MACHINE\\Software\\A\\B\\C]\n@=\"deep\"\n"
                 "[HKEY_LOCAL_MACHINE\\Software\\Z]\n",
                 "base.reg", r);
    ApplyRegFile("REGEDIT4\n"
                 "[-HKEY_LOCAL_MACHINE\\Software\\A\\B]\n"
                 "[-HKEY_LOCAL_MACHINE\\Software\\Missing\\Key]\n"
                 "[HKEY_LOCAL_MACHINE\\Software\\A]\n\"Drop\"=-\n\"Absent\"=-\n\"Keep\"=\"changed\"\n",
                 "variant.reg", r);
    RegKey* a = r.root(RegRoot::LocalMachine).find("Software\\A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->child("B"), nullptr);
    EXPECT_EQ(a->value("Drop"), nullptr);
    ASSERT_NE(a->value("Keep"), nullptr);
    EXPECT_EQ(a->value("Keep")->text(), "changed");
    EXPECT_EQ(a->values().size(), 1u);
    // Order of keys is kept when a key is changed again later.
    const auto& software = r.root(RegRoot::LocalMachine).find("Software")->children();
    ASSERT_EQ(software.size(), 2u);
    EXPECT_EQ(software[0]->name(), "A");
    EXPECT_EQ(software[1]->name(), "Z");
}

TEST(SimRegFile, BrokenFilesNameFileAndLine) {
    struct Case {
        std::string text;
        int line;
    };
    const Case cases[] = {
        {"REGEDIT5\n[HKEY_LOCAL_MACHINE\\X]\n", 1},
        {"\n\nWindows Registry Editor Version 4.00\n", 3},
        {"", 1},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=dword:1234567890\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=dword:xyz\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex:01,02,\\\n  03,g4\n", 4},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex:01,,02\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex:01,\\\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=hex(2x):00\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\" \"B\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"unterminated\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"x\" y\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=qword:1\n", 3},
        {"REGEDIT4\n\n[HKEY_NOWHERE\\X]\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n", 2},
        {"REGEDIT4\n\"A\"=\"value before any key\"\n", 2},
        {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\X]\n\"A\"=\"value of a deleted key\"\n", 3},
        {"REGEDIT4\n[-HKEY_CURRENT_USER]\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\nstray text\n", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Registry r;
        try {
            ApplyRegFile(c.text, "machines/x/registry/10-system.reg", r);
            ADD_FAILURE() << "accepted";
        } catch (const MachineError& e) {
            EXPECT_EQ(e.file(), "machines/x/registry/10-system.reg");
            EXPECT_EQ(e.line(), c.line);
            EXPECT_NE(std::string(e.what()).find("10-system.reg:" + std::to_string(c.line)), std::string::npos)
                << e.what();
        }
    }
    // UTF-16 files count lines as well.
    Registry r;
    try {
        ApplyRegFile(Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\.DEFAULT]\r\n\"X\"=dword:\r\n"),
                     "w.reg", r);
        ADD_FAILURE() << "accepted";
    } catch (const MachineError& e) {
        EXPECT_EQ(e.line(), 4);
    }
    EXPECT_THROW(LoadRegFile("/nonexistent/file.reg", r), MachineError);
}
