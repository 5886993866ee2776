// The firmware's System Management BIOS tables.
//
// TSMBIOS reads the 64 KB firmware segment F0000h-FFFFFh, finds the SMBIOS
// entry point in it and decodes the structure table into firmware, system,
// board, chassis, processor, memory-module, port, slot and cache data. The
// decoder works on the image alone: it reads nothing outside the buffer, so
// any 64 KB image of the segment (a real one, a damaged one, one written for
// a simulated PC) decodes the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"

namespace torvex::engine {

// The memory-type bits of a module: bit n set means type n of the table
// (0 "Other", 1 "Unknown", 2 "Standard", 3 "FastPageMode", 4 "EDO",
// 6 "ECC", 7 "SIMM", 8 "DIMM", 9 "BurstEDO", 10 "SDRAM").
using TMemoryTypes = std::uint16_t;

struct TMemoryBank {
    std::string Socket;
    std::uint8_t Speed = 0;       // ns (memory-module structures)
    TMemoryTypes Types = 0;
    std::uint32_t Size = 0;       // MB
    // A module known only from a memory-device structure gives its clock
    // (MHz, or MT/s for double data rate memory) instead of an access time.
    std::uint16_t SpeedMHz = 0;
};

struct TPort {
    std::string Designator;
    std::uint8_t Connector = 0;   // index into the connector table
    std::uint8_t PortType = 0;    // index into the port-type table
};

struct TSlot {
    std::string Designation;
    std::uint8_t SlotType = 0;   // index into the slot-type table
    std::uint8_t DataBus = 0;    // index into the bus-width table
    std::uint16_t SlotID = 0;
};

struct TCache {
    std::string Designation;
    std::uint32_t MaxSize = 0;         // KB
    std::uint32_t InstalledSize = 0;   // KB
    std::uint8_t SRAMType = 0;         // index into the SRAM-type table
    std::uint8_t CacheType = 0;
    std::uint8_t Associativity = 0;
    std::uint8_t Speed = 0;            // ns
};

struct TStructTable {
    std::uint32_t Address = 0;
    std::uint8_t Type = 0;
    std::uint8_t Length = 0;
    std::uint16_t Handle = 0;
    std::string Name;
};
using TStructTables = std::vector<TStructTable>;

// The name tables; an index outside a table gives "".
//
// Port types, connectors and slot types are held as 8-bit indexes whose
// first entries are the old tables' (0-34, 0-39, 0-21); the codes those
// tables did not know take the indexes left free, so that every code of
// the standard has an index and a name of its own. The *Index functions
// give the index of a structure's code byte.
std::string StructureTypeName(int type);   // "Unknown" for a type not in the table
std::string ChassisTypeName(int value);
std::string ProcessorUpgradeName(int value);
std::string MemoryTypeText(TMemoryTypes types);   // "EDO,SIMM"
std::string PortTypeName(int index);
std::string ConnectorName(int index);
std::string SlotTypeName(int index);
std::string SlotDataBusName(int index);
std::string SRAMTypeName(int index);
std::string CacheTypeName(int index);
std::string CacheAssociativityName(int index);
std::uint8_t PortTypeIndex(std::uint8_t code);
std::uint8_t ConnectorIndex(std::uint8_t code);
std::uint8_t SlotTypeIndex(std::uint8_t code);

class TSMBIOS : public TPersistent {
public:
    static constexpr std::uint32_t kSegmentBase = 0xF0000;
    static constexpr std::uint32_t kSegmentEnd = 0xFFFFF;
    static constexpr std::size_t kImageSize = 0x10000;
    // How long the 16-bit dump program may run before it is given up. The
    // program reads 64 KB and ends at once; a child that has not ended by
    // then hangs (an error box in the DOS box, a blocked console) and must
    // not hang the refresh with it.
    static constexpr std::uint32_t kDumpProgramTimeoutMs = 10000;

    TSMBIOS();

    // mode 1: read a fresh image of the segment, then decode; any other
    // mode decodes the image kept from before.
    void GetInfo(int mode);
    void Report(TStringList& list) const;

    // Replaces the kept image (read successfully) without decoding it; a
    // following GetInfo with any mode but 1 decodes it. An image of another
    // size than 64 KB is cut or padded with zeros.
    void SetImage(const std::vector<std::uint8_t>& image);
    const std::vector<std::uint8_t>& Image() const { return image_; }

    // The entry point and the walk.
    std::uint32_t EntryPoint() const { return entryPoint_; }
    std::uint32_t TableAddress() const { return tableAddress_; }
    std::uint16_t TableLength() const { return tableLength_; }
    std::uint16_t StructureCount() const { return structureCount_; }
    const std::string& Version() const { return version_; }
    const TStructTables& Structures() const { return structures_; }

    const std::string& BIOSVendor() const { return FBIOSVendor; }
    const std::string& BIOSVersion() const { return FBIOSVersion; }
    const std::string& BIOSDate() const { return FBIOSDate; }
    std::uint32_t BIOSSize() const { return FBIOSSize; }
    const std::string& SystemManufacturer() const { return FSystemManufacturer; }
    const std::string& SystemModel() const { return FSystemModel; }
    const std::string& SystemVersion() const { return FSystemVersion; }
    const std::string& SystemSerial() const { return FSystemSerial; }
    const std::string& SystemUUID() const { return FSystemUUID; }
    const std::string& MainBoardManufacturer() const { return FMainBoardManufacturer; }
    const std::string& MainBoardModel() const { return FMainBoardModel; }
    const std::string& MainBoardVersion() const { return FMainBoardVersion; }
    const std::string& MainBoardSerial() const { return FMainBoardSerial; }
    const std::string& ChassisModel() const { return FChassisModel; }
    const std::string& ChassisManufacturer() const { return FChassisManufacturer; }
    const std::string& ChassisVersion() const { return FChassisVersion; }
    const std::string& ChassisSerial() const { return FChassisSerial; }
    const std::string& CPUSocket() const { return FCPUSocket; }
    const std::string& CPUManufacturer() const { return FCPUManufacturer; }
    const std::string& CPUVersion() const { return FCPUVersion; }
    const std::string& CPUUpgrade() const { return FCPUUpgrade; }
    double CPUVoltage() const { return FCPUVoltage; }
    std::uint16_t CPUExternalClock() const { return FCPUExternalClock; }
    std::uint16_t CPUClock() const { return FCPUClock; }

    // Every record is kept: a server or a virtual machine lists hundreds
    // of caches, processors and slots, more than an 8-bit count holds.
    int MemorySlotCount() const { return int(memory_.size()); }
    int PortCount() const { return int(ports_.size()); }
    int SystemSlotCount() const { return int(slots_.size()); }
    int CacheCount() const { return int(caches_.size()); }
    // The n-th record; an empty record outside the list.
    TMemoryBank MemoryBank(int n) const;
    TPort Port(int n) const;
    TSlot SystemSlot(int n) const;
    TCache Cache(int n) const;

protected:
    void PublishProperties(TPublished& published) const override;

private:
    bool ReadImage();
    bool ReadDirect();
    bool ReadSection();
    bool ReadWithDumpProgram();
    void Clear();
    void FindEntryPoint(bool imageRead);
    void Walk();
    void Decode();
    void MemoryDevicesAsModules();

    std::uint8_t ByteAt(std::uint32_t address) const;
    std::uint16_t WordAt(std::uint32_t address) const;
    std::uint32_t DWordAt(std::uint32_t address) const;
    // The string whose number the byte at structure + field holds: strings
    // are numbered from 1 in the set behind the formatted area. Number 0,
    // a number beyond the set and a string that runs out of the segment
    // give "".
    std::string StringOf(std::uint32_t structure, std::uint8_t field) const;
    const TStructTable* First(std::uint8_t type) const;
    bool Decodable(const TStructTable& s) const;

    std::vector<std::uint8_t> image_;
    bool imageRead_ = false;

    std::uint32_t entryPoint_ = 0, tableAddress_ = 0;
    std::uint16_t tableLength_ = 0, structureCount_ = 0;
    std::string version_;
    TStructTables structures_;
    std::vector<TMemoryBank> memory_;
    std::vector<TPort> ports_;
    std::vector<TSlot> slots_;
    std::vector<TCache> caches_;

    std::string FBIOSVendor, FBIOSVersion, FBIOSDate;
    std::uint32_t FBIOSSize = 0;
    std::string FSystemManufacturer, FSystemModel, FSystemVersion, FSystemSerial, FSystemUUID;
    std::string FMainBoardManufacturer, FMainBoardModel, FMainBoardVersion, FMainBoardSerial;
    std::string FChassisModel, FChassisManufacturer, FChassisVersion, FChassisSerial;
    std::string FCPUSocket, FCPUManufacturer, FCPUVersion, FCPUUpgrade;
    double FCPUVoltage = 0;
    std::uint16_t FCPUExternalClock = 0, FCPUClock = 0;
};

}  // namespace torvex::engine
