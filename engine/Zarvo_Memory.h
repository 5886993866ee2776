// Memory: physical, page file and virtual address space with their free
// amounts, the memory load, page size, allocation granularity and the
// application address range, and the free-resources percentages that
// Windows 9x keeps for its 16-bit heaps (TResources).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/Zarvo_Common.h"
#include "platform/classes/Classes.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

class TResources : public TPersistent {
public:
    TResources();
    // Refreshes the three percentages; a 16-bit USER module that cannot be
    // loaded or asked raises an error.
    void GetInfo();

    std::uint8_t System() const { return FSystem; }
    std::uint8_t GDI() const { return FGDI; }
    std::uint8_t User() const { return FUser; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    // The free-resources percentage for selector 0 (system), 1 (GDI) or
    // 2 (USER); 90 on the NT family, which keeps no such heaps.
    std::uint8_t Query(win32::WORD selector) const;

    win32::QT_ThunkProc FThunk = nullptr;
    std::uint8_t FSystem = 0, FGDI = 0, FUser = 0;
};

class TMemory : public TPersistent {
public:
    TMemory();
    ~TMemory() override;

    void GetInfo();
    void Report(TStringList& list) const;

    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    void SetExceptionMode(TExceptionMode mode) { FExceptionMode = mode; }

    std::int64_t PhysicalTotal() const { return FPhysicalTotal; }
    std::int64_t PhysicalFree() const { return FPhysicalFree; }
    std::int64_t VirtualTotal() const { return FVirtualTotal; }
    std::int64_t VirtualFree() const { return FVirtualFree; }
    std::int64_t PageFileTotal() const { return FPageFileTotal; }
    std::int64_t PageFileFree() const { return FPageFileFree; }
    std::int32_t MemoryLoad() const { return FMemoryLoad; }
    std::int32_t AllocGranularity() const { return FAllocGranularity; }
    std::int32_t MaxAppAddress() const { return FMaxAppAddress; }
    std::int32_t MinAppAddress() const { return FMinAppAddress; }
    std::int32_t PageSize() const { return FPageSize; }
    const TResources& Resources() const { return *FResources; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    using StatusEx = win32::BOOL (*)(win32::MEMORYSTATUSEX*);

    TExceptionMode FExceptionMode = emMessage;
    StatusEx FGlobalMemoryStatusEx = nullptr;
    std::int64_t FPhysicalTotal = 0, FPhysicalFree = 0, FVirtualTotal = 0, FVirtualFree = 0,
                 FPageFileTotal = 0, FPageFileFree = 0;
    std::int32_t FMemoryLoad = 0, FAllocGranularity = 0, FMaxAppAddress = 0, FMinAppAddress = 0,
                 FPageSize = 0;
    std::unique_ptr<TResources> FResources;
};

}  // namespace torvex::engine
