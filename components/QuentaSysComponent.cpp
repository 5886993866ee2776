#include "components/QuentaSysComponent.h"

#include <algorithm>

#include "engine/Zarvo_OS.h"

namespace torvex::components {

// ---------------------------------------------------------------- changes

void TQuentaSysChangeList::RegisterChange(const std::string& description, const std::string& oldValue,
                                          const std::string& newValue) {
    auto it = std::find_if(FPending.begin(), FPending.end(),
                           [&](const TQuentaSysChange& c) { return c.Description == description; });
    if (it == FPending.end()) {
        FPending.push_back({description, oldValue, newValue});
    } else if (newValue != it->OldValue) {
        it->NewValue = newValue;
    } else {
        FPending.erase(it);   // undone
    }
}

void TQuentaSysChangeList::CommitChange(const std::string& description) {
    auto it = std::find_if(FPending.begin(), FPending.end(),
                           [&](const TQuentaSysChange& c) { return c.Description == description; });
    if (it == FPending.end()) return;
    TQuentaSysChange change = *it;
    FPending.erase(it);
    if (FOnChange) FOnChange(change.Description, change.OldValue, change.NewValue, NowDateTime());
}

bool TQuentaSysChangeList::HasChange(const std::string& description) const {
    return std::any_of(FPending.begin(), FPending.end(),
                       [&](const TQuentaSysChange& c) { return c.Description == description; });
}

TDateTime NowDateTime() {
    win32::SYSTEMTIME t{};
    win32::GetLocalTime(&t);
    return engine::EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

// ---------------------------------------------------------------- registry

bool TQuentaSysRegistry::OpenKey(const std::string& path) {
    CloseKey();
    std::string relative = path;
    while (!relative.empty() && relative.front() == '\\') relative.erase(relative.begin());
    win32::HKEY key = nullptr;
    if (win32::RegOpenKeyExA(FRoot, relative.c_str(), 0, FAccess, &key) != win32::ERROR_SUCCESS) return false;
    FKey = key;
    return true;
}

void TQuentaSysRegistry::CloseKey() {
    if (FKey) win32::RegCloseKey(FKey);
    FKey = nullptr;
}

bool TQuentaSysRegistry::ValueExists(const std::string& name) const {
    win32::DWORD type = 0, size = 0;
    return FKey && win32::RegQueryValueExA(FKey, name.c_str(), nullptr, &type, nullptr, &size) ==
                       win32::ERROR_SUCCESS;
}

std::string TQuentaSysRegistry::ReadRaw(const std::string& name) const {
    if (!FKey) return {};
    win32::DWORD type = 0, size = 0;
    if (win32::RegQueryValueExA(FKey, name.c_str(), nullptr, &type, nullptr, &size) != win32::ERROR_SUCCESS)
        return {};
    std::string data(size, '\0');
    if (size && win32::RegQueryValueExA(FKey, name.c_str(), nullptr, &type,
                                        reinterpret_cast<win32::LPBYTE>(data.data()), &size) != win32::ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

std::string TQuentaSysRegistry::ReadString(const std::string& name) const {
    if (!FKey) return {};
    win32::DWORD type = 0, size = 0;
    if (win32::RegQueryValueExA(FKey, name.c_str(), nullptr, &type, nullptr, &size) != win32::ERROR_SUCCESS)
        return {};
    if (type != win32::REG_SZ && type != win32::REG_EXPAND_SZ) return {};
    std::string data = ReadRaw(name);
    if (auto zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
    return data;
}

std::optional<std::uint32_t> TQuentaSysRegistry::ReadInteger(const std::string& name) const {
    if (!FKey) return std::nullopt;
    win32::DWORD type = 0, value = 0, size = sizeof value;
    if (win32::RegQueryValueExA(FKey, name.c_str(), nullptr, &type, reinterpret_cast<win32::LPBYTE>(&value),
                                &size) != win32::ERROR_SUCCESS ||
        type != win32::REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool TQuentaSysRegistry::WriteString(const std::string& name, const std::string& value) {
    return FKey && win32::RegSetValueExA(FKey, name.c_str(), 0, win32::REG_SZ,
                                         reinterpret_cast<const win32::BYTE*>(value.c_str()),
                                         static_cast<win32::DWORD>(value.size() + 1)) == win32::ERROR_SUCCESS;
}

std::vector<std::string> TQuentaSysRegistry::GetKeyNames() const {
    std::vector<std::string> names;
    if (!FKey) return names;
    for (win32::DWORD i = 0;; ++i) {
        char name[256];
        win32::DWORD size = sizeof name;
        if (win32::RegEnumKeyExA(FKey, i, name, &size, nullptr, nullptr, nullptr, nullptr) != win32::ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

bool TQuentaSysRegistry::KeyExists(const std::string& subKey) const {
    if (!FKey) return false;
    win32::HKEY key = nullptr;
    if (win32::RegOpenKeyExA(FKey, subKey.c_str(), 0, win32::KEY_READ, &key) != win32::ERROR_SUCCESS) return false;
    win32::RegCloseKey(key);
    return true;
}

// ---------------------------------------------------------------- listing

void ListProperties(const classes::TPersistent& object, const std::string& prefix, classes::TStringList& list,
                    bool withTypes) {
    auto* facts = dynamic_cast<const TQuentaSysObject*>(&object);
    for (const classes::TPropInfo& info : object.GetPropList()) {
        classes::TPropValue v = info.Get();
        std::string typeName = facts ? facts->PropertyTypeName(info) : info.TypeName;
        std::string head = withTypes ? prefix + info.Name + ": " + typeName + " = " : prefix + info.Name + " = ";
        if (v.Kind != classes::TTypeKind::tkClass) {
            list.Add(head + v.AsText());
            continue;
        }
        if (auto* strings = dynamic_cast<const classes::TStringList*>(v.Object)) {
            list.Add(head + strings->CommaText());
        } else if (v.Object) {
            ListProperties(*v.Object, prefix + info.Name + ".", list, withTypes);
        } else {
            // A property that holds no object.
            list.Add(head + "(nil)");
        }
    }
    if (auto* collection = dynamic_cast<const classes::TCollection*>(&object)) {
        for (int i = 0; i < collection->Count(); ++i)
            ListProperties(collection->Items(i), prefix + "Item[" + std::to_string(i) + "].", list, withTypes);
    }
}

void TQuentaSysObject::GetPropertyList(const std::string& prefix, classes::TStringList& list) const {
    ListProperties(*this, prefix, list, false);
}
void TQuentaSysObject::GetPropertyListWithTypes(const std::string& prefix, classes::TStringList& list) const {
    ListProperties(*this, prefix, list, true);
}

TQuentaSysRegistry& TQuentaSysObject::Registry() {
    if (!FRegistry) FRegistry = std::make_unique<TQuentaSysRegistry>();
    return *FRegistry;
}

void TQuentaSysCollection::GetPropertyList(const std::string& prefix, classes::TStringList& list) const {
    ListProperties(*this, prefix, list, false);
}
void TQuentaSysCollection::GetPropertyListWithTypes(const std::string& prefix, classes::TStringList& list) const {
    ListProperties(*this, prefix, list, true);
}

// ---------------------------------------------------------------- log

TQuentaSysLog::~TQuentaSysLog() {
    for (TQuentaSysBaseComponent* user : FUsers) user->FSysLog = nullptr;
}

void TQuentaSysLog::Add(const std::string& line) {
    FLines.Add(line);
    if (FListBox) FListBox->AddLine(line);
    if (FMemo) FMemo->AddLine(line);
}

void TQuentaSysLog::Log(const std::string& description, const std::string& oldValue, const std::string& newValue,
                        TDateTime when) {
    if (OnLog) OnLog(*this, description, oldValue, newValue, when);
    Add(description + ":" + oldValue + " - " + newValue + " " + engine::DateTimeToStr(when));
}

// ---------------------------------------------------------------- retrieving components

TQuentaSysBaseComponent::~TQuentaSysBaseComponent() { SetSysLog(nullptr); }

void TQuentaSysBaseComponent::SetSysLog(TQuentaSysLog* log) {
    if (FSysLog) std::erase(FSysLog->FUsers, this);
    FSysLog = log;
    if (log) log->FUsers.push_back(this);
}

void TQuentaSysBaseComponent::Refresh() {
    if (OnRefresh) OnRefresh(*this);
    DoRefresh();
    FRetrieved = true;
    if (OnAfterRefresh) OnAfterRefresh(*this);
}

void TQuentaSysBaseComponent::Loaded() {
    TQuentaSysComponent::Loaded();
    if (FAutoRetrieve) Refresh();
}

TQuentaSysChangeEvent TQuentaSysBaseComponent::ChangeHandler() {
    return [this](const std::string& d, const std::string& o, const std::string& n, TDateTime when) {
        if (FSysLog) FSysLog->Log(d, o, n, when);
    };
}

void TQuentaSysBaseComponent::PublishProperties(classes::TPublished& p) const {
    TQuentaSysComponent::PublishProperties(p);
    p.Add("AutoRetrieve", FAutoRetrieve);
    p.Add("Retrieved", FRetrieved);
}

}  // namespace torvex::components
