#include "components/QuentaSysUninstall.h"

#include <vector>

namespace torvex::components {

namespace {

struct FieldInfo {
    const char* name;
    const char* value;
    unsigned resource;
    const char* description;   // when the program's string table has none
};

const FieldInfo kFields[TQuentaUninstallItem::kFieldCount] = {
    {"ProgramName", "DisplayName", 65276, "Uninstall[%d]:ProgramName"},
    {"UninstallPath", "UninstallString", 65277, "Uninstall[%d]:UninstallPath"},
    {"Publisher", "Publisher", 65278, "Uninstall[%d]:Publisher"},
    {"PublisherURL", "URLInfoAbout", 65279, "Uninstall[%d]:PublisherURL"},
    {"Version", "DisplayVersion", 65248, "Uninstall[%d]:Version"},
    {"HelpLink", "HelpLink", 65249, "Uninstall[%d]:HelpLink"},
    {"UpdateInfoURL", "URLUpdateInfo", 65250, "Uninstall[%d]:UpdateInfoURL"},
    {"RegCompany", "RegCompany", 65251, "Uninstall[%d]:RegCompany"},
    {"RegOwner", "RegOwner", 65252, "Uninstall[%d]:RegOwner"},
};

// Opens key under HKEY_LOCAL_MACHINE for reading: read access, then
// query-and-enumerate, then query alone.
bool OpenReadOnly(TQuentaSysRegistry& reg, const std::string& key) {
    for (win32::REGSAM access : {win32::KEY_READ, win32::KEY_QUERY_VALUE | win32::KEY_ENUMERATE_SUB_KEYS,
                                 win32::KEY_QUERY_VALUE}) {
        reg.SetAccess(access);
        if (reg.OpenKey(key)) return true;
    }
    return false;
}

}  // namespace

const char* TQuentaUninstallItem::FieldName(Field f) { return kFields[f].name; }
const char* TQuentaUninstallItem::RegistryValue(Field f) { return kFields[f].value; }

TQuentaUninstallInfo& TQuentaUninstallItem::Info() const { return static_cast<TQuentaUninstallInfo&>(Collection()); }

std::string TQuentaUninstallItem::ChangeDescription(Field f) const {
    char text[256] = {};
    std::string format = win32::LoadStringA(nullptr, kFields[f].resource, text, sizeof text) > 0
                             ? std::string(text)
                             : std::string(kFields[f].description);
    return classes::Format(format, {Index()});
}

void TQuentaUninstallItem::Set(Field f, const std::string& value) {
    if (value == FValues[f]) return;
    Info().Changes().RegisterChange(ChangeDescription(f), FValues[f], value);
    FValues[f] = value;
}

void TQuentaUninstallItem::WriteBack() {
    TQuentaSysRegistry reg;   // full access, nothing created
    if (!reg.OpenKey(std::string(TQuentaUninstallInfo::kUninstallKey) + "\\" + FSubKey)) return;
    for (int f = 0; f < kFieldCount; ++f) {
        std::string description = ChangeDescription(Field(f));
        if (!Info().Changes().HasChange(description)) continue;
        Info().Changes().CommitChange(description);
        reg.WriteString(kFields[f].value, FValues[f]);
    }
}

void TQuentaUninstallItem::PublishProperties(classes::TPublished& p) const {
    classes::TCollectionItem::PublishProperties(p);
    for (int f = 0; f < kFieldCount; ++f) p.Add(kFields[f].name, FValues[f]);
}

TQuentaUninstallInfo::TQuentaUninstallInfo()
    : TQuentaSysCollection([](classes::TCollection& c) { return std::make_unique<TQuentaUninstallItem>(c); }) {}

void TQuentaUninstallInfo::Assign(const TQuentaUninstallInfo& other) {
    if (&other == this) return;
    Clear();
    for (int i = 0; i < other.Count(); ++i) {
        TQuentaUninstallItem& item = Add();
        item.FSubKey = other[i].FSubKey;
        for (int f = 0; f < TQuentaUninstallItem::kFieldCount; ++f) item.FValues[f] = other[i].FValues[f];
    }
}

void TQuentaUninstallInfo::Retrieve() {
    Clear();
    std::vector<std::string> names;
    {
        TQuentaSysRegistry reg;
        if (!OpenReadOnly(reg, kUninstallKey)) return;
        names = reg.GetKeyNames();
    }
    for (const std::string& name : names) {
        TQuentaSysRegistry reg;
        if (!OpenReadOnly(reg, std::string(kUninstallKey) + "\\" + name)) continue;
        if (!reg.ValueExists("DisplayName") || !reg.ValueExists("UninstallString")) continue;
        TQuentaUninstallItem& item = Add();
        item.FSubKey = name;
        // Read as the collection's own data, not as edits: no change record.
        for (int f = 0; f < TQuentaUninstallItem::kFieldCount; ++f)
            if (reg.ValueExists(kFields[f].value)) item.FValues[f] = reg.ReadString(kFields[f].value);
    }
}

void TQuentaUninstallInfo::WriteBack() {
    for (int i = 0; i < Count(); ++i) Items(i).WriteBack();
}

TQuentaSysUninstall::TQuentaSysUninstall(classes::TComponent* owner)
    : TQuentaSysBaseComponent(owner), FUninstall(std::make_unique<TQuentaUninstallInfo>()) {}

void TQuentaSysUninstall::PublishProperties(classes::TPublished& p) const {
    TQuentaSysBaseComponent::PublishProperties(p);
    p.Add("Uninstall", FUninstall);
}

}  // namespace torvex::components
