// The printers of the print spooler with their ports, and which one is the
// default.
#pragma once

#include <cstdint>

#include "platform/classes/Classes.h"

namespace torvex::engine {

class TPrinters : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& lines) const;

    // Device names in the spooler's order.
    const TStringList& Names() const { return FNames; }
    // The port of each printer, same index as Names.
    const TStringList& Ports() const { return FPorts; }
    // Index in Names of the default printer; -1 when it is not listed.
    std::int32_t DefaultIndex() const { return FDefaultIndex; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TStringList FNames, FPorts;
    std::int32_t FDefaultIndex = -1;
};

}  // namespace torvex::engine
