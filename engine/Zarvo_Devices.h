// The device list: one record per hardware device that Windows has
// enumerated, read from the registry and sorted by class name, so that the
// devices of one class stand together.
//
// The engine root owns one list; the multimedia and network categories build
// private ones to find their sound devices and adapters by device class.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/classes/Classes.h"

namespace torvex::engine {

// Index of a device class in the class table (DeviceClassOf).
enum : std::uint8_t {
    dcBattery = 0,
    dcComputer = 1,
    dcDiskDrive = 2,
    dcDisplay = 3,
    dcCDROM = 4,
    dcFDC = 5,
    dcFloppyDisk = 6,
    dcGPS = 7,
    dcHID = 8,
    dcHDC = 9,
    dc1394 = 10,
    dcImage = 11,
    dcInfrared = 12,
    dcKeyboard = 13,
    dcMediumChanger = 14,
    dcMTD = 15,
    dcMouse = 16,
    dcModem = 17,
    dcMonitor = 18,
    dcMultiFunction = 19,
    dcMultiPortSerial = 20,
    dcNet = 21,
    dcLegacyDriver = 22,
    dcNtApm = 23,
    dcUnknown = 24,
    dcPCMCIA = 25,
    dcPorts = 26,
    dcPrinter = 27,
    dcSCSIAdapter = 28,
    dcSmartCardReader = 29,
    dcMEDIA = 30,
    dcVolume = 31,
    dcSystem = 32,
    dcTapeDrive = 33,
    dcTapeController = 34,
    dcTape = 35,
    dcUSB = 36,
};
constexpr int kDeviceClassCount = 37;

// The class table's entry at an index ("Battery" ... "USB"); "" outside it.
const char* DeviceClassName(int index);
// The index of the first table entry with which the class name begins,
// compared without regard to letter case ("NetTrans" -> Net, 21); Unknown
// (24) when none does.
std::uint8_t DeviceClassOf(std::string_view className);

// One device.
struct TDevice {
    std::string ClassName;
    std::string ClassDescription;
    std::string ClassIcon;
    std::string FriendlyName;
    std::string Description;
    std::string ClassGUID;
    std::string Manufacturer;
    std::string Location;
    std::string HardwareID;
    std::string DeviceParameter;
    std::string Driver;
    std::string DriverDate;
    std::string DriverVersion;
    std::string DriverProvider;
    std::string Service;
    std::string ServiceName;
    std::string ServiceGroup;
    std::int32_t ServiceType = 0;
    std::string RegistryKey;
    std::uint8_t DeviceClass = dcUnknown;

    // The name shown for the device: FriendlyName unless it is blank, else
    // Description.
    std::string DisplayName() const;
};

class TDevices : public TPersistent {
public:
    TDevices();
    ~TDevices() override;

    // Frees the records, reads the devices again and sorts them by class.
    void GetInfo();
    // A copy of the record at index (0-based, list order); false (and the
    // record untouched) when there is no such record.
    bool GetDevice(int index, TDevice& device) const;
    void Report(TStringList& lines) const;

    std::int32_t DeviceCount() const { return FDeviceCount; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    void GetInfoNT();
    void GetInfo9x();

    // Class names, each with its owned record.
    TStringList FDevices;
    std::int32_t FDeviceCount = 0;
};

}  // namespace torvex::engine
