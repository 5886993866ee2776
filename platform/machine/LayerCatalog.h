// What the Win32-shaped layer above the machines implements, as the layer
// itself registers it. A machine whose libraries and exports are exactly
// the layer's own (the live host: nothing else can be called there) answers
// from it, without depending on the layer.
#pragma once

#include <functional>
#include <string>

namespace torvex::platform {

struct LayerCatalog {
    std::function<bool(const std::string& library)> implementsLibrary;
    std::function<bool(const std::string& library, const std::string& function)> implements;
};

// Called by the layer when the program starts.
void RegisterLayerCatalog(LayerCatalog catalog);
// Empty functions until the layer has registered: then nothing is implemented.
bool LayerCatalogHasLibrary(const std::string& library);
bool LayerCatalogHasExport(const std::string& library, const std::string& function);

}  // namespace torvex::platform
