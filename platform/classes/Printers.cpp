#include "platform/classes/Printers.h"

#include "platform/classes/SysUtils.h"
#include "platform/win32/Win32Print.h"

namespace torvex::classes {

namespace {

// The records of one enumeration, or none.
std::vector<win32::BYTE> Enumerate(win32::DWORD flags, win32::DWORD level, win32::DWORD& count) {
    // A buffer that holds any ordinary list at once, so that the spooler is
    // asked once; a longer list is asked for again with the size it needs.
    std::vector<win32::BYTE> buffer(16384);
    win32::DWORD needed = 0;
    count = 0;
    if (win32::EnumPrintersA(flags, nullptr, level, buffer.data(), static_cast<win32::DWORD>(buffer.size()), &needed,
                             &count))
        return buffer;
    if (needed <= buffer.size()) return {};
    buffer.assign(needed, 0);
    if (!win32::EnumPrintersA(flags, nullptr, level, buffer.data(), needed, &needed, &count)) {
        count = 0;
        return {};
    }
    return buffer;
}

std::string Text(const char* s) { return s ? s : ""; }

// A printer's port as its spooler record says (level 5).
std::string PortOf(const std::string& name) {
    win32::HANDLE printer = nullptr;
    std::string copy = name;
    if (!win32::OpenPrinterA(copy.data(), &printer, nullptr)) return {};
    std::string port;
    win32::DWORD needed = 0;
    win32::GetPrinterA(printer, 5, nullptr, 0, &needed);
    if (needed > 0) {
        std::vector<win32::BYTE> buffer(needed);
        if (win32::GetPrinterA(printer, 5, buffer.data(), needed, &needed))
            port = Text(reinterpret_cast<const win32::PRINTER_INFO_5A*>(buffer.data())->pPortName);
    }
    win32::ClosePrinter(printer);
    return port;
}

}  // namespace

void TPrinter::Refresh() {
    printers_.clear();
    index_ = -1;
    win32::OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    bool nt = win32::GetVersionExA(&v) && v.dwPlatformId == win32::VER_PLATFORM_WIN32_NT;
    win32::DWORD count = 0;
    if (nt) {
        auto buffer = Enumerate(win32::PRINTER_ENUM_LOCAL | win32::PRINTER_ENUM_CONNECTIONS, 4, count);
        const auto* records = reinterpret_cast<const win32::PRINTER_INFO_4A*>(buffer.data());
        for (win32::DWORD i = 0; i < count; ++i) printers_.push_back({Text(records[i].pPrinterName), "", ""});
        // Level 4 carries no port: each printer's own record has it.
        for (auto& p : printers_) p.Port = PortOf(p.Device);
    } else {
        auto buffer = Enumerate(win32::PRINTER_ENUM_LOCAL, 5, count);
        const auto* records = reinterpret_cast<const win32::PRINTER_INFO_5A*>(buffer.data());
        for (win32::DWORD i = 0; i < count; ++i)
            printers_.push_back({Text(records[i].pPrinterName), "", Text(records[i].pPortName)});
    }
}

void TPrinter::SetPrinterIndex(int index) {
    index_ = index >= 0 && index < static_cast<int>(printers_.size()) ? index : -1;
}

void TPrinter::GetPrinter(std::string& device, std::string& driver, std::string& port) const {
    device.clear();
    driver.clear();
    port.clear();
    if (index_ < 0) return;
    device = printers_[index_].Device;
    driver = printers_[index_].Driver;
    port = printers_[index_].Port;
}

bool TPrinter::SetToDefaultPrinter() {
    win32::DWORD count = 0;
    auto buffer = Enumerate(win32::PRINTER_ENUM_DEFAULT, 5, count);
    std::string device;
    if (count > 0) {
        device = Text(reinterpret_cast<const win32::PRINTER_INFO_5A*>(buffer.data())->pPrinterName);
    } else {
        char line[80] = {};
        win32::GetProfileStringA("windows", "device", "", line, sizeof line - 1);
        device = line;
        device = device.substr(0, device.find(','));
    }
    index_ = -1;
    for (std::size_t i = 0; i < printers_.size(); ++i)
        if (AnsiSameText(printers_[i].Device, device)) {
            index_ = static_cast<int>(i);
            return true;
        }
    return false;
}

}  // namespace torvex::classes
