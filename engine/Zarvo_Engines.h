// Installed run-time engines: the ODBC driver manager, the BDE, DAO and ADO
// data-access engines, DirectX with its drivers, and the ASPI layer with the
// SCSI devices it finds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/Zarvo_Common.h"
#include "platform/classes/Classes.h"

namespace torvex::engine {

// How long a posted ASPI request is waited for before its status is taken
// as it stands (pending): a device that never answers must not stop the
// program for good.
constexpr std::uint32_t kAspiRequestWaitMs = 10000;

class TDirectX : public TPersistent {
public:
    TDirectX();
    ~TDirectX() override;
    void GetInfo();
    void Report(TStringList& lines) const;

    const std::string& Version() const { return FVersion; }
    TStringList& Direct3D() const { return *FDirect3D; }
    TStringList& DirectPlay() const { return *FDirectPlay; }
    TStringList& DirectMusic() const { return *FDirectMusic; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    std::string FVersion;
    std::unique_ptr<TStringList> FDirect3D, FDirectPlay, FDirectMusic;
};

// "InstalledVersion" as text: the major number in its first four bytes and
// the minor number in the next four (0 when the value has only four), each
// stored high byte first: 00 00 00 07 -> "7.0", 00 00 00 09 00 00 00 00 ->
// "9.0".
std::string InstalledVersionText(const std::uint8_t* data, std::size_t size);

class TASPI32 : public TPersistent {
public:
    TASPI32();
    ~TASPI32() override;
    void GetInfo();
    void Report(TStringList& lines) const;

    const std::string& ASPI() const { return FASPI; }
    std::uint32_t HostAdapterCount() const { return FHostAdapterCount; }
    TStringList& HostAdapters() const { return *FHostAdapters; }
    TStringList& IDs() const { return *FIDs; }
    TStringList& Vendors() const { return *FVendors; }
    TStringList& Products() const { return *FProducts; }
    TStringList& Revisions() const { return *FRevisions; }
    TStringList& VendorSpecific() const { return *FVendorSpecific; }
    TStringList& Types() const { return *FTypes; }
    TStringList& Statuses() const { return *FStatuses; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    std::string FASPI;
    std::uint32_t FHostAdapterCount = 0;
    std::unique_ptr<TStringList> FHostAdapters, FIDs, FVendors, FProducts, FRevisions, FVendorSpecific, FTypes,
        FStatuses;
};

class TEngines : public TPersistent {
public:
    TEngines();
    ~TEngines() override;
    void GetInfo();
    void Report(TStringList& lines) const;

    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    void SetExceptionMode(TExceptionMode mode) { FExceptionMode = mode; }
    const std::string& ODBC() const { return FODBC; }
    const std::string& BDE() const { return FBDE; }
    const std::string& DAO() const { return FDAO; }
    const std::string& ADO() const { return FADO; }
    TDirectX& DirectX() const { return *FDirectX; }
    TASPI32& ASPI32() const { return *FASPI32; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TExceptionMode FExceptionMode = emRaise;
    std::string FODBC, FBDE, FDAO, FADO;
    std::unique_ptr<TDirectX> FDirectX;
    std::unique_ptr<TASPI32> FASPI32;
};

// The "Version" property of the automation object registered under a
// program identifier; "" when there is no such object.
std::string AutomationVersion(const std::string& progId);

}  // namespace torvex::engine
