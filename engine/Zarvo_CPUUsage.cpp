#include "engine/Zarvo_CPUUsage.h"

#include <cfenv>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Corvane_Routines.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32CpuLoad.h"

namespace torvex::engine {

namespace {

using namespace win32;

constexpr const char* kCPUUsageStat = "KERNEL\\CPUUsage";

// The native call and the sample buffer the measurement keeps:
// process-wide, so one meter measures at a time. The call is looked up when
// a measurement starts (the module is taken as loaded, never loaded here).
using QueryProc = NTSTATUS (*)(ULONG, LPVOID, ULONG, ULONG*);
QueryProc nativeQuery = nullptr;
QueryProc NativeQuery() { return nativeQuery; }
std::vector<std::uint8_t>& SampleBuffer() {
    static std::vector<std::uint8_t> buffer;
    return buffer;
}

bool NTStart() {
    HMODULE ntdll = GetModuleHandleA("NTDLL.DLL");
    nativeQuery = ntdll ? reinterpret_cast<QueryProc>(GetProcAddress(ntdll, "ZwQuerySystemInformation")) : nullptr;
    QueryProc query = NativeQuery();
    if (!query) return false;
    auto& buffer = SampleBuffer();
    buffer.assign(44, 0);
    NTSTATUS status = query(SystemProcessorPerformanceInformation, buffer.data(), ULONG(buffer.size()), nullptr);
    // The sizes tried: 44, 44, 88, 132 ... until the records fit.
    for (ULONG n = 0; status == STATUS_INFO_LENGTH_MISMATCH && n < 4096;) {
        ++n;
        buffer.assign(std::size_t(n) * 44, 0);
        status = query(SystemProcessorPerformanceInformation, buffer.data(), ULONG(buffer.size()), nullptr);
    }
    if (status != STATUS_SUCCESS) buffer.clear();
    return status == STATUS_SUCCESS;
}

std::int64_t NTSample() {
    auto& buffer = SampleBuffer();
    QueryProc query = NativeQuery();
    if (!query || buffer.size() < 8) return 0;
    query(SystemProcessorPerformanceInformation, buffer.data(), ULONG(buffer.size()), nullptr);
    std::int64_t idle = 0;
    std::memcpy(&idle, buffer.data(), sizeof idle);
    return idle;
}

// Reading or asking the size of a value under a dynamic-data key; the
// reading is what starts and stops a statistic.
bool TouchStatistic(const char* key, const char* name, bool raise) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, key, 0, KEY_READ, &h) != ERROR_SUCCESS) {
        if (raise) throw classes::Exception("Unable to start performance monitoring");
        return false;
    }
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(h, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        RegCloseKey(h);
        if (raise) throw classes::Exception("Unable to read performance data");
        return false;
    }
    std::vector<BYTE> scratch(size + 1);
    bool read = RegQueryValueExA(h, name, nullptr, &type, scratch.data(), &size) == ERROR_SUCCESS;
    RegCloseKey(h);
    return read;
}

std::uint32_t ReadStatistic(const char* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &h) != ERROR_SUCCESS) return 0xFFFFFFFFu;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG r = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(h);
    return r == ERROR_SUCCESS && size == sizeof value ? value : 0xFFFFFFFFu;
}

}  // namespace

std::uint32_t LoadFromIdleTime(std::int64_t idleDelta, std::uint32_t intervalMs) {
    double seconds = double(intervalMs) / 1000.0;
    if (seconds <= 0) return 0;
    double load = (10000000.0 - double(idleDelta) / seconds) / 10000000.0 * 100.0;
    int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double rounded = std::nearbyint(load);
    std::fesetround(previous);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(rounded));
}

TCorvaneCPUUsage::TCorvaneCPUUsage(TComponent* owner) : TComponent(owner), FTimer(std::make_unique<classes::TTimer>()) {
    FTimer->SetInterval(1000);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = [this](TObject* sender) { TimerTick(sender); };
}

TCorvaneCPUUsage::~TCorvaneCPUUsage() {
    FTimer.reset();
    if (FStarted) Stop();
}

bool TCorvaneCPUUsage::Active() const { return FTimer->Enabled(); }

void TCorvaneCPUUsage::SetActive(bool active) {
    if (!active) {
        if (FStarted) Stop();
        FStarted = false;
        FTimer->SetEnabled(false);
        return;
    }
    if (platform::routines::IsNT) {
        FStarted = NTStart();
        // The first tick measures against this sample, so that its value is
        // already the load of the first interval.
        if (FStarted) FCurrent = NTSample();
    } else {
        FStarted = TouchStatistic("PerfStats\\StartStat", kCPUUsageStat, true);
    }
    FTimer->SetEnabled(FStarted);
}

std::uint32_t TCorvaneCPUUsage::Interval() const { return FTimer->Interval(); }

void TCorvaneCPUUsage::SetInterval(std::uint32_t milliseconds) { FTimer->SetInterval(milliseconds); }

void TCorvaneCPUUsage::Stop() {
    if (platform::routines::IsNT)
        SampleBuffer().clear();
    else
        TouchStatistic("PerfStats\\StopStat", kCPUUsageStat, false);
}

void TCorvaneCPUUsage::TimerTick(TObject*) {
    std::uint32_t value;
    if (platform::routines::IsNT) {
        FPrevious = FCurrent;
        FCurrent = NTSample();
        value = LoadFromIdleTime(FCurrent - FPrevious, FTimer->Interval());
    } else {
        value = ReadStatistic(kCPUUsageStat);
    }
    if (OnInterval) OnInterval(this, value);
}

void TCorvaneCPUUsage::PublishProperties(TPublished& published) const {
    TComponent::PublishProperties(published);
    published.AddGetter("Active", [this] { return Active(); });
    published.AddGetter("Interval", [this] { return Interval(); });
}

}  // namespace torvex::engine
