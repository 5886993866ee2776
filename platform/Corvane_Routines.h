// The general routines the engine objects share, and the platform flags and
// names computed once when the program starts.
//
// Call InitializeRoutines() before any window is created (a test calls it
// again after switching machines). Every routine answers from the active
// machine through the Win32-shaped layer; none shows a message, and one
// that cannot read something answers an empty text, zero or false.
#pragma once

#include <cstdint>
#include <string>

#include "platform/classes/StringList.h"
#include "platform/win32/Win32.h"

namespace torvex::platform::routines {

enum TOSVersion {
    osUnknown,
    osWin95,
    osWin95OSR2,
    osWin98,
    osWin98SE,
    osWinME,
    osWinNT3,
    osWinNT4,
    osWin2000,
    osWinXP,
};

// ---------------------------------------------------------------- platform flags and names

extern TOSVersion OSVersion;
extern bool IsNT, IsWin95, IsOSR2, IsWin98, IsSE, IsME, IsWin2K, IsWinXP;
extern std::string OSName, OSFullName;
// The computer name in upper case.
extern std::string MachineName;
extern std::string UserName;
// The user's profile folder: the desktop folder without its last part.
extern std::string ProfilePath;
// The root of the device classes under HKEY_LOCAL_MACHINE.
extern std::string ClassKey;
// Bytes of physical memory (GlobalMemoryStatus, so at most 4 GB - 1).
extern std::uint32_t TotalPhysicalMemory;
// The file version of the program's own executable.
extern std::string ExeVersion;

// Computes every value above from the active machine.
void InitializeRoutines();

// The running Windows, and its service-pack text (at most 128 characters;
// "Service Pack 6" becomes "Service Pack 6a" on NT 4.0 with hotfix Q246009
// installed).
TOSVersion ClassifyWindowsVersion(std::string& servicePack);
// NT 4.0's "Service Pack 6" is 6a when hotfix Q246009 is installed (its
// "Installed" dword is 1); any other text is returned as it is.
std::string WithHotfixQ246009(const std::string& servicePack);
// The family and full names of a classification.
std::string OSNameOf(TOSVersion version);
std::string OSFullNameOf(TOSVersion version, const std::string& servicePack);

// ---------------------------------------------------------------- file versions

struct TVersionInfo {
    std::string FileName;
    std::string FileVersion;   // "Major.Minor.Release.Build"
    std::string ProductName, CompanyName, Description, Comments, Copyright;
    std::uint32_t Major = 0, Minor = 0, Release = 0, Build = 0;
};

// Fills info from the file's version resource; false when the file has
// none (info then holds only FileName).
bool GetFileVerInfo(const std::string& fileName, TVersionInfo& info);
// The FileVersion text, "" on failure.
std::string GetFileVersion(const std::string& fileName);

// ---------------------------------------------------------------- names and folders

// The computer name; the registry's "ComputerName" value wins when present.
std::string GetMachine();
std::string GetUser();
// The file-system path of a shell folder (CSIDL number), "" when none.
std::string GetSpecialFolder(win32::HWND owner, int folder);
std::string GetWinDir();
std::string GetSysDir();
// Windows directory + ";" + system directory.
std::string GetSearchPath();

// ---------------------------------------------------------------- environment

// Clears list and fills it with the NAME=value entries that end within the
// first 4096 bytes of the environment block.
void GetEnvironment(classes::TStringList& list);
// Replaces, for each environment entry in order, the first "%NAME%"
// (letter case as the entry spells it), else the first "\NAME", by the
// value; what follows a replaced reference keeps at most 1024 characters.
std::string ExpandEnvVars(const std::string& text);
// The program a command line starts: the command expanded, then shortened
// from its end until it names an existing file (quotes around it removed).
// "" when nothing is left.
std::string GetFileFromCommand(const std::string& command);

// ---------------------------------------------------------------- internet

std::string GetDefaultMailClient();
std::string GetDefaultBrowser();
// Active dial-up connections (rasapi32, loaded for the question).
std::uint32_t GetDialupConnectionCount();
// 0 none, 1 LAN (a proxy is configured), 2 dial-up.
int GetConnectionType();
std::string GetProxyServer();

// ---------------------------------------------------------------- devices and drives

// Collects the distinct texts of valueName over the instances of a device
// class. classRoot is ClassKey. On the Windows 95 family the class is the
// key classRoot\className; on NT the first subkey of classRoot whose
// "Class" value names it (any letter case). Returns that key's name ("" when
// none); list receives the texts (it is not cleared first).
std::string GetClassDevices(const std::string& classRoot, const std::string& className,
                            const std::string& valueName, classes::TStringList& list);
// True when the drive answers (a medium is in it); never asks the user.
bool DiskInDrive(char drive);

// A drive as "C:" (at most two characters).
using TDiskSign = std::string;
// The drive kinds, valued as GetDriveType answers.
enum TMediaType { dtUnknown, dtNotExists, dtRemovable, dtFixed, dtRemote, dtCDROM, dtRAMDisk };
enum TFileFlag {
    fsCaseIsPreserved,
    fsCaseSensitive,
    fsUnicodeStoredOnDisk,
    fsPersistentAcls,
    fsFileCompression,
    fsVolumeIsCompressed,
    fsLongFileNames,
    fsEncryptedFileSystemSupport,
    fsObjectIDsSupport,
    fsReparsePointsSupport,
    fsSparseFilesSupport,
    fsDiskQuotasSupport,
};
// A set of TFileFlag: bit n for the flag of value n.
using TFileFlags = std::uint16_t;
inline bool HasFileFlag(TFileFlags flags, TFileFlag flag) { return (flags >> flag) & 1u; }

struct TDiskInfo {
    TDiskSign Sign;
    std::uint8_t MediaType = dtUnknown;
    TFileFlags FileFlags = 0;
    std::uint32_t SectorsPerCluster = 0, BytesPerSector = 0, FreeClusters = 0, TotalClusters = 0;
    std::uint32_t Serial = 0;
    std::int64_t Capacity = 0, FreeSpace = 0;
    std::string VolumeLabel, SerialNumber, FileSystem;
};
// The serial as Windows' tools show it: "1A2B-3C4D".
std::string FormatVolumeSerial(std::uint32_t serial);
// The file flags a volume's flag bits and maximum name length stand for.
TFileFlags FileFlagsOf(std::uint32_t volumeFlags, std::uint32_t maxComponentLength);
// Kind, space and volume of a drive ("C:"). A drive without a medium gives
// its kind and nothing else, and no system dialog; a volume that gives no
// volume information keeps its space figures.
TDiskInfo GetDiskInfo(const TDiskSign& drive);

// ---------------------------------------------------------------- shortcuts and bits

// The target path (network path preferred) and arguments of a shortcut
// file; both empty when it cannot be read.
void ResolveLink(const std::string& shortcut, std::string& target, std::string& arguments);
// True when bit (0-31) of value is set.
bool IsBitOn(std::uint32_t value, int bit);

}  // namespace torvex::platform::routines
