#include "platform/machine/Registry.h"

#include <algorithm>
#include <cstring>

#include "platform/machine/TextUtil.h"

namespace torvex::platform {

namespace {

struct RootName {
    RegRoot root;
    const char* longName;
    const char* shortName;
};

constexpr RootName kRootNames[] = {
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegRoot::Users, "HKEY_USERS", "HKU"},
    {RegRoot::PerformanceData, "HKEY_PERFORMANCE_DATA", "HKPD"},
    {RegRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
    {RegRoot::DynData, "HKEY_DYN_DATA", "HKDD"},
};

template <typename F>
void ForEachComponent(std::string_view path, F&& f) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (!part.empty() && !f(part)) return;
        start = end + 1;
    }
}

}  // namespace

bool ParseRegRoot(std::string_view name, RegRoot& root) {
    for (const auto& r : kRootNames) {
        if (EqualsNoCase(name, r.longName) || EqualsNoCase(name, r.shortName)) {
            root = r.root;
            return true;
        }
    }
    return false;
}

const char* RegRootName(RegRoot root) {
    for (const auto& r : kRootNames)
        if (r.root == root) return r.longName;
    return "";
}

RegValue RegValue::String(std::string name, std::string_view text, std::uint32_t type) {
    RegValue v;
    v.name = std::move(name);
    v.type = type;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return v;
}

RegValue RegValue::Dword(std::string name, std::uint32_t value) {
    RegValue v;
    v.name = std::move(name);
    v.type = 4;
    for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return v;
}

RegValue RegValue::Binary(std::string name, std::vector<std::uint8_t> bytes) {
    RegValue v;
    v.name = std::move(name);
    v.type = 3;
    v.data = std::move(bytes);
    return v;
}

RegValue RegValue::MultiString(std::string name, const std::vector<std::string>& texts) {
    RegValue v;
    v.name = std::move(name);
    v.type = 7;
    for (const auto& t : texts) {
        v.data.insert(v.data.end(), t.begin(), t.end());
        v.data.push_back(0);
    }
    v.data.push_back(0);
    return v;
}

std::string RegValue::text() const {
    switch (type) {
        case 4:
            if (data.size() >= 4) {
                std::uint32_t d = 0;
                for (int i = 0; i < 4; ++i) d |= std::uint32_t(data[i]) << (8 * i);
                return std::to_string(d);
            }
            return {};
        case 1:
        case 2:
        case 7: {
            auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
            return std::string(data.begin(), end);
        }
        default:
            return std::string(data.begin(), data.end());
    }
}

namespace {

// Below this many children a scan is as quick as the index and costs no memory.
constexpr std::size_t kIndexFrom = 16;

}  // namespace

std::size_t RegKey::FoldedHash::operator()(std::string_view name) const {
    std::size_t h = 1469598103934665603ull;   // FNV-1a over the lower-case letters
    for (char c : name) {
        h ^= std::size_t(static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
        h *= 1099511628211ull;
    }
    return h;
}

bool RegKey::FoldedEqual::operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }

RegKey::~RegKey() {
    std::vector<std::unique_ptr<RegKey>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<RegKey> key = std::move(pending.back());
        pending.pop_back();
        for (auto& c : key->children_) pending.push_back(std::move(c));
        key->children_.clear();
    }
}

RegKey::ChildIndex* RegKey::index() const {
    if (!index_ && children_.size() >= kIndexFrom) {
        index_ = std::make_unique<ChildIndex>();
        index_->reserve(children_.size() * 2);
        // The first of equal names wins, as the scan finds it.
        for (const auto& c : children_) index_->emplace(std::string_view(c->name_), c.get());
    }
    return index_.get();
}

RegKey* RegKey::child(std::string_view name) const {
    if (ChildIndex* idx = index()) {
        auto it = idx->find(name);
        return it == idx->end() ? nullptr : it->second;
    }
    for (const auto& c : children_)
        if (EqualsNoCase(c->name_, name)) return c.get();
    return nullptr;
}

RegKey& RegKey::ensureChild(std::string_view name) {
    if (RegKey* c = child(name)) return *c;
    children_.push_back(std::make_unique<RegKey>(std::string(name)));
    if (index_) index_->emplace(std::string_view(children_.back()->name_), children_.back().get());
    return *children_.back();
}

bool RegKey::removeChild(std::string_view name) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const auto& c) { return EqualsNoCase(c->name_, name); });
    if (it == children_.end()) return false;
    if (index_) index_->erase(std::string_view((*it)->name_));
    children_.erase(it);
    return true;
}

const RegValue* RegKey::value(std::string_view name) const {
    for (const auto& v : values_)
        if (EqualsNoCase(v.name, name)) return &v;
    return nullptr;
}

void RegKey::setValue(RegValue value) {
    for (auto& v : values_) {
        if (EqualsNoCase(v.name, value.name)) {
            v = std::move(value);
            return;
        }
    }
    values_.push_back(std::move(value));
}

bool RegKey::removeValue(std::string_view name) {
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const auto& v) { return EqualsNoCase(v.name, name); });
    if (it == values_.end()) return false;
    values_.erase(it);
    return true;
}

RegKey* RegKey::find(std::string_view path) {
    RegKey* key = this;
    ForEachComponent(path, [&](std::string_view part) {
        key = key->child(part);
        return key != nullptr;
    });
    return key;
}

RegKey& RegKey::ensure(std::string_view path) {
    RegKey* key = this;
    ForEachComponent(path, [&](std::string_view part) {
        key = &key->ensureChild(part);
        return true;
    });
    return *key;
}

Registry::Registry() {
    for (const auto& r : kRootNames) roots_[r.root] = std::make_unique<RegKey>(r.longName);
}

RegKey& Registry::root(RegRoot root) { return *roots_.at(root); }

RegKey& Registry::resolvedRoot(RegRoot r) {
    if (r == RegRoot::ClassesRoot) return root(RegRoot::LocalMachine).ensure("SOFTWARE\\Classes");
    return root(r);
}

bool Registry::writeDenied(RegRoot r, std::string_view path) const {
    if (userIsAdmin_) return false;
    RegKey* key = r == RegRoot::ClassesRoot ? roots_.at(RegRoot::LocalMachine)->find("SOFTWARE\\Classes")
                                            : roots_.at(r).get();
    if (!key) return false;
    if (key->readOnly()) return true;
    bool denied = false;
    ForEachComponent(path, [&](std::string_view part) {
        key = key->child(part);
        if (!key) return false;
        if (key->readOnly()) denied = true;
        return !denied;
    });
    return denied;
}

void Registry::noteSource(const RegKey* key, std::string_view value, std::string file) {
    sources_[{key, ToLowerAscii(value)}] = std::move(file);
}

const std::string* Registry::sourceOf(const RegKey* key, std::string_view value) const {
    auto it = sources_.find({key, ToLowerAscii(value)});
    return it == sources_.end() ? nullptr : &it->second;
}

}  // namespace torvex::platform
