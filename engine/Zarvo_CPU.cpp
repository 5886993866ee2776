#include "engine/Zarvo_CPU.h"

#include "platform/Corvane_Text.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

namespace {

// GetThreadPriority's answer when the priority cannot be read.
constexpr int kThreadPriorityErrorReturn = 0x7FFFFFFF;

// Leaf 1 EDX bit 4: the time-stamp counter exists.
constexpr std::uint32_t kTimeStampCounterFlag = 1u << 4;

cpu::Regs Cpuid(std::uint32_t leaf) {
    // Without the identification instruction every leaf reads as zeros: no
    // vendor, no flags, no caches.
    if (!win32::CpuidAvailable()) return {};
    const win32::CPUIDRegs r = win32::Cpuid(leaf);
    return cpu::Regs{r.eax, r.ebx, r.ecx, r.edx};
}

const cpu::CpuidFn& CpuidOfMachine() {
    static const cpu::CpuidFn fn = [](std::uint32_t leaf) { return Cpuid(leaf); };
    return fn;
}

// The counters of the clock measurement, through the layer.
class Win32Clock : public cpu::ClockSource {
public:
    std::int64_t performanceFrequency() override {
        win32::LARGE_INTEGER f{0};
        if (!win32::QueryPerformanceFrequency(&f)) return 0;
        return f.QuadPart;
    }
    std::int64_t performanceCounter() override {
        win32::LARGE_INTEGER c{0};
        win32::QueryPerformanceCounter(&c);
        return c.QuadPart;
    }
    std::uint32_t timeStampLow() override {
        return static_cast<std::uint32_t>(win32::ReadTimeStampCounter());
    }
    bool raisePriority() override {
        thread_ = win32::GetCurrentThread();
        previous_ = win32::GetThreadPriority(thread_);
        if (previous_ == kThreadPriorityErrorReturn) return false;
        win32::SetThreadPriority(thread_, win32::THREAD_PRIORITY_TIME_CRITICAL);
        return true;
    }
    void restorePriority() override { win32::SetThreadPriority(thread_, previous_); }

private:
    win32::HANDLE thread_ = nullptr;
    int previous_ = 0;
};

}  // namespace

// ------------------------------------------------------------------ TCPUFeatures

bool TCPUFeatures::Flag(std::string_view property) const {
    for (int i = 0; i < cpu::kFeatureCount; ++i)
        if (property == cpu::FeatureTableRow(i).property) return FFlags[std::size_t(i)];
    return false;
}

void TCPUFeatures::GetInfo() {
    const cpu::FeatureWords words = cpu::ReadFeatureWords(CpuidOfMachine());
    for (int i = 0; i < cpu::kFeatureCount; ++i)
        FFlags[std::size_t(i)] = cpu::FeatureSet(cpu::FeatureTableRow(i), words);
}

void TCPUFeatures::Report(TStringList& list) const {
    list.Add("[CPU Features]");
    for (int i = 0; i < cpu::kFeatureCount; ++i)
        list.Add(Format("%s=%d", {cpu::FeatureTableRow(i).reportKey, FFlags[std::size_t(i)]}));
}

void TCPUFeatures::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    // Declaration order: the extended flags first, then the standard ones
    // from the highest bit down.
    static constexpr const char* kOrder[] = {
        "_3DNOW", "EX_3DNOW", "EX_MMX", "TM", "SS", "SSE2", "SSE", "FXSR", "MMX", "ACPI",
        "DS", "CLFSH", "PSN", "PSE36", "PAT", "CMOV", "MCA", "PGE", "MTRR", "SEP",
        "APIC", "CX8", "MCE", "PAE", "MSR", "TSC", "PSE", "DE", "VME", "FPU"};
    for (const char* name : kOrder)
        for (int i = 0; i < cpu::kFeatureCount; ++i)
            if (std::string_view(name) == cpu::FeatureTableRow(i).property)
                p.Add(name, FFlags[std::size_t(i)]);
}

// ------------------------------------------------------------------ TCPUCache

void TCPUCache::GetInfo(int vendor) {
    // Cleared first, so that a failure leaves zeros rather than the last
    // processor's sizes.
    FFacts = cpu::CacheFacts{};
    FFacts = cpu::ReadCaches(vendor, CpuidOfMachine());
}

void TCPUCache::Report(TStringList& list) const {
    list.Add("[CPU Cache]");
    list.Add(Format("Level 1 Data Cache=%d", {FFacts.l1Data}));
    list.Add(Format("Level 1 Instruction Cache=%d", {FFacts.l1Code}));
    list.Add(Format("Level 1 Unified Cache=%d", {FFacts.level1}));
    list.Add(Format("Level 2 Unified Cache=%d", {FFacts.level2}));
    list.Add(Format("Intel Cache Description: %s", {FFacts.intelDescription}));
}

void TCPUCache::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("L1Data", FFacts.l1Data);
    p.Add("L1Code", FFacts.l1Code);
    p.Add("Level1", FFacts.level1);
    p.Add("Level2", FFacts.level2);
    p.Add("IntelDescription", FFacts.intelDescription);
}

// ------------------------------------------------------------------ TCPU

TCPU::TCPU()
    : FFeatures(std::make_unique<TCPUFeatures>()), FCache(std::make_unique<TCPUCache>()) {
    FExceptionMode = emMessage;
}

TCPU::~TCPU() = default;

void TCPU::GetInfo() {
    win32::SYSTEM_INFO info{};
    win32::GetSystemInfo(&info);
    FCount = int(info.dwNumberOfProcessors);

    // The clock is measured only on a processor that says it has a
    // time-stamp counter: on a 486 reading it is an invalid instruction, and
    // a Cyrix 6x86 does not declare one.
    const cpu::Regs leaf1 = Cpuid(1);
    if ((leaf1.edx & kTimeStampCounterFlag) != 0) {
        Win32Clock clock;
        FFrequency = cpu::NormaliseMHz(cpu::MeasureClock(clock).mhz);
    } else {
        FFrequency = 0;
    }

    FSignature = leaf1;
    const cpu::Signature signature = cpu::DecodeSignature(leaf1);
    FFamily = signature.family;
    FType = signature.type;
    FModel = signature.model;
    FStepping = signature.stepping;
    FBrandIndex = signature.brandIndex;

    FVendorSignature = cpu::VendorSignature(Cpuid(0));
    FVendorNumber = cpu::VendorNumber(FVendorSignature);
    FVendor.clear();
    if (FVendorNumber != 0) {
        const cpu::VendorRow& row = cpu::VendorTableRow(FVendorNumber);
        FVendor = row.shortName;
        FVendorEx = row.company;
    }

    GuardedCall(GetInfoLabel(*FFeatures), FExceptionMode, &TCPUFeatures::GetInfo, *FFeatures);

    if (FFeatures->PSN()) {
        const cpu::Regs leaf3 = Cpuid(3);
        FSerialNumber = cpu::SerialNumberText(leaf1.eax, leaf3.edx, leaf3.ecx);
    }

    FBrandString = cpu::BrandString(CpuidOfMachine());
    FFDIVBug = cpu::DivisionFlawPresent();

    GuardedCall(FVendorNumber, GetInfoLabel(*FCache), FExceptionMode, &TCPUCache::GetInfo, *FCache);

    const cpu::NameEntry name = cpu::LookupName(FVendorNumber, signature, FCache->Level2(), FFrequency);
    FVendorID = name.name;
    FCodeName = name.codeName;
    FTransistors = int(name.transistors);
    if (platform::FactTraceEnabled()) {
        if (FVendorID.empty())
            platform::TraceFact("processor", Format("no row of the processor names knows vendor %d family %d model %d "
                                                    "stepping %d, so VendorID and CodeName stay empty",
                                                    {FVendorNumber, FFamily, FModel, FStepping}));
        if (!FFeatures->PSN())
            platform::TraceFact("processor", "the processor has no serial-number feature (CPUID 1, EDX bit 18), "
                                             "so SerialNumber stays empty");
    }
}

void TCPU::Report(TStringList& list) const {
    list.Add("[CPU]");
    list.Add(Format("Count=%d", {FCount}));
    list.Add(Format("Frequency=%d", {FFrequency}));
    list.Add(Format("VendorID=%s", {FVendorID}));
    list.Add(Format("Vendor=%s", {FVendor}));
    list.Add(Format("Family=%d", {FFamily}));
    list.Add(Format("Model=%d", {FModel}));
    list.Add(Format("Stepping=%d", {FStepping}));
    list.Add(Format("CodeName=%s", {FCodeName}));
    list.Add(Format("Transistors=%d", {FTransistors}));
    list.Add(Format("SerialNumber=%s", {FSerialNumber}));
    list.Add(Format("FDIVBug=%d", {FFDIVBug}));
    list.Add("[CPUID_CPUSIGNATURE]");
    list.Add(Format("EAX=%8.8x", {FSignature.eax}));
    list.Add(Format("EBX=%8.8x", {FSignature.ebx}));
    list.Add(Format("ECX=%8.8x", {FSignature.ecx}));
    list.Add(Format("EDX=%8.8x", {FSignature.edx}));
    FFeatures->Report(list);
    FCache->Report(list);
}

void TCPU::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("ExceptionMode", FExceptionMode);
    p.Add("Count", FCount);
    p.Add("VendorEx", FVendorEx);
    p.Add("VendorID", FVendorID);
    p.Add("Frequency", FFrequency);
    p.Add("Family", FFamily);
    p.Add("Stepping", FStepping);
    p.Add("Model", FModel);
    p.Add("Features", FFeatures);
    p.Add("Cache", FCache);
    p.Add("SerialNumber", FSerialNumber);
    p.Add("FDIVBug", FFDIVBug);
    p.Add("CodeName", FCodeName);
}

}  // namespace torvex::engine
