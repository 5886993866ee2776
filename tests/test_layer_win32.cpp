// The Win32-shaped calls keep Windows' own rules whatever machine answers.
#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>

#include <cstring>
#include <fstream>
#include <iterator>

#include "FakeMachine.h"
#include "platform/win32/Exports.h"
#include "platform/win32/Win32.h"

using namespace win32;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::FakeMachine;

namespace {

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("torvex-layer-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        auto m = std::make_unique<FakeMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, VER_PLATFORM_WIN32_NT, "Service Pack 2", true, 2, 0, 0x100, 1};
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    std::string readFile(const std::string& windowsPath) {
        std::ifstream in(machine->hostPath(windowsPath), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void writeFile(const std::string& windowsPath, const std::string& bytes) {
        auto p = machine->hostPath(windowsPath);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }

    std::filesystem::path folder;
    FakeMachine* machine = nullptr;
};

// ---------------------------------------------------------------- registry

class RegistryCalls : public LayerTest {
protected:
    void SetUp() override {
        LayerTest::SetUp();
        auto& hklm = machine->registry().root(RegRoot::LocalMachine);
        auto& cv = hklm.ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
        cv.setValue(RegValue::String("ProductName", "Microsoft Windows XP"));
        cv.setValue(RegValue::String("RegisteredOwner", "Kari Nordmann"));
        cv.setValue(RegValue::Dword("InstallDate", 0x3F00AB12));
        cv.ensure("Hotfix\\Q246009");
        cv.ensure("Fonts");
        hklm.ensure("SOFTWARE\\Classes\\htmlfile\\shell\\open\\command")
            .setValue(RegValue::String("", "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome"));
        hklm.ensure("SOFTWARE\\Microsoft\\DirectX").setReadOnly(true);
        hklm.ensure("SOFTWARE\\Microsoft\\DirectX").setValue(RegValue::String("Version", "4.09.00.0904"));
    }
};

TEST_F(RegistryCalls, OpensReadsAndEnumeratesInStoredOrder) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ,
                            &key),
              ERROR_SUCCESS);
    char text[64];
    DWORD size = sizeof text, type = 0;
    ASSERT_EQ(RegQueryValueExA(key, "registeredowner", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_STREQ(text, "Kari Nordmann");
    EXPECT_EQ(size, 14u);   // the zero counts

    DWORD dword = 0;
    size = sizeof dword;
    ASSERT_EQ(RegQueryValueExA(key, "InstallDate", nullptr, &type, reinterpret_cast<BYTE*>(&dword), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(dword, 0x3F00AB12u);

    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[32];
        DWORD n = sizeof name;
        LONG r = RegEnumKeyExA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(n, std::strlen(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Hotfix", "Fonts"}));

    char valueName[32];
    DWORD nameSize = sizeof valueName;
    ASSERT_EQ(RegEnumValueA(key, 2, valueName, &nameSize, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(valueName, "InstallDate");
    nameSize = sizeof valueName;
    EXPECT_EQ(RegEnumValueA(key, 3, valueName, &nameSize, nullptr, &type, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    DWORD subKeys = 0, values = 0, maxSub = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(maxSub, 6u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryCalls, BufferRulesAndMissingValues) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "ProductName", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 21u);
    char small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "ProductName", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 21u);
    EXPECT_EQ(RegQueryValueExA(key, "NoSuchValue", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    HKEY missing;
    EXPECT_EQ(RegOpenKeyExA(key, "NoSuchKey", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryCalls, ClassesRootIsTheMachinesClassesKey) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, KEY_READ, &key), ERROR_SUCCESS);
    char text[128];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome");
    RegCloseKey(key);
}

TEST_F(RegistryCalls, RightsOfAUserWithoutAdministration) {
    machine->registry().setUserIsAdmin(false);
    HKEY key;
    // Reading is allowed, full access is not: a key below a protected key
    // inherits its protection.
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE one = 1;
    EXPECT_EQ(RegSetValueExA(key, "Version", 0, REG_SZ, &one, 1), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    HKEY created;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX\\New", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_ACCESS_DENIED);

    // The administrator of a home PC opens it with full access.
    machine->registry().setUserIsAdmin(true);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryCalls, AKeyOpenedForReadingCannotBeWrittenAndWritesStayInMemory) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    const char* owner = "Ola";
    EXPECT_EQ(RegSetValueExA(key, "RegisteredOwner", 0, REG_SZ, reinterpret_cast<const BYTE*>(owner), 4),
              ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                            KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "RegisteredOwner", 0, REG_SZ, reinterpret_cast<const BYTE*>(owner), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);
    auto* cv = machine->registry().root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    EXPECT_EQ(cv->value("RegisteredOwner")->text(), "Ola");
}

TEST_F(RegistryCalls, DynamicDataExistsOnlyOnWindows9x) {
    machine->registry().root(RegRoot::DynData).ensure("PerfStats\\StatData");
    HKEY key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    machine->versionFacts = {4, 10, 67766446, VER_PLATFORM_WIN32_WINDOWS, " A ", false, 0, 0, 0, 0};
    ASSERT_EQ(RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryCalls, DeletingAKeyWithSubkeysDependsOnTheFamily) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, "CurrentVersion"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(key, "CurrentVersion\\Fonts"), ERROR_SUCCESS);
    machine->versionFacts.platformId = VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_EQ(RegDeleteKeyA(key, "CurrentVersion"), ERROR_SUCCESS);
    HKEY gone;
    EXPECT_EQ(RegOpenKeyExA(key, "CurrentVersion", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

// ---------------------------------------------------------------- profile files

using ProfileFiles = LayerTest;

TEST_F(ProfileFiles, ABareNameLivesInTheWindowsDirectoryAndForeignLinesStay) {
    const std::string original =
        "; written by hand\r\n[Other]\r\nColour=Blue\r\n\r\n[NorvoUtility]\r\nProgrammer=0\r\nZoom = 120 \r\n"
        "\r\n[Last]\r\nx=1";
    writeFile("C:\\WINDOWS\\Norvo.INI", original);
    EXPECT_TRUE(WritePrivateProfileStringA("NorvoUtility", "programmer", "1", "Norvo.INI"));
    EXPECT_TRUE(WritePrivateProfileStringA("NorvoUtility", "Detaljer", "1", "Norvo.INI"));
    EXPECT_TRUE(WritePrivateProfileStringA("New", "Key", "v", "Norvo.INI"));
    EXPECT_EQ(readFile("C:\\WINDOWS\\Norvo.INI"),
              "; written by hand\r\n[Other]\r\nColour=Blue\r\n\r\n[NorvoUtility]\r\nProgrammer=1\r\nZoom = 120 \r\n"
              "Detaljer=1\r\n\r\n[Last]\r\nx=1\r\n[New]\r\nKey=v\r\n");

    char text[32];
    EXPECT_EQ(GetPrivateProfileStringA("norvoutility", "ZOOM", "", text, sizeof text, "Norvo.INI"), 3u);
    EXPECT_STREQ(text, "120");
    EXPECT_EQ(GetPrivateProfileIntA("NorvoUtility", "Programmer", 0, "Norvo.INI"), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("NorvoUtility", "Missing", 7, "Norvo.INI"), 7u);
}

// A number longer than 32 bits wraps around as it does on Windows (found by
// fuzzing: it was counted in a signed 64-bit integer, which overflowed).
TEST_F(ProfileFiles, ANumberTooLongForThirtyTwoBitsWraps) {
    writeFile("C:\\WINDOWS\\n.ini",
              "[N]\r\nBig=1555555555555555555555\r\nNegative=-99999999999999999999x\r\nJust=4294967297\r\n"
              "Small=-12abc\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("N", "Big", 0, "n.ini"), 1515075811u);
    EXPECT_EQ(GetPrivateProfileIntA("N", "Negative", 0, "n.ini"), 2632974337u);
    EXPECT_EQ(GetPrivateProfileIntA("N", "Just", 0, "n.ini"), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("N", "Small", 0, "n.ini"), static_cast<UINT>(-12));
}

TEST_F(ProfileFiles, MissingFileDefaultsAndTruncation) {
    char text[8];
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "default  ", text, sizeof text, "None.ini"), 7u);
    EXPECT_STREQ(text, "default");
    writeFile("C:\\WINDOWS\\t.ini", "[S]\nK=\"quoted value\"\nLong=0123456789\n");
    char big[32];
    GetPrivateProfileStringA("S", "K", "", big, sizeof big, "t.ini");
    EXPECT_STREQ(big, "quoted value");
    EXPECT_EQ(GetPrivateProfileStringA("S", "Long", "", text, sizeof text, "t.ini"), 7u);
    EXPECT_STREQ(text, "0123456");
    // Section and key lists are zero-separated and end with two zeros.
    char list[32];
    DWORD n = GetPrivateProfileStringA("S", nullptr, "", list, sizeof list, "t.ini");
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(std::string(list, n + 1), std::string("K\0Long\0", 7) + '\0');
    // A file written without CR keeps its own line ends.
    EXPECT_TRUE(WritePrivateProfileStringA("S", "New", "1", "t.ini"));
    EXPECT_EQ(readFile("C:\\WINDOWS\\t.ini"), "[S]\nK=\"quoted value\"\nLong=0123456789\nNew=1\n");
}

TEST_F(ProfileFiles, DeletingKeysAndSections) {
    writeFile("C:\\WINDOWS\\d.ini", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("A", "x", nullptr, "d.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("B", nullptr, nullptr, "d.ini"));
    EXPECT_EQ(readFile("C:\\WINDOWS\\d.ini"), "[A]\r\ny=2\r\n");
}

TEST_F(ProfileFiles, TextsCrossIntoTheMachinesCodePage) {
    EXPECT_TRUE(WritePrivateProfileStringA("Bruker", "Navn", "Bjørn Ærø", "C:\\Data\\u.ini"));
    EXPECT_EQ(readFile("C:\\Data\\u.ini"), "[Bruker]\r\nNavn=Bj\xF8rn \xC6r\xF8\r\n");
    char text[32];
    GetPrivateProfileStringA("Bruker", "Navn", "", text, sizeof text, "C:\\Data\\u.ini");
    EXPECT_STREQ(text, "Bjørn Ærø");
}

// ---------------------------------------------------------------- libraries

class LibraryCalls : public LayerTest {
protected:
    void SetUp() override {
        LayerTest::SetUp();
        machine->exports["kernel32.dll"] = {"GlobalMemoryStatusEx", "LoadLibrary16", "FreeLibrary16",
                                            "GetProcAddress16", "QT_Thunk"};
        machine->exports["advapi32.dll"] = {"OpenSCManagerA"};
        machine->ordinals["kernel32.dll"] = {{35, "LoadLibrary16"}, {36, "FreeLibrary16"}, {37, "GetProcAddress16"}};
        machine->memoryFacts = {61, 6ull << 30, 5ull << 30, 8ull << 30, 7ull << 30, 0x7FFE0000, 0x7FF00000};
    }
};

TEST_F(LibraryCalls, StaticImportsAreMappedAndOthersLoadOnDemand) {
    HMODULE kernel = GetModuleHandleA("KERNEL32");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetModuleHandleA("psapi.dll"), nullptr);
    EXPECT_EQ(LoadLibraryA("psapi.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    auto ex = reinterpret_cast<BOOL (*)(MEMORYSTATUSEX*)>(GetProcAddress(kernel, "GlobalMemoryStatusEx"));
    ASSERT_NE(ex, nullptr);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(ex(&status));
    EXPECT_EQ(status.ullTotalPhys, 6ull << 30);
    // The 32-bit record clips amounts above 4 GB.
    MEMORYSTATUS small{};
    GlobalMemoryStatus(&small);
    EXPECT_EQ(small.dwTotalPhys, 0xFFFFFFFFu);
    EXPECT_EQ(small.dwTotalVirtual, 0x7FFE0000u);

    EXPECT_EQ(GetProcAddress(kernel, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
}

TEST_F(LibraryCalls, AListedButUnimplementedExportFailsCleanly) {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto open = reinterpret_cast<DWORD (*)()>(GetProcAddress(advapi, "OpenSCManagerA"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open(), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
}

TEST_F(LibraryCalls, FreeingAModuleTwiceFails) {
    machine->exports["netapi32.dll"] = {"NetWkstaGetInfo"};
    HMODULE net = LoadLibraryA("netapi32.dll");
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(LoadLibraryA("NETAPI32"), net);
    EXPECT_TRUE(FreeLibrary(net));
    EXPECT_TRUE(FreeLibrary(net));
    EXPECT_FALSE(FreeLibrary(net));
    EXPECT_EQ(GetModuleHandleA("netapi32.dll"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(LibraryCalls, SixteenBitUserModuleAnswersThroughTheThunk) {
    machine->resources[0] = 78;
    machine->resources[1] = 85;
    machine->resources[2] = 79;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto load = reinterpret_cast<LoadLibrary16Proc>(GetProcAddress(kernel, MAKEINTRESOURCEA(35)));
    auto free16 = reinterpret_cast<FreeLibrary16Proc>(GetProcAddress(kernel, MAKEINTRESOURCEA(36)));
    auto proc = reinterpret_cast<GetProcAddress16Proc>(GetProcAddress(kernel, MAKEINTRESOURCEA(37)));
    auto thunk = reinterpret_cast<QT_ThunkProc>(GetProcAddress(kernel, "QT_Thunk"));
    ASSERT_TRUE(load && free16 && proc && thunk);
    EXPECT_EQ(GetProcAddress(kernel, MAKEINTRESOURCEA(38)), nullptr);
    HINSTANCE16 user = load("USER.EXE");
    ASSERT_GE(user, 32);
    free16(user);
    SEGPTR gfsr = proc(user, "GetFreeSystemResources");
    ASSERT_NE(gfsr, 0u);
    EXPECT_EQ(thunk(gfsr, 0), 78);
    EXPECT_EQ(thunk(gfsr, 1), 85);
    EXPECT_EQ(thunk(gfsr, 2), 79);
    EXPECT_EQ(proc(user, "Nothing"), 0u);
    EXPECT_LT(load("gdi.exe"), 32);

    machine->resources[0].reset();
    EXPECT_LT(load("user.exe"), 32);
}

TEST(LayerExports, TheHostSeesOnlyWhatTheLayerImplementsForTheNtFamily) {
    EXPECT_TRUE(torvex::platform::LayerImplements("KERNEL32", "GlobalMemoryStatusEx"));
    EXPECT_FALSE(torvex::platform::LayerImplements("kernel32.dll", "QT_Thunk"));
    EXPECT_FALSE(torvex::platform::LayerImplements("psapi.dll", "EnumProcesses"));
    EXPECT_TRUE(torvex::platform::LayerImplementsLibrary("advapi32"));
    // The ASPI layer's library is the layer's, but the host offers it only
    // with the SCSI generic driver loaded.
    EXPECT_TRUE(torvex::platform::LayerImplementsLibrary("wnaspi32.dll"));
    auto root = std::filesystem::temp_directory_path() / ("torvex-layer-sg-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "proc/scsi/sg");
    auto host = torvex::platform::CreateHostMachine(root);
    EXPECT_FALSE(host->hasLibrary("wnaspi32.dll"));
    std::ofstream(root / "proc/scsi/sg/version") << "30536\t3.5.36 [20140603]\n";
    host = torvex::platform::CreateHostMachine(root);
    EXPECT_TRUE(host->hasLibrary("WNASPI32"));
    EXPECT_TRUE(host->hasExport("wnaspi32.dll", "SendASPI32Command"));
    std::filesystem::remove_all(root);
    EXPECT_EQ(torvex::platform::NormalizeLibraryName("C:\\WINDOWS\\SYSTEM\\PsApi.DLL"), "psapi.dll");
}

// ---------------------------------------------------------------- other calls

TEST_F(LayerTest, VersionRecordsOfBothSizes) {
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    ASSERT_TRUE(GetVersionExA(&ex));
    EXPECT_EQ(ex.dwBuildNumber, 2600u);
    EXPECT_STREQ(ex.szCSDVersion, "Service Pack 2");
    EXPECT_EQ(ex.wServicePackMajor, 2);
    EXPECT_EQ(ex.wProductType, 1);
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExA(&basic));
    // A Windows 95 machine knows only the basic record.
    machine->versionFacts = {4, 0, 950, VER_PLATFORM_WIN32_WINDOWS, " B", false, 0, 0, 0, 0};
    EXPECT_FALSE(GetVersionExA(&ex));
    basic.dwOSVersionInfoSize = sizeof basic;
    ASSERT_TRUE(GetVersionExA(&basic));
    EXPECT_STREQ(basic.szCSDVersion, " B");
}

TEST_F(LayerTest, EnvironmentBlockAndNames) {
    machine->env = {"windir=C:\\WINDOWS", "PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND", "TEMP=C:\\WINDOWS\\TEMP"};
    LPSTR block = GetEnvironmentStringsA();
    std::vector<std::string> entries;
    for (const char* p = block; *p; p += std::strlen(p) + 1) entries.push_back(p);
    EXPECT_EQ(entries, machine->env);
    EXPECT_TRUE(FreeEnvironmentStringsA(block));
    EXPECT_FALSE(FreeEnvironmentStringsA(block));

    char name[16];
    DWORD size = 4;
    EXPECT_FALSE(GetComputerNameA(name, &size));
    EXPECT_EQ(size, 8u);
    size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    EXPECT_STREQ(name, "FAKE-PC");
    EXPECT_EQ(size, 7u);
    char dir[8];
    EXPECT_EQ(GetWindowsDirectoryA(dir, sizeof dir), 11u);   // too small: size needed
    char big[64];
    EXPECT_EQ(GetWindowsDirectoryA(big, sizeof big), 10u);
    EXPECT_STREQ(big, "C:\\WINDOWS");
}

TEST_F(LayerTest, ResourceStringsShellAndMessageHook) {
    torvex::platform::SetResourceStrings({{65242, "Spenning"}});
    char text[16];
    EXPECT_EQ(LoadStringA(GetModuleHandleSelf(), 65242, text, sizeof text), 8);
    EXPECT_STREQ(text, "Spenning");
    EXPECT_EQ(LoadStringA(GetModuleHandleSelf(), 1, text, sizeof text), 0);

    EXPECT_GT(reinterpret_cast<std::uintptr_t>(ShellExecuteA(nullptr, nullptr, "torvex.no", nullptr, nullptr, 1)), 32u);
    machine->openSucceeds = false;
    EXPECT_LE(reinterpret_cast<std::uintptr_t>(ShellExecuteA(nullptr, "open", "torvex.no", nullptr, nullptr, 1)), 32u);
    EXPECT_EQ(machine->opened, (std::vector<std::string>{"torvex.no", "torvex.no"}));

    std::string seen;
    torvex::platform::SetMessageBoxHook([&](const std::string& t, const std::string& c, unsigned type) {
        seen = c + "|" + t + "|" + std::to_string(type);
        return IDOK;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "TCPU.GetInfo: boom", "Error", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(seen, "Error|TCPU.GetInfo: boom|16");
    torvex::platform::SetMessageBoxHook(nullptr);
}

}  // namespace
