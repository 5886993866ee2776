#include "engine/Zarvo_Printers.h"

#include <string>

#include "platform/classes/Printers.h"

namespace torvex::engine {

void TPrinters::GetInfo() {
    FNames.Clear();
    FPorts.Clear();
    FDefaultIndex = -1;
    classes::TPrinter printer;
    printer.Refresh();
    std::string device, driver, port;
    for (int i = 0; i < static_cast<int>(printer.Printers().size()); ++i) {
        printer.SetPrinterIndex(i);
        printer.GetPrinter(device, driver, port);
        FNames.Add(device);
        FPorts.Add(port);
    }
    // Without a default in the list nothing is selected: the index stays -1.
    if (!printer.SetToDefaultPrinter()) return;
    printer.GetPrinter(device, driver, port);
    for (int i = 0; i < FNames.Count(); ++i)
        if (FNames[i] == device) {
            FDefaultIndex = i;
            break;
        }
}

void TPrinters::Report(TStringList& lines) const {
    lines.Add("[Printers]");
    lines.Add(Format("Count=%d", {FNames.Count()}));
    for (int i = 0; i < FNames.Count(); ++i)
        lines.Add(Format("%s on %s=%d", {FNames[i], i < FPorts.Count() ? FPorts[i] : std::string(),
                                         i == FDefaultIndex ? 1 : 0}));
}

void TPrinters::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Names", FNames);
    published.Add("Ports", FPorts);
    published.Add("DefaultIndex", FDefaultIndex);
}

}  // namespace torvex::engine
