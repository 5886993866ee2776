// The processor: count, measured clock, vendor, family/model/stepping, model
// and code name, brand string, serial number, the division flaw, the feature
// flags (TCPUFeatures) and the cache sizes (TCPUCache).
//
// Everything is read through the Win32-shaped layer: the identification
// instruction, the time-stamp counter against the performance counter, and
// GetSystemInfo for the processor count. The meaning of the registers lives
// in engine/cpu/CpuKnowledge.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/Zarvo_Common.h"
#include "engine/cpu/CpuKnowledge.h"
#include "platform/classes/Classes.h"

namespace torvex::engine {

class TCPUFeatures : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& list) const;

#define TORVEX_CPU_FLAG(Name) \
    bool Name() const { return Flag(#Name); }
    TORVEX_CPU_FLAG(_3DNOW)
    TORVEX_CPU_FLAG(EX_3DNOW)
    TORVEX_CPU_FLAG(EX_MMX)
    TORVEX_CPU_FLAG(TM)
    TORVEX_CPU_FLAG(SS)
    TORVEX_CPU_FLAG(SSE2)
    TORVEX_CPU_FLAG(SSE)
    TORVEX_CPU_FLAG(FXSR)
    TORVEX_CPU_FLAG(MMX)
    TORVEX_CPU_FLAG(ACPI)
    TORVEX_CPU_FLAG(DS)
    TORVEX_CPU_FLAG(CLFSH)
    TORVEX_CPU_FLAG(PSN)
    TORVEX_CPU_FLAG(PSE36)
    TORVEX_CPU_FLAG(PAT)
    TORVEX_CPU_FLAG(CMOV)
    TORVEX_CPU_FLAG(MCA)
    TORVEX_CPU_FLAG(PGE)
    TORVEX_CPU_FLAG(MTRR)
    TORVEX_CPU_FLAG(SEP)
    TORVEX_CPU_FLAG(APIC)
    TORVEX_CPU_FLAG(CX8)
    TORVEX_CPU_FLAG(MCE)
    TORVEX_CPU_FLAG(PAE)
    TORVEX_CPU_FLAG(MSR)
    TORVEX_CPU_FLAG(TSC)
    TORVEX_CPU_FLAG(PSE)
    TORVEX_CPU_FLAG(DE)
    TORVEX_CPU_FLAG(VME)
    TORVEX_CPU_FLAG(FPU)
#undef TORVEX_CPU_FLAG

    // A flag by its property name ("SSE2"); false for an unknown name.
    bool Flag(std::string_view property) const;

protected:
    void PublishProperties(TPublished& p) const override;

private:
    std::array<bool, cpu::kFeatureCount> FFlags{};   // in report order
};

class TCPUCache : public TPersistent {
public:
    // vendor: the processor's vendor number (1 Intel, 2 AMD, 3 Cyrix ...).
    void GetInfo(int vendor);
    void Report(TStringList& list) const;

    int L1Data() const { return FFacts.l1Data; }
    int L1Code() const { return FFacts.l1Code; }
    int Level1() const { return FFacts.level1; }
    int Level2() const { return FFacts.level2; }
    const std::string& IntelDescription() const { return FFacts.intelDescription; }

protected:
    void PublishProperties(TPublished& p) const override;

private:
    cpu::CacheFacts FFacts;
};

class TCPU : public TPersistent {
public:
    TCPU();
    ~TCPU() override;

    void GetInfo();
    void Report(TStringList& list) const;

    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    void SetExceptionMode(TExceptionMode mode) { FExceptionMode = mode; }

    int Count() const { return FCount; }
    const std::string& VendorEx() const { return FVendorEx; }
    const std::string& VendorID() const { return FVendorID; }
    int Frequency() const { return FFrequency; }
    int Family() const { return FFamily; }
    int Stepping() const { return FStepping; }
    int Model() const { return FModel; }
    TCPUFeatures& Features() const { return *FFeatures; }
    TCPUCache& Cache() const { return *FCache; }
    const std::string& SerialNumber() const { return FSerialNumber; }
    bool FDIVBug() const { return FFDIVBug; }
    const std::string& CodeName() const { return FCodeName; }

    // Public, not published.
    const std::string& Vendor() const { return FVendor; }
    int Transistors() const { return FTransistors; }
    const std::string& BrandString() const { return FBrandString; }

protected:
    void PublishProperties(TPublished& p) const override;

private:
    TExceptionMode FExceptionMode = emMessage;
    int FCount = 0;
    std::string FVendorEx, FVendorID;
    int FFrequency = 0;
    int FFamily = 0, FStepping = 0, FModel = 0;
    std::unique_ptr<TCPUFeatures> FFeatures;
    std::unique_ptr<TCPUCache> FCache;
    std::string FSerialNumber;
    bool FFDIVBug = false;
    std::string FCodeName;

    std::string FVendor;
    int FTransistors = 0;
    std::string FBrandString;

    // Internal state of the last GetInfo.
    std::string FVendorSignature;
    int FVendorNumber = 0;
    int FType = 0;
    int FBrandIndex = 0;
    cpu::Regs FSignature;   // leaf 1, written to the report
};

}  // namespace torvex::engine
