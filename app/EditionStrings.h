// The program's own resource string tables, one per language edition. Each
// executable registers exactly one of them at start; the window learns its
// edition from the table (string 65242), never from a build switch.
#pragma once

#include <map>
#include <string>

namespace torvex::app {

using StringTable = std::map<unsigned, std::string>;

StringTable DanishStrings();
StringTable NorwegianStrings();
StringTable SwedishStrings();
StringTable FinnishStrings();

// Resource ids the summary window uses.
namespace res {
constexpr unsigned PrintTitle = 65184;       // first line of the printed list
constexpr unsigned PrintDocument = 65185;    // print job title
constexpr unsigned DisplayAdapter = 65200;
constexpr unsigned VideoMemory = 65201;
constexpr unsigned NotStated = 65202;
constexpr unsigned DirectXVersion = 65203;
constexpr unsigned ScreenResolution = 65204;
constexpr unsigned Modem = 65205;
constexpr unsigned Mouse = 65206;
constexpr unsigned Keyboard = 65207;
constexpr unsigned DefaultPrinter = 65208;
constexpr unsigned Printer = 65209;
constexpr unsigned Drive = 65210;
constexpr unsigned FreeOf = 65211;
constexpr unsigned DiskSpace = 65212;
constexpr unsigned NetworkDriveSpace = 65213;
constexpr unsigned InstalledPrograms = 65214;
constexpr unsigned SoftwarePublisher = 65215;
constexpr unsigned NetworkCard = 65216;
constexpr unsigned LocalMachineName = 65217;
constexpr unsigned IPAddress = 65218;
constexpr unsigned MACAddress = 65219;
constexpr unsigned Memory = 65220;
constexpr unsigned MB = 65221;
constexpr unsigned GB = 65222;
constexpr unsigned MBRam = 65223;
constexpr unsigned MBFree = 65224;
constexpr unsigned Type = 65225;
constexpr unsigned SoundCard = 65226;
constexpr unsigned GamePort = 65227;
constexpr unsigned Floppy = 65228;
constexpr unsigned HardDisk = 65229;
constexpr unsigned CDROM = 65230;
constexpr unsigned TapeDrive = 65231;
constexpr unsigned MainSystem = 65239;
constexpr unsigned Processor = 65240;
constexpr unsigned Frequency = 65241;
constexpr unsigned Voltage = 65242;          // also decides the edition
constexpr unsigned Socket = 65243;
constexpr unsigned UpTime = 65244;
constexpr unsigned ExpansionSlot = 65245;
constexpr unsigned WindowsVersion = 65246;
constexpr unsigned RegisteredTo = 65247;
}  // namespace res

}  // namespace torvex::app
