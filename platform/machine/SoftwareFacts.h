// What a machine knows about its printers, installed programs and the
// programs it starts on its own, beyond what its registry and files hold.
#pragma once

#include <string>
#include <vector>

namespace torvex::platform {

// One printer of the print spooler.
struct PrinterFacts {
    std::string name;     // the device name programs select it by
    std::string port;     // "LPT1:", "USB001", a device address; never a secret
    std::string driver;   // the driver's name, "" when unknown
    bool network = false; // a connection to another computer's printer
};

// The spooler's printers in its own order, and the default's name ("" when
// there is none; it need not be in the list).
struct SpoolerFacts {
    std::vector<PrinterFacts> printers;
    std::string defaultPrinter;
};

// A shortcut file that a folder shows although no such file is stored: the
// machine describes it, and the shell's link object reads it like a stored
// one.
struct ShortcutFile {
    std::string fileName;   // "Notes.lnk"
    std::string target;     // drive-letter path of the program
    std::string arguments;
    std::string workingDirectory;
    std::string description;
};

}  // namespace torvex::platform
