// The class library's printer object: the spooler's printers with their
// ports, and the default printer.
#pragma once

#include <string>
#include <vector>

namespace torvex::classes {

struct TPrinterDevice {
    std::string Device, Driver, Port;
};

class TPrinter {
public:
    // Reads the printer list afresh. On the NT family the local and
    // connected printers are listed by name (information level 4) and each
    // printer's port is asked of the spooler; on the Windows 95 family the
    // local printers come with their ports (level 5).
    void Refresh();
    const std::vector<TPrinterDevice>& Printers() const { return printers_; }
    int PrinterIndex() const { return index_; }
    // Selects a printer of the list; -1 selects none.
    void SetPrinterIndex(int index);
    // The selected printer's device name, driver and port; empty when none
    // is selected.
    void GetPrinter(std::string& device, std::string& driver, std::string& port) const;
    // Selects the default printer: the spooler's default, else the device of
    // WIN.INI's "device" line, matched without letter case. False, with no
    // printer selected, when the default is not in the list.
    bool SetToDefaultPrinter();

private:
    std::vector<TPrinterDevice> printers_;
    int index_ = -1;
};

}  // namespace torvex::classes
