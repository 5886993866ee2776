// How TSMBIOS gets the firmware segment from the machine: read directly on
// Windows 9x, mapped from the physical-memory section on NT, and copied by
// the 16-bit dump program when the section is closed to the user; and what
// a failing path leaves behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FakeMachine.h"
#include "engine/Zarvo_Common.h"
#include "platform/win32/Win32.h"
#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

namespace fs = std::filesystem;
using engine::TSMBIOS;
using platform::FirmwareSegment;

class FirmwareMachine : public FakeMachine {
public:
    using FakeMachine::FakeMachine;
    std::optional<FirmwareSegment> segment;
    std::uint64_t slept = 0;
    std::optional<FirmwareSegment> firmwareSegment() override { return segment; }
    void sleep(std::uint32_t milliseconds) override { slept += milliseconds; }
};

class FirmwarePaths : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("torvex-smbios-paths-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        auto m = std::make_unique<FirmwareMachine>(folder);
        machine = m.get();
        fs::create_directories(folder / "C" / "WINDOWS" / "TEMP");
        platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    void Windows98() {
        machine->versionFacts.major = 4;
        machine->versionFacts.minor = 10;
        machine->versionFacts.build = 2222;
        machine->versionFacts.platformId = win32::VER_PLATFORM_WIN32_WINDOWS;
        machine->segment = FirmwareSegment{image, FirmwareSegment::Access::direct};
    }
    void WindowsXP(FirmwareSegment::Access access) {
        machine->versionFacts.major = 5;
        machine->versionFacts.minor = 1;
        machine->versionFacts.build = 2600;
        machine->versionFacts.platformId = win32::VER_PLATFORM_WIN32_NT;
        machine->exports["ntdll.dll"] = {"ZwOpenSection", "ZwClose"};
        machine->env = {"ComSpec=C:\\WINDOWS\\system32\\cmd.exe", "TEMP=C:\\WINDOWS\\TEMP"};
        machine->segment = FirmwareSegment{image, access};
    }
    std::vector<std::string> TempContents() const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(folder / "C" / "WINDOWS" / "TEMP"))
            names.push_back(fs::relative(e.path(), folder).string());
        return names;
    }

    fs::path folder;
    FirmwareMachine* machine = nullptr;
    Image image = WriteImage(DesktopDescription());
    TSMBIOS smbios;
};

TEST_F(FirmwarePaths, Windows9xReadsTheSegmentDirectly) {
    Windows98();
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    EXPECT_EQ(smbios.Image(), image);
    // The section of NT does not exist there.
    win32::HANDLE section = nullptr;
    win32::UNICODE_STRING name{44, 46, u"\\Device\\PhysicalMemory"};
    win32::OBJECT_ATTRIBUTES attributes{sizeof(win32::OBJECT_ATTRIBUTES), nullptr, &name, 0x40, nullptr, nullptr};
    EXPECT_EQ(win32::ZwOpenSection(&section, win32::SECTION_MAP_READ, &attributes), win32::STATUS_ACCESS_DENIED);
}

TEST_F(FirmwarePaths, NtMapsThePhysicalMemorySection) {
    WindowsXP(FirmwareSegment::Access::section);
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    EXPECT_TRUE(TempContents().empty()) << "no dump program was needed";
    std::uint8_t buffer[16];
    EXPECT_FALSE(win32::ReadLinearMemory(0xF0000, buffer, sizeof buffer)) << "NT does not map the first megabyte";
}

TEST_F(FirmwarePaths, WithoutSectionAccessTheDumpProgramCopiesTheSegment) {
    WindowsXP(FirmwareSegment::Access::dumpProgram);
    fs::create_directories(folder / "C" / "WINDOWS" / "TEMP" / "1~RomDmp");   // left by someone else
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.Image(), image) << "all 65,536 bytes, the last one included";
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    EXPECT_EQ(TempContents(), std::vector<std::string>{"C/WINDOWS/TEMP/1~RomDmp"})
        << "the program's own folder and files are gone, the foreign folder stays";
    EXPECT_EQ(machine->slept, 0u);
}

TEST_F(FirmwarePaths, AHungDumpProgramIsGivenUpAfterTenSeconds) {
    WindowsXP(FirmwareSegment::Access::dumpProgram);
    machine->segment->dumpProgramHangs = true;
    smbios.GetInfo(1);
    EXPECT_EQ(machine->slept, TSMBIOS::kDumpProgramTimeoutMs);
    EXPECT_EQ(TSMBIOS::kDumpProgramTimeoutMs, 10000u);
    EXPECT_EQ(smbios.EntryPoint(), 0u);
    EXPECT_EQ(smbios.SystemModel(), "");
    EXPECT_TRUE(TempContents().empty());
}

TEST_F(FirmwarePaths, AFailedReadSearchesOnlyForTheDmiAnchorInTheKeptImage) {
    WindowsXP(FirmwareSegment::Access::section);
    smbios.GetInfo(1);
    ASSERT_EQ(smbios.EntryPoint(), 0xF0000u);
    // The next read fails (no interpreter for the dump program): the kept
    // image is searched for "_DMI_" only, which lies 16 bytes after "_SM_".
    machine->segment->access = FirmwareSegment::Access::dumpProgram;
    machine->env.clear();
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.EntryPoint(), 0xF0000u);
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    // Without a "_DMI_" part nothing is found.
    Image onlySm = image;
    onlySm[0x10] = 0;
    machine->segment->access = FirmwareSegment::Access::section;
    machine->segment->image = onlySm;
    smbios.GetInfo(1);
    machine->segment->access = FirmwareSegment::Access::dumpProgram;
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.EntryPoint(), 0u);
}

TEST_F(FirmwarePaths, OtherModesDecodeTheKeptImage) {
    WindowsXP(FirmwareSegment::Access::section);
    smbios.GetInfo(1);
    machine->segment->image.assign(65536, 0);
    smbios.GetInfo(0);
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    smbios.GetInfo(2);
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.SystemModel(), "");
}

TEST_F(FirmwarePaths, AViewThatCannotBeMappedIsAnError) {
    WindowsXP(FirmwareSegment::Access::section);
    machine->segment->viewMapFails = true;
    try {
        smbios.GetInfo(1);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot map physical memory to process memory!\r\n");
    }
    std::vector<std::string> messages;
    platform::SetMessageBoxHook([&](const std::string& text, const std::string& caption, unsigned) {
        messages.push_back(caption + "|" + text);
        return win32::IDOK;
    });
    engine::GuardedCall(1, "TSMBIOS.GetInfo", engine::emMessage, &TSMBIOS::GetInfo, smbios);
    platform::SetMessageBoxHook(nullptr);
    EXPECT_EQ(messages, std::vector<std::string>{"Error|TSMBIOS.GetInfo: Cannot map physical memory to process memory!\r\n"});
}

TEST_F(FirmwarePaths, WithoutAnyFirmwareEveryPathFailsQuietly) {
    WindowsXP(FirmwareSegment::Access::section);
    machine->segment.reset();
    EXPECT_NO_THROW(smbios.GetInfo(1));
    EXPECT_EQ(smbios.EntryPoint(), 0u);
    EXPECT_TRUE(TempContents().empty());
}

// The DOS box runs only what a .COM program of this kind needs.
class DosBox : public FirmwarePaths {
protected:
    win32::DWORD Run(const std::vector<std::uint8_t>& program, win32::DWORD wait, win32::DWORD* exitCode) {
        std::ofstream(folder / "C" / "WINDOWS" / "TEMP" / "T.COM", std::ios::binary)
            .write(reinterpret_cast<const char*>(program.data()), std::streamsize(program.size()));
        std::string line = "C:\\WINDOWS\\system32\\cmd.exe /C C:\\WINDOWS\\TEMP\\T.COM > C:\\WINDOWS\\TEMP\\OUT.TXT";
        win32::STARTUPINFOA si{};
        win32::PROCESS_INFORMATION pi{};
        EXPECT_TRUE(win32::CreateProcessA(nullptr, line.data(), nullptr, nullptr, 0, 0, nullptr, nullptr, &si, &pi));
        win32::DWORD r = win32::WaitForSingleObject(pi.hProcess, wait);
        if (r == win32::WAIT_TIMEOUT) win32::TerminateProcess(pi.hProcess, 9);
        win32::GetExitCodeProcess(pi.hProcess, exitCode);
        win32::CloseHandle(pi.hThread);
        win32::CloseHandle(pi.hProcess);
        return r;
    }
};

TEST_F(DosBox, ExitCodesWritesAndHangs) {
    WindowsXP(FirmwareSegment::Access::dumpProgram);
    win32::DWORD code = 0;
    // mov ah,40h; mov bx,2Ah; int 21h (a handle that is not open); mov ah,4Ch; int 21h
    EXPECT_EQ(Run({0xB4, 0x40, 0xBB, 0x2A, 0x00, 0xCD, 0x21, 0xB4, 0x4C, 0xCD, 0x21}, 1000, &code), win32::WAIT_OBJECT_0);
    EXPECT_EQ(code, 6u) << "invalid handle";
    // mov ax,F000h; mov ds,ax; mov ah,40h; mov bx,1; mov cx,4; mov dx,0; int 21h; ret
    EXPECT_EQ(Run({0xB8, 0x00, 0xF0, 0x8E, 0xD8, 0xB4, 0x40, 0xBB, 0x01, 0x00, 0xB9, 0x04, 0x00, 0xBA, 0x00, 0x00,
                   0xCD, 0x21, 0xC3},
                  1000, &code),
              win32::WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u);
    std::ifstream out(folder / "C" / "WINDOWS" / "TEMP" / "OUT.TXT", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(out), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "_SM_");
    // jmp $ never ends; an unknown instruction stops in an error box.
    EXPECT_EQ(Run({0xEB, 0xFE}, 2500, &code), win32::WAIT_TIMEOUT);
    EXPECT_EQ(code, 9u);
    EXPECT_EQ(Run({0x0F, 0x0B}, 500, &code), win32::WAIT_TIMEOUT);
    EXPECT_EQ(machine->slept, 3000u);
}

}  // namespace
}  // namespace torvex::testing
