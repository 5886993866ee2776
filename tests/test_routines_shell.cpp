// Special folders and shortcut targets.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "RoutinesMachine.h"

using namespace torvex::platform::routines;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::RoutinesTest;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SpecialFolders : public RoutinesTest {
protected:
    void SetUp() override {
        RoutinesTest::SetUp();
        machine->env = {"USERPROFILE=C:\\Documents and Settings\\Kari"};
        auto& user = machine->key(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
        user.setValue(RegValue::String("Desktop", "C:\\Documents and Settings\\Kari\\Skrivebord"));
        user.setValue(RegValue::String("Personal", "C:\\Old\\Mine dokumenter"));
        auto& expanded =
            machine->key(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
        expanded.setValue(RegValue::String("Personal", "%USERPROFILE%\\Mine dokumenter", 2));
        machine->key(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")
            .setValue(RegValue::String("Common Startup", "C:\\Documents and Settings\\All Users\\Start-meny\\Programmer\\Oppstart"));
    }
};

TEST_F(SpecialFolders, RegistryFoldersAsTheShellReadsThem) {
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_DESKTOP), "C:\\Documents and Settings\\Kari\\Skrivebord");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_DESKTOPDIRECTORY), "C:\\Documents and Settings\\Kari\\Skrivebord");
    // "User Shell Folders" wins and has its variables expanded.
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_PERSONAL), "C:\\Documents and Settings\\Kari\\Mine dokumenter");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_COMMON_STARTUP),
              "C:\\Documents and Settings\\All Users\\Start-meny\\Programmer\\Oppstart");
    // Not named anywhere: the fonts folder is in the Windows folder, an
    // application-data folder does not exist (Windows 95 without it).
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_FONTS), "C:\\WINDOWS\\FONTS");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_APPDATA), "");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_WINDOWS), "C:\\WINDOWS");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_SYSTEM), "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_PROFILE), "C:\\Documents and Settings\\Kari");
    EXPECT_EQ(GetSpecialFolder(nullptr, 0x7F), "");
}

TEST_F(SpecialFolders, VirtualFoldersHaveALocationButNoPath) {
    for (int folder : {win32::CSIDL_CONTROLS, win32::CSIDL_DRIVES, win32::CSIDL_PRINTERS, win32::CSIDL_BITBUCKET,
                       win32::CSIDL_NETWORK, win32::CSIDL_INTERNET}) {
        win32::LPITEMIDLIST list = nullptr;
        ASSERT_EQ(win32::SHGetSpecialFolderLocation(nullptr, folder, &list), win32::S_OK) << folder;
        char path[win32::MAX_PATH] = "stale";
        EXPECT_FALSE(win32::SHGetPathFromIDListA(list, path));
        EXPECT_STREQ(path, "");
        win32::ILFree(list);
        EXPECT_EQ(GetSpecialFolder(nullptr, folder), "");
    }
    win32::LPITEMIDLIST list = nullptr;
    EXPECT_EQ(win32::SHGetSpecialFolderLocation(nullptr, win32::CSIDL_APPDATA, &list), win32::E_FAIL);
    EXPECT_EQ(list, nullptr);
}

TEST_F(SpecialFolders, TheMachinesOwnAnswerComesFirst) {
    machine->folders[win32::CSIDL_PERSONAL] = "D:\\Dokumenter";
    machine->folders[win32::CSIDL_FONTS] = "";
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_PERSONAL), "D:\\Dokumenter");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_FONTS), "");
    EXPECT_EQ(GetSpecialFolder(nullptr, win32::CSIDL_DESKTOP), "C:\\Documents and Settings\\Kari\\Skrivebord");
}

class Shortcuts : public RoutinesTest {
protected:
    std::pair<std::string, std::string> resolve(const std::string& windowsPath) {
        std::string target = "stale", args = "stale";
        ResolveLink(windowsPath, target, args);
        return {target, args};
    }
};

TEST_F(Shortcuts, LocalTargetWithArgumentsAnsiAndUnicode) {
    machine->copyFile(dataFile("notes.lnk"), "C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\Notes.lnk");
    machine->copyFile(dataFile("unicode.lnk"), "C:\\Links\\r\u00e5d.lnk");
    machine->codePage = 1252;
    EXPECT_EQ(resolve("C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\Notes.lnk"),
              std::make_pair(std::string("C:\\WINDOWS\\NOTEPAD.EXE"), std::string("C:\\WINDOWS\\README.TXT")));
    EXPECT_EQ(resolve("C:\\Links\\r\u00e5d.lnk"),
              std::make_pair(std::string("C:\\Programmer\\R\u00e5d\\r\u00e5d.exe"), std::string("-q")));
}

TEST_F(Shortcuts, ShareTargetIsGivenAsTheSharePath) {
    machine->copyFile(dataFile("share.lnk"), "C:\\Links\\share.lnk");
    EXPECT_EQ(resolve("C:\\Links\\share.lnk"),
              std::make_pair(std::string("\\\\SERVER\\Felles\\Rutiner\\start.bat"), std::string("/s")));
}

TEST_F(Shortcuts, MissingOrDamagedFilesGiveNothing) {
    EXPECT_EQ(resolve("C:\\Links\\none.lnk"), std::make_pair(std::string(), std::string()));
    machine->writeFile("C:\\Links\\text.lnk", "[InternetShortcut]\r\nURL=http://www.norvo.no/\r\n");
    EXPECT_EQ(resolve("C:\\Links\\text.lnk"), std::make_pair(std::string(), std::string()));
    auto bytes = ReadBytes(dataFile("notes.lnk"));
    machine->writeFile("C:\\Links\\cut.lnk", std::string(bytes.begin(), bytes.begin() + 100));
    EXPECT_EQ(resolve("C:\\Links\\cut.lnk"), std::make_pair(std::string(), std::string()));
}

TEST_F(Shortcuts, LinkObjectNeedsTheComponentLibrary) {
    win32::IShellLinkA* link = nullptr;
    EXPECT_EQ(win32::CoCreateInstance(win32::CLSID_ShellLink, nullptr, win32::CLSCTX_INPROC_SERVER,
                                      win32::IID_IShellLinkA, reinterpret_cast<void**>(&link)),
              win32::CO_E_NOTINITIALIZED);
    ASSERT_EQ(win32::CoInitialize(nullptr), win32::S_OK);
    EXPECT_EQ(win32::CoInitialize(nullptr), win32::S_FALSE);
    win32::CoUninitialize();
    win32::IID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(win32::CoCreateInstance(other, nullptr, 1, win32::IID_IUnknown, reinterpret_cast<void**>(&link)),
              win32::REGDB_E_CLASSNOTREG);
    ASSERT_EQ(win32::CoCreateInstance(win32::CLSID_ShellLink, nullptr, 1, win32::IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link)),
              win32::S_OK);
    machine->copyFile(dataFile("notes.lnk"), "C:\\Links\\Notes.lnk");
    win32::IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(win32::IID_IPersistFile, reinterpret_cast<void**>(&file)), win32::S_OK);
    EXPECT_EQ(file->Load(L"C:\\Links\\Notes.lnk", win32::STGM_READ), win32::S_OK);
    // The target is not on this machine: the link stays as it is.
    EXPECT_EQ(link->Resolve(nullptr, win32::SLR_NO_UI), win32::S_FALSE);
    machine->writeFile("C:\\WINDOWS\\NOTEPAD.EXE", "MZ");
    EXPECT_EQ(link->Resolve(nullptr, win32::SLR_NO_UI), win32::S_OK);
    char text[8];
    ASSERT_EQ(link->GetPath(text, sizeof text, nullptr, 0), win32::S_OK);
    EXPECT_STREQ(text, "C:\\WIND");   // cut to the buffer, always ended
    ASSERT_EQ(link->GetWorkingDirectory(text, sizeof text), win32::S_OK);
    EXPECT_STREQ(text, "C:\\WIND");
    EXPECT_EQ(file->Load(L"C:\\Links\\none.lnk", win32::STGM_READ), win32::HRESULT_FILE_NOT_FOUND);
    file->Release();
    link->Release();
    win32::CoUninitialize();
}

// The real shortcut files recorded on Windows PCs, against the parse that an
// independent reader made of them.
class RealShortcuts : public RoutinesTest {
protected:
    std::filesystem::path dir = std::filesystem::path(TORVEX_REALDATA_DIR) / "lnk";
};

TEST_F(RealShortcuts, TargetsAgreeWithTheIndependentParse) {
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "real shortcut files absent: " << dir;
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".lnk") continue;
        SCOPED_TRACE(entry.path().filename().string());
        auto expectedPath = entry.path();
        expectedPath.replace_extension(".expected.json");
        std::ifstream in(expectedPath);
        ASSERT_TRUE(in) << expectedPath;
        auto expected = nlohmann::json::parse(in);
        const auto& info = expected["link_info"];
        std::string suffix = info.value("common_path_suffix", "");
        std::string wanted;
        if (info.value("location", "") == "Network") {
            wanted = info["location_info"]["net_name"].get<std::string>() + "\\" + suffix;
        } else {
            wanted = info["local_base_path"].get<std::string>() + suffix;
        }
        const auto& data = expected["data"];

        torvex::platform::ShellLinkData link;
        std::string error;
        ASSERT_TRUE(torvex::platform::ParseShellLink(ReadBytes(entry.path()), 1252, link, error)) << error;
        EXPECT_EQ(link.workingDirectory, data.value("working_directory", ""));
        EXPECT_EQ(link.relativePath, data.value("relative_path", ""));

        std::string windowsPath = "C:\\Links\\" + entry.path().filename().string();
        machine->copyFile(entry.path(), windowsPath);
        std::string target, args;
        ResolveLink(windowsPath, target, args);
        EXPECT_EQ(target, wanted);
        EXPECT_EQ(args, "");
        ++checked;
    }
    EXPECT_EQ(checked, 3);
}

TEST_F(RealShortcuts, ItemListAndMappedDriveSpellTheSameTarget) {
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "real shortcut files absent: " << dir;
    torvex::platform::ShellLinkData link;
    std::string error;
    ASSERT_TRUE(torvex::platform::ParseShellLink(ReadBytes(dir / "microsoft_example.lnk"), 1252, link, error));
    EXPECT_EQ(link.idListPath, "C:\\test\\a.txt");
    EXPECT_EQ(link.localPath, "C:\\test\\a.txt");

    ASSERT_TRUE(torvex::platform::ParseShellLink(ReadBytes(dir / "network_info.lnk"), 1252, link, error));
    EXPECT_EQ(link.deviceName, "Z:");
    EXPECT_EQ(link.localPath.substr(0, 21), "Z:\\A - LM METAL LIFT\\");
    // The item list holds the long names in its extension blocks.
    EXPECT_EQ(link.idListPath, link.localPath);

    ASSERT_TRUE(torvex::platform::ParseShellLink(ReadBytes(dir / "sample.lnk"), 1252, link, error));
    EXPECT_EQ(link.environmentTarget, "C:\\Users\\%USERNAME%\\AppData\\Roaming\\.minecraft");
    EXPECT_EQ(link.idListPath, "");   // starts at the Users folder, not at a drive
}

TEST_F(RealShortcuts, EveryTruncationAndCorruptedLengthFailsCleanly) {
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "real shortcut files absent: " << dir;
    for (const char* name : {"microsoft_example.lnk", "network_info.lnk", "sample.lnk"}) {
        auto good = ReadBytes(dir / name);
        torvex::platform::ShellLinkData link;
        std::string error;
        for (std::size_t n = 0; n < good.size(); ++n) {
            std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
            if (!torvex::platform::ParseShellLink(cut, 1252, link, error)) {
                EXPECT_FALSE(error.empty()) << name << " " << n;
            }
        }
        // Every 32-bit field overwritten with a huge value, one at a time.
        for (std::size_t at = 0; at + 4 <= good.size(); at += 2) {
            auto bad = good;
            bad[at] = bad[at + 1] = bad[at + 2] = 0xFF;
            bad[at + 3] = 0x7F;
            if (!torvex::platform::ParseShellLink(bad, 1252, link, error)) {
                EXPECT_FALSE(error.empty()) << name << " " << at;
            }
        }
    }
    auto good = ReadBytes(dir / "microsoft_example.lnk");
    auto bad = good;
    // LinkInfo starts after the header and the item list (2 + 189 bytes).
    std::size_t linkInfo = 76 + 2 + 189;
    bad[linkInfo] = 0x58;
    bad[linkInfo + 1] = 0x02;
    torvex::platform::ShellLinkData link;
    std::string error;
    EXPECT_FALSE(torvex::platform::ParseShellLink(bad, 1252, link, error));
    EXPECT_EQ(error, "LinkInfo at offset 0x10B claims 600 bytes, the file has 459");
}

}  // namespace
