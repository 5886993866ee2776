// The programs registered for uninstalling.
#pragma once

#include "platform/classes/Classes.h"

namespace torvex::engine {

class TSoftware : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& lines) const;

    // Display names, in the registry's order; a name may repeat.
    const TStringList& Products() const { return FProducts; }
    // The uninstall command of each product, same index; "" when it has none.
    const TStringList& Uninstalls() const { return FUninstalls; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TStringList FProducts, FUninstalls;
};

}  // namespace torvex::engine
