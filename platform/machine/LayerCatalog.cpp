#include "platform/machine/LayerCatalog.h"

namespace torvex::platform {

namespace {
LayerCatalog& Catalog() {
    static LayerCatalog catalog;
    return catalog;
}
}  // namespace

void RegisterLayerCatalog(LayerCatalog catalog) { Catalog() = std::move(catalog); }

bool LayerCatalogHasLibrary(const std::string& library) {
    return Catalog().implementsLibrary && Catalog().implementsLibrary(library);
}

bool LayerCatalogHasExport(const std::string& library, const std::string& function) {
    return Catalog().implements && Catalog().implements(library, function);
}

}  // namespace torvex::platform
