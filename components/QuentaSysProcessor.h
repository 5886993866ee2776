// TQuentaSysProcessor, TQuentaSysWindows and TQuentaSysNetwork: the
// processor with its count and load, the Windows version and registration,
// and the network user, resources and cards. Their facts are read-only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/QuentaSysComponent.h"

namespace torvex::components {

// ---------------------------------------------------------------- processor

class TQuentaProcessorItem : public classes::TCollectionItem {
public:
    explicit TQuentaProcessorItem(classes::TCollection& c) : classes::TCollectionItem(c) {}
    std::string Identifier, VendorIdentifier;
    std::int32_t MHz = -1;   // -1: not recorded

protected:
    void PublishProperties(classes::TPublished& p) const override;
};

class TQuentaProcessorsInfo : public classes::TCollectionOf<TQuentaProcessorItem> {};

class TQuentaSysProcessorObject : public TQuentaSysObject {
public:
    explicit TQuentaSysProcessorObject(TQuentaSysComponent* owner = nullptr);

    std::uint8_t Count() const { return FCount; }
    std::uint8_t ProcessorUsage() const { return FProcessorUsage; }
    const TQuentaProcessorsInfo& ProcessorsInfo() const { return *FProcessorsInfo; }
    const std::string& IDString() const { return FIDString; }
    const std::string& CPUName() const { return FCPUName; }
    std::int32_t Stepping() const { return FStepping; }
    std::int32_t Model() const { return FModel; }
    std::int32_t Family() const { return FFamily; }
    bool FPU() const { return Bit(0); }
    bool TimeStampCoutner() const { return Bit(4); }
    bool MMX() const { return Bit(23); }
    bool SYSCALLandSYSRET() const { return (FExtendedFeatures >> 11) & 1; }
    bool AMD3DNow() const { return (FExtendedFeatures >> 31) & 1; }
    bool ExistCPUInfo() const;

    // Registry processors, identification, then count and load: on the NT
    // family two rounds of the native query 500 ms apart (about a second).
    void Retrieve() override;
    void WriteBack() override {}

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    void Identify();
    void CountAndLoadNT();
    void CountAndLoad9x();
    bool Bit(int n) const { return (FFeatures >> n) & 1; }

    std::uint8_t FCount = 0;
    std::uint8_t FProcessorUsage = 255;
    std::unique_ptr<TQuentaProcessorsInfo> FProcessorsInfo;
    std::string FIDString, FCPUName;
    std::int32_t FStepping = 0, FModel = 0, FFamily = 0;
    std::uint32_t FFeatures = 0, FExtendedFeatures = 0;
};

class TQuentaSysProcessor : public TQuentaSysBaseComponent {
public:
    explicit TQuentaSysProcessor(classes::TComponent* owner = nullptr);
    TQuentaSysProcessorObject& Processor() const { return *FProcessor; }

protected:
    void DoRefresh() override { FProcessor->Retrieve(); }
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::unique_ptr<TQuentaSysProcessorObject> FProcessor;
};

// ---------------------------------------------------------------- Windows

class TQuentaSysWindowsObject : public TQuentaSysObject {
public:
    using TQuentaSysObject::TQuentaSysObject;

    const std::string& RegisteredOwner() const { return FRegisteredOwner; }
    const std::string& RegisteredCompany() const { return FRegisteredCompany; }
    const std::string& ProductName() const { return FProductName; }
    const std::string& ProductID() const { return FProductID; }
    const std::string& InstallDate() const { return FInstallDate; }   // never filled
    const std::string& CSDVersion() const { return FCSDVersion; }
    std::uint32_t PlatformID() const { return FPlatformID; }
    std::uint32_t BuildNumber() const { return FBuildNumber; }
    std::uint32_t MajorVersion() const { return FMajorVersion; }
    std::uint32_t MinorVersion() const { return FMinorVersion; }

    // The registration key is opened with full access: a user without write
    // rights to it keeps the previous texts.
    void Retrieve() override;
    void WriteBack() override {}

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::string FRegisteredOwner, FRegisteredCompany, FProductName, FProductID, FInstallDate, FCSDVersion;
    std::uint32_t FPlatformID = 0, FBuildNumber = 0, FMajorVersion = 0, FMinorVersion = 0;
};

class TQuentaSysWindows : public TQuentaSysBaseComponent {
public:
    explicit TQuentaSysWindows(classes::TComponent* owner = nullptr);
    TQuentaSysWindowsObject& Windows() const { return *FWindows; }

protected:
    void DoRefresh() override { FWindows->Retrieve(); }
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::unique_ptr<TQuentaSysWindowsObject> FWindows;
};

// ---------------------------------------------------------------- network

class TQuentaNetworkCard;

class TQuentaProtocol : public classes::TPersistent {
public:
    explicit TQuentaProtocol(TQuentaNetworkCard& card) : FCard(&card) {}
    TQuentaNetworkCard& Card() const { return *FCard; }
    bool Installed = false;

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    TQuentaNetworkCard* FCard;
};

class TQuentaTCPIP : public TQuentaProtocol {
public:
    using TQuentaProtocol::TQuentaProtocol;
    std::string IPAddress, IPSubnetMask, DefaultGateway;

protected:
    void PublishProperties(classes::TPublished& p) const override;
};

class TQuentaNetBEUI : public TQuentaProtocol {
public:
    using TQuentaProtocol::TQuentaProtocol;
};

class TQuentaIPX : public TQuentaProtocol {
public:
    using TQuentaProtocol::TQuentaProtocol;
    std::string NetworkNumber;

protected:
    void PublishProperties(classes::TPublished& p) const override;
};

class TQuentaNetworkCard : public classes::TCollectionItem {
public:
    explicit TQuentaNetworkCard(classes::TCollection& c);
    std::string Description;
    std::string ServiceName;   // not published
    TQuentaTCPIP& TCPIP() const { return *FTCPIP; }
    TQuentaNetBEUI& NetBEUI() const { return *FNetBEUI; }
    TQuentaIPX& IPX() const { return *FIPX; }

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::unique_ptr<TQuentaTCPIP> FTCPIP;
    std::unique_ptr<TQuentaNetBEUI> FNetBEUI;
    std::unique_ptr<TQuentaIPX> FIPX;
};

class TQuentaNetworkCards : public TQuentaSysCollection {
public:
    TQuentaNetworkCards();
    TQuentaNetworkCard& Add() { return static_cast<TQuentaNetworkCard&>(TQuentaSysCollection::Add()); }
    TQuentaNetworkCard& Items(int i) const { return static_cast<TQuentaNetworkCard&>(TQuentaSysCollection::Items(i)); }
};

class TQuentaSysNetworkObject : public TQuentaSysObject {
public:
    explicit TQuentaSysNetworkObject(TQuentaSysComponent* owner = nullptr);

    const classes::TStringList& ConnectedResources() const { return *FConnectedResources; }
    const classes::TStringList& SharedResources() const { return *FSharedResources; }
    const std::string& UserName() const { return FUserName; }
    const std::string& ComputerName() const { return FComputerName; }
    const TQuentaNetworkCards& NetworkCards() const { return *FNetworkCards; }

    void Retrieve() override;
    void WriteBack() override {}

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    void ReadProtocols(TQuentaNetworkCard& card);

    std::unique_ptr<classes::TStringList> FConnectedResources, FSharedResources;
    std::string FUserName, FComputerName;
    std::unique_ptr<TQuentaNetworkCards> FNetworkCards;
};

class TQuentaSysNetwork : public TQuentaSysBaseComponent {
public:
    explicit TQuentaSysNetwork(classes::TComponent* owner = nullptr);
    TQuentaSysNetworkObject& Network() const { return *FNetwork; }

protected:
    void DoRefresh() override { FNetwork->Retrieve(); }
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::unique_ptr<TQuentaSysNetworkObject> FNetwork;
};

}  // namespace torvex::components
