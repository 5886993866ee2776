#include "engine/Zarvo_Memory.h"

#include "platform/Corvane_Routines.h"

namespace torvex::engine {

namespace routines = torvex::platform::routines;

namespace {

// The address of an export of the already mapped "kernel32"; null when the
// running system lacks it.
win32::FARPROC Kernel32Export(win32::LPCSTR name) {
    win32::HMODULE kernel = win32::GetModuleHandleA("kernel32");
    return kernel ? win32::GetProcAddress(kernel, name) : nullptr;
}

}  // namespace

TResources::TResources() : FThunk(reinterpret_cast<win32::QT_ThunkProc>(Kernel32Export("QT_Thunk"))) {}

void TResources::GetInfo() {
    FSystem = Query(0);
    FUser = Query(2);
    FGDI = Query(1);
}

std::uint8_t TResources::Query(win32::WORD selector) const {
    if (routines::IsNT) return 90;
    auto load = reinterpret_cast<win32::LoadLibrary16Proc>(Kernel32Export(win32::MAKEINTRESOURCEA(35)));
    auto free16 = reinterpret_cast<win32::FreeLibrary16Proc>(Kernel32Export(win32::MAKEINTRESOURCEA(36)));
    auto procAddress = reinterpret_cast<win32::GetProcAddress16Proc>(Kernel32Export(win32::MAKEINTRESOURCEA(37)));
    win32::HINSTANCE16 user = load ? load("user.exe") : 0;
    if (user < 32) throw Exception("Can't load USER.EXE!");
    // Freed before the call: USER stays resident in every Windows 9x
    // session, so the procedure's address remains valid.
    if (free16) free16(user);
    win32::SEGPTR procedure = procAddress ? procAddress(user, "GetFreeSystemResources") : 0;
    if (!procedure) throw Exception("Can't get address of GetFreeSystemResources");
    // Without the thunk there is no way into 16-bit code; the percentage
    // reads 0 then, as for any value the system cannot give.
    return FThunk ? static_cast<std::uint8_t>(FThunk(procedure, selector)) : 0;
}

void TResources::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("System", FSystem);
    published.Add("GDI", FGDI);
    published.Add("User", FUser);
}

TMemory::TMemory()
    : FGlobalMemoryStatusEx(reinterpret_cast<StatusEx>(Kernel32Export("GlobalMemoryStatusEx"))),
      FResources(std::make_unique<TResources>()) {}

TMemory::~TMemory() = default;

void TMemory::GetInfo() {
    GuardedCall(GetInfoLabel(*FResources), FExceptionMode, &TResources::GetInfo, *FResources);

    if (routines::OSVersion >= routines::osWin2000) {
        win32::MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        if (FGlobalMemoryStatusEx) FGlobalMemoryStatusEx(&status);
        FMemoryLoad = static_cast<std::int32_t>(status.dwMemoryLoad);
        FPhysicalTotal = static_cast<std::int64_t>(status.ullTotalPhys);
        FPhysicalFree = static_cast<std::int64_t>(status.ullAvailPhys);
        FPageFileTotal = static_cast<std::int64_t>(status.ullTotalPageFile);
        FPageFileFree = static_cast<std::int64_t>(status.ullAvailPageFile);
        FVirtualTotal = static_cast<std::int64_t>(status.ullTotalVirtual);
        FVirtualFree = static_cast<std::int64_t>(status.ullAvailVirtual);
    } else {
        win32::MEMORYSTATUS status{};
        status.dwLength = sizeof status;
        win32::GlobalMemoryStatus(&status);
        FMemoryLoad = static_cast<std::int32_t>(status.dwMemoryLoad);
        FPhysicalTotal = status.dwTotalPhys;
        FPhysicalFree = status.dwAvailPhys;
        FPageFileTotal = status.dwTotalPageFile;
        FPageFileFree = status.dwAvailPageFile;
        FVirtualTotal = status.dwTotalVirtual;
        FVirtualFree = status.dwAvailVirtual;
    }

    win32::SYSTEM_INFO info{};
    win32::GetSystemInfo(&info);
    FAllocGranularity = static_cast<std::int32_t>(info.dwAllocationGranularity);
    FMaxAppAddress = static_cast<std::int32_t>(info.lpMaximumApplicationAddress);
    FMinAppAddress = static_cast<std::int32_t>(info.lpMinimumApplicationAddress);
    FPageSize = static_cast<std::int32_t>(info.dwPageSize);
}

void TMemory::Report(TStringList& list) const {
    list.Add("[Memory]");
    list.Add(Format("PhysMemTotal=%d", {FPhysicalTotal}));
    list.Add(Format("PhysMemFree=%d", {FPhysicalFree}));
    list.Add(Format("PageFileTotal=%d", {FPageFileTotal}));
    list.Add(Format("PageFileFree=%d", {FPageFileFree}));
    list.Add(Format("VirtMemTotal=%d", {FVirtualTotal}));
    list.Add(Format("VirtMemFree=%d", {FVirtualFree}));
    list.Add(Format("AllocGranularity=%d", {FAllocGranularity}));
    list.Add(Format("MinAppAddress=%x", {FMinAppAddress}));
    list.Add(Format("MaxAppAddress=%x", {FMaxAppAddress}));
    list.Add(Format("PageSize=%d", {FPageSize}));
}

void TMemory::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("ExceptionMode", FExceptionMode);
    published.Add("PhysicalTotal", FPhysicalTotal);
    published.Add("PhysicalFree", FPhysicalFree);
    published.Add("VirtualTotal", FVirtualTotal);
    published.Add("VirtualFree", FVirtualFree);
    published.Add("PageFileTotal", FPageFileTotal);
    published.Add("PageFileFree", FPageFileFree);
    published.Add("MemoryLoad", FMemoryLoad);
    published.Add("AllocGranularity", FAllocGranularity);
    published.Add("MaxAppAddress", FMaxAppAddress);
    published.Add("MinAppAddress", FMinAppAddress);
    published.Add("PageSize", FPageSize);
    published.Add("Resources", FResources);
}

}  // namespace torvex::engine
