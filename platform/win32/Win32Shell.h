// The shell's special folders and its link object (shortcut files), with the
// few component-library calls that reach the link object.
//
// A shell folder is asked of the active machine first; a machine that
// leaves it open is answered from its registry's "User Shell Folders" and
// "Shell Folders" keys, as the shell of Windows reads them.
//
// The link object reads shortcut files in the published shell-link format
// (header, item list, LinkInfo, texts, extra blocks) through a parser that
// checks every length and offset against the file; a damaged file fails to
// load, it never makes the object read outside the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace win32 {

using HRESULT = LONG;
using OLECHAR = wchar_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
// The file is not there: HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND).
constexpr HRESULT HRESULT_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002u);
// The file is no shortcut or is damaged: HRESULT_FROM_WIN32(ERROR_BAD_FORMAT).
constexpr HRESULT HRESULT_BAD_FORMAT = static_cast<HRESULT>(0x8007000Bu);
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
    bool operator==(const GUID&) const = default;
};
using CLSID = GUID;
using IID = GUID;
using REFCLSID = const CLSID&;
using REFIID = const IID&;

inline constexpr IID IID_IUnknown = {0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersist = {0x0000010C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr CLSID CLSID_ShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD STGM_READ = 0x0;

// ---------------------------------------------------------------- component library

// S_OK the first time on a thread, S_FALSE when already initialised; each
// successful call wants one CoUninitialize.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
void CoTaskMemFree(LPVOID memory);

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;   // objects go with their last Release
};

// Creates the shell's link object (the only class this layer serves).
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, LPVOID* object);

// ---------------------------------------------------------------- special folders

constexpr int CSIDL_DESKTOP = 0x00;
constexpr int CSIDL_INTERNET = 0x01;
constexpr int CSIDL_PROGRAMS = 0x02;
constexpr int CSIDL_CONTROLS = 0x03;
constexpr int CSIDL_PRINTERS = 0x04;
constexpr int CSIDL_PERSONAL = 0x05;
constexpr int CSIDL_FAVORITES = 0x06;
constexpr int CSIDL_STARTUP = 0x07;
constexpr int CSIDL_RECENT = 0x08;
constexpr int CSIDL_SENDTO = 0x09;
constexpr int CSIDL_BITBUCKET = 0x0A;
constexpr int CSIDL_STARTMENU = 0x0B;
constexpr int CSIDL_MYMUSIC = 0x0D;
constexpr int CSIDL_MYVIDEO = 0x0E;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x10;
constexpr int CSIDL_DRIVES = 0x11;
constexpr int CSIDL_NETWORK = 0x12;
constexpr int CSIDL_NETHOOD = 0x13;
constexpr int CSIDL_FONTS = 0x14;
constexpr int CSIDL_TEMPLATES = 0x15;
constexpr int CSIDL_COMMON_STARTMENU = 0x16;
constexpr int CSIDL_COMMON_PROGRAMS = 0x17;
constexpr int CSIDL_COMMON_STARTUP = 0x18;
constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 0x19;
constexpr int CSIDL_APPDATA = 0x1A;
constexpr int CSIDL_PRINTHOOD = 0x1B;
constexpr int CSIDL_LOCAL_APPDATA = 0x1C;
constexpr int CSIDL_ALTSTARTUP = 0x1D;
constexpr int CSIDL_COMMON_ALTSTARTUP = 0x1E;
constexpr int CSIDL_COMMON_FAVORITES = 0x1F;
constexpr int CSIDL_INTERNET_CACHE = 0x20;
constexpr int CSIDL_COOKIES = 0x21;
constexpr int CSIDL_HISTORY = 0x22;
constexpr int CSIDL_COMMON_APPDATA = 0x23;
constexpr int CSIDL_WINDOWS = 0x24;
constexpr int CSIDL_SYSTEM = 0x25;
constexpr int CSIDL_PROGRAM_FILES = 0x26;
constexpr int CSIDL_MYPICTURES = 0x27;
constexpr int CSIDL_PROFILE = 0x28;
constexpr int CSIDL_PROGRAM_FILES_COMMON = 0x2B;
constexpr int CSIDL_COMMON_TEMPLATES = 0x2D;
constexpr int CSIDL_COMMON_DOCUMENTS = 0x2E;

// An item identifier list; opaque here. Free with CoTaskMemFree or ILFree.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// Succeeds for every folder the machine has, the virtual ones (control
// panel, printers, my computer, ...) included; E_FAIL for a folder number
// the machine does not know or has no folder for.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// The file-system path of an item list from SHGetSpecialFolderLocation;
// FALSE (and an empty text) for a virtual folder.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);
void ILFree(LPITEMIDLIST list);

// ---------------------------------------------------------------- shell link

constexpr DWORD SLGP_SHORTPATH = 0x1;
constexpr DWORD SLGP_UNCPRIORITY = 0x2;
constexpr DWORD SLGP_RAWPATH = 0x4;
constexpr DWORD SLR_NO_UI = 0x1;

struct WIN32_FIND_DATAA;   // declared with the file functions

struct IShellLinkA : IUnknown {
    // The target: with SLGP_UNCPRIORITY a target on a network share is given
    // as its share path (\\server\share\...), else as the local path (a
    // mapped drive letter) when the link has one. S_FALSE with an empty
    // text for a link without a file-system target. findData may be null.
    virtual HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* findData, DWORD flags) = 0;
    virtual HRESULT GetDescription(LPSTR name, int size) = 0;
    virtual HRESULT GetWorkingDirectory(LPSTR dir, int size) = 0;
    virtual HRESULT GetArguments(LPSTR args, int size) = 0;
    virtual HRESULT GetIconLocation(LPSTR iconPath, int size, int* icon) = 0;
    virtual HRESULT GetShowCmd(int* showCommand) = 0;
    virtual HRESULT GetHotkey(WORD* hotkey) = 0;
    // Looks for the target: S_OK when it exists on the machine, S_FALSE when
    // it does not (the link is left as it is; with SLR_NO_UI nobody is
    // asked).
    virtual HRESULT Resolve(HWND window, DWORD flags) = 0;

protected:
    ~IShellLinkA() = default;
};

struct IPersistFile : IUnknown {
    virtual HRESULT GetClassID(CLSID* clsid) = 0;
    virtual HRESULT IsDirty() = 0;
    // Loads a shortcut file (a Windows path of the machine).
    virtual HRESULT Load(LPCOLESTR fileName, DWORD mode) = 0;
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT SaveCompleted(LPCOLESTR fileName) = 0;

protected:
    ~IPersistFile() = default;
};

// ---------------------------------------------------------------- text conversion

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
// The layer's texts are UTF-8, so both code pages read UTF-8 here.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPOLESTR wide, int size);

}  // namespace win32

namespace torvex::platform {

// What a shortcut file holds, texts in UTF-8.
struct ShellLinkData {
    std::uint32_t linkFlags = 0, fileAttributes = 0;
    std::string localPath;       // LinkInfo: local base path + common path suffix
    std::string networkPath;     // LinkInfo: share name + "\" + common path suffix
    std::string deviceName;      // LinkInfo: the drive letter the share is mapped to ("Z:")
    std::string idListPath;      // the target item list as a path, when it spells one
    std::string environmentTarget;   // the target with %VARIABLES% unexpanded
    std::string description, relativePath, workingDirectory, arguments, iconLocation;
    std::int32_t iconIndex = 0;
    std::uint32_t showCommand = 1;
    std::uint16_t hotkey = 0;
};

// Parses a shortcut file. ANSI texts are read in the given code page (1252
// for a Western PC; a UTF-8 machine reads them as 1252 as well when they
// are not UTF-8, which is what a shortcut made on such a PC holds). On
// failure returns false and error names the place ("LinkInfo at offset 0x4C
// claims 600 bytes, the file has 459").
bool ParseShellLink(const std::vector<std::uint8_t>& file, unsigned codePage, ShellLinkData& link,
                    std::string& error);

}  // namespace torvex::platform
