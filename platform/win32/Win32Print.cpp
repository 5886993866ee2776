// The print spooler over the active machine.
#include "platform/win32/Win32Print.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"

namespace win32 {

using torvex::platform::ActiveMachine;
using torvex::platform::Machine;
using torvex::platform::PrinterFacts;
using torvex::platform::RegKey;
using torvex::platform::RegRoot;
using torvex::platform::SpoolerFacts;
using torvex::platform::Trace;

namespace {

constexpr DWORD VER_PLATFORM_NT = 2;

// The printers and the default as the machine keeps them.
SpoolerFacts ReadSpooler(Machine& m) {
    if (auto s = m.spooler()) return *s;
    SpoolerFacts s;
    if (RegKey* key = m.registry().root(RegRoot::LocalMachine).find(
            "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers")) {
        for (const auto& child : key->children()) {
            PrinterFacts p;
            p.name = child->name();
            if (const auto* v = child->value("Port")) p.port = v->text();
            if (const auto* v = child->value("Printer Driver")) p.driver = v->text();
            s.printers.push_back(std::move(p));
        }
    }
    // "device=NAME,DRIVER,PORT"
    char device[512] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    std::string text = device;
    s.defaultPrinter = std::string(torvex::platform::TrimView(text.substr(0, text.find(','))));
    if (s.defaultPrinter.empty()) Trace("spooler", "no default printer: WIN.INI [windows] has no device line");
    return s;
}

// The last answer of the spooler, which OpenPrinterA looks names up in.
struct Snapshot {
    std::mutex mutex;
    const Machine* machine = nullptr;
    std::vector<PrinterFacts> printers;
    std::string defaultPrinter;
};
Snapshot& Last() {
    static Snapshot s;
    return s;
}

SpoolerFacts Query() {
    auto& m = ActiveMachine();
    SpoolerFacts s = ReadSpooler(m);
    auto& last = Last();
    std::lock_guard lock(last.mutex);
    last.machine = &m;
    last.printers = s.printers;
    last.defaultPrinter = s.defaultPrinter;
    return s;
}

DWORD Attributes(const PrinterFacts& p, const std::string& defaultName) {
    DWORD a = p.network ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL;
    if (!defaultName.empty() && p.name == defaultName) a |= PRINTER_ATTRIBUTE_DEFAULT;
    return a;
}

// Writes records of one level and their texts into a caller's buffer.
BOOL WriteRecords(const std::vector<const PrinterFacts*>& list, const std::string& defaultName, DWORD level,
                  LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    std::size_t record = level == 4 ? sizeof(PRINTER_INFO_4A) : sizeof(PRINTER_INFO_5A);
    std::size_t need = list.size() * record;
    for (const auto* p : list) need += p->name.size() + 1 + (level == 5 ? p->port.size() + 1 : 0);
    if (needed) *needed = static_cast<DWORD>(need);
    if (returned) *returned = 0;
    if (size < need || (need && !buffer)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    char* text = reinterpret_cast<char*>(buffer) + list.size() * record;
    auto put = [&text](const std::string& s) {
        char* at = text;
        std::memcpy(text, s.c_str(), s.size() + 1);
        text += s.size() + 1;
        return at;
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const PrinterFacts& p = *list[i];
        if (level == 4) {
            auto* r = reinterpret_cast<PRINTER_INFO_4A*>(buffer) + i;
            *r = {put(p.name), nullptr, Attributes(p, defaultName)};
        } else {
            auto* r = reinterpret_cast<PRINTER_INFO_5A*>(buffer) + i;
            char* name = put(p.name);
            *r = {name, put(p.port), Attributes(p, defaultName), 15000, 45000};
        }
    }
    if (returned) *returned = static_cast<DWORD>(list.size());
    return TRUE;
}

struct OpenPrinter {
    PrinterFacts printer;
    std::string defaultName;
};
std::mutex handlesMutex;
std::map<HANDLE, std::unique_ptr<OpenPrinter>> handles;

}  // namespace

BOOL EnumPrintersA(DWORD flags, LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    if (level != 4 && level != 5) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    SpoolerFacts s = Query();
    bool nt = ActiveMachine().version().platformId == VER_PLATFORM_NT;
    std::vector<const PrinterFacts*> list;
    if (flags & PRINTER_ENUM_DEFAULT) {
        for (const auto& p : s.printers)
            if (p.name == s.defaultPrinter) {
                list.push_back(&p);
                break;
            }
    } else {
        for (const auto& p : s.printers) {
            // The Windows 95 family lists every installed printer as local.
            DWORD kind = nt && p.network ? PRINTER_ENUM_CONNECTIONS : PRINTER_ENUM_LOCAL;
            bool wanted = (flags & kind) != 0;
            if (wanted) list.push_back(&p);
        }
    }
    return WriteRecords(list, s.defaultPrinter, level, buffer, size, needed, returned);
}

BOOL OpenPrinterA(LPSTR name, HANDLE* printer, LPVOID) {
    if (!printer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *printer = nullptr;
    if (!name) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    auto find = [&](bool& found) {
        auto& last = Last();
        std::lock_guard lock(last.mutex);
        found = false;
        auto opened = std::make_unique<OpenPrinter>();
        if (last.machine != &ActiveMachine()) return opened;
        for (const auto& p : last.printers)
            if (p.name == name) {
                opened->printer = p;
                opened->defaultName = last.defaultPrinter;
                found = true;
                break;
            }
        return opened;
    };
    bool found = false;
    auto opened = find(found);
    if (!found) {
        Query();
        opened = find(found);
    }
    if (!found) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    std::lock_guard lock(handlesMutex);
    HANDLE h = opened.get();
    handles.emplace(h, std::move(opened));
    *printer = h;
    return TRUE;
}

BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    OpenPrinter copy;
    {
        std::lock_guard lock(handlesMutex);
        auto it = handles.find(printer);
        if (it == handles.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        copy = *it->second;
    }
    if (level != 5) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    return WriteRecords({&copy.printer}, copy.defaultName, level, buffer, size, needed, nullptr);
}

BOOL ClosePrinter(HANDLE printer) {
    std::lock_guard lock(handlesMutex);
    if (!handles.erase(printer)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size) {
    return GetPrivateProfileStringA(section, key, defaultText, buffer, size, "WIN.INI");
}

}  // namespace win32
