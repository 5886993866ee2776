// What the processor's identification registers mean.
//
// Raw registers in, decoded facts out: every function here is pure apart from
// the CPUID answers it asks for through the caller's function, so that the
// same knowledge serves the live processor, a simulated one and a recorded
// register dump. The knowledge itself (vendors, names, code names, transistor
// counts, cache descriptors) is held in tables in CpuKnowledge.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace torvex::cpu {

struct Regs {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// Executes CPUID for one leaf (sub-leaf 0).
using CpuidFn = std::function<Regs(std::uint32_t leaf)>;

// ------------------------------------------------------------------ vendor

struct VendorRow {
    const char* signature;   // the 12 characters of leaf 0
    const char* shortName;   // `Vendor`
    const char* company;     // `VendorEx`
};
constexpr int kVendorCount = 7;
// Row n (1..7) is vendor number n.
const VendorRow& VendorTableRow(int number);

// The 12 characters of EBX, EDX, ECX of leaf 0, as the processor writes them.
std::string VendorSignature(const Regs& leaf0);
// 1..7, or 0 for a signature the table does not know (exact comparison).
int VendorNumber(std::string_view signature);

constexpr int kVendorIntel = 1;
constexpr int kVendorAMD = 2;
constexpr int kVendorCyrix = 3;

// ------------------------------------------------------------------ signature

struct Signature {
    int family = 0, model = 0, stepping = 0;
    int type = 0;         // 0 original OEM, 1 OverDrive, 2 second processor
    int brandIndex = 0;
};
Signature DecodeSignature(const Regs& leaf1);

// ------------------------------------------------------------------ names

struct NameEntry {
    std::string name;        // `VendorID`
    std::string codeName;    // `CodeName`
    std::uint32_t transistors = 0;
};
// The model name, code name and transistor count of a processor. level2KB and
// mhz are consulted only by the rows that need them; an unknown combination
// gives empty texts and 0 (but an Intel OverDrive still gets " OverDrive").
NameEntry LookupName(int vendor, const Signature& signature, int level2KB, int mhz);

// ------------------------------------------------------------------ leaves

// True when leaf 0x80000000 answered `highestExtended` and that promises
// `leaf`. Old Intel processors answer leaf 0x80000000 with their highest
// basic leaf's EAX (03020101h, or the signature), so only a value inside the
// extended range 80000000h-8000FFFFh counts; the comparison is unsigned.
bool ExtendedLeafAvailable(std::uint32_t highestExtended, std::uint32_t leaf);

// The 48 characters of leaves 0x80000002..0x80000004 (EAX, EBX, ECX, EDX of
// each), kept whole with leading blanks and zero characters. Empty when the
// processor has no brand-string leaves: asking for them anyway returns
// another leaf's registers on Intel processors before the late Pentium 4.
std::string BrandString(const CpuidFn& cpuid);

// "XXXX-XXXX-XXXX-XXXX-XXXX-XXXX" from leaf 1 EAX, leaf 3 EDX, leaf 3 ECX.
std::string SerialNumberText(std::uint32_t leaf1Eax, std::uint32_t leaf3Edx,
                             std::uint32_t leaf3Ecx);

// ------------------------------------------------------------------ features

// Where a flag comes from.
enum class FeatureSource { Standard, Extended };

struct FeatureRow {
    const char* reportKey;    // "Built-In FPU"
    const char* property;     // "FPU"
    FeatureSource source;
    std::uint32_t mask;       // the flag is set when any of these bits is
};
constexpr int kFeatureCount = 30;
// The flags in the order of the report ("Built-In FPU" first).
const FeatureRow& FeatureTableRow(int index);

// EDX of leaf 1 and EDX of leaf 0x80000001, the latter 0 when the processor
// has no such leaf (an old Intel processor would answer with another leaf's
// registers, whose bits mean nothing here).
struct FeatureWords {
    std::uint32_t standard = 0, extended = 0;
};
FeatureWords ReadFeatureWords(const CpuidFn& cpuid);
bool FeatureSet(const FeatureRow& row, const FeatureWords& words);
// Leaf 1 EDX bit 18: the processor serial number is present and enabled.
constexpr std::uint32_t kSerialNumberFlag = std::uint32_t(1) << 18;

// ------------------------------------------------------------------ caches

struct CacheFacts {
    int l1Data = 0, l1Code = 0, level1 = 0, level2 = 0;   // KB
    std::string intelDescription;
};

// The sixteen descriptor bytes of leaf 2 (EAX, EBX, ECX, EDX, each from its
// low byte up) read against the descriptor tables.
CacheFacts DecodeIntelDescriptors(const Regs& leaf2);
// The text of one descriptor byte, nullptr when the table has none.
const char* DescriptorText(std::uint8_t descriptor);

// The cache sizes by vendor number: Intel from leaf 2 (only when the
// processor's highest basic leaf reaches 2: a Pentium answers leaf 2 with
// leaf 1's registers), AMD and Cyrix from leaf 0x80000005, others none.
CacheFacts ReadCaches(int vendor, const CpuidFn& cpuid);

// ------------------------------------------------------------------ clock

// Round to nearest, halves to even.
std::int64_t RoundHalfEven(double value);

// Moves a measured clock to the nearest usual ending of its hundred
// (x00, x20, x33, x50, x60, x66, x80, x90, next x00), the upper one on a tie.
int NormaliseMHz(int mhz);

// The counters the clock measurement reads.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    // Counts per second of the high-resolution counter; 0 when there is none.
    virtual std::int64_t performanceFrequency() = 0;
    virtual std::int64_t performanceCounter() = 0;
    // Low 32 bits of the time-stamp counter.
    virtual std::uint32_t timeStampLow() = 0;
    // Raises the thread to time-critical priority and returns true when its
    // current priority could be read (and so can be restored).
    virtual bool raisePriority() = 0;
    virtual void restorePriority() = 0;
};

struct ClockMeasurement {
    int mhz = 0;      // over all rounds, not normalised
    int rounds = 0;   // rounds counted
};

// The time-stamp counter against the high-resolution counter, in rounds of
// at least 1000 counts until three rounds agree (at most 20 rounds).
ClockMeasurement MeasureClock(ClockSource& source);

// ------------------------------------------------------------------ flaw

// The Pentium's division flaw shows in 4195835 - (4195835 / 3145727) * 3145727
// computed in extended precision: a sound unit gives exactly 0.
bool DivisionFlawPresent();
// The same check with the division done by `divide`: the unit's own division
// in DivisionFlawPresent.
bool DivisionFlawWith(long double (*divide)(long double x, long double y));

}  // namespace torvex::cpu
