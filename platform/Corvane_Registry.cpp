#include "platform/Corvane_Registry.h"

#include <cstring>

namespace torvex::platform {

bool TRegistryReader::Open(win32::HKEY root, const std::string& path) {
    Close();
    win32::HKEY key = nullptr;
    if (win32::RegOpenKeyExA(root, path.c_str(), 0, win32::KEY_READ, &key) != win32::ERROR_SUCCESS) return false;
    key_ = key;
    return true;
}

void TRegistryReader::Close() {
    if (key_) win32::RegCloseKey(key_);
    key_ = nullptr;
}

std::vector<std::string> TRegistryReader::SubKeyNames() const {
    std::vector<std::string> names;
    if (!key_) return names;
    for (win32::DWORD i = 0;; ++i) {
        char name[1024];
        win32::DWORD size = sizeof name;
        if (win32::RegEnumKeyExA(key_, i, name, &size, nullptr, nullptr, nullptr, nullptr) != win32::ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

bool TRegistryReader::HasSubKey(const std::string& name) const {
    if (!key_) return false;
    win32::HKEY key = nullptr;
    if (win32::RegOpenKeyExA(key_, name.c_str(), 0, win32::KEY_READ, &key) != win32::ERROR_SUCCESS) return false;
    win32::RegCloseKey(key);
    return true;
}

std::optional<win32::DWORD> TRegistryReader::ValueType(const std::string& name) const {
    win32::DWORD type = 0, size = 0;
    if (!key_ || win32::RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != win32::ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::optional<std::vector<std::uint8_t>> TRegistryReader::Data(const std::string& name, win32::DWORD maxSize) const {
    win32::DWORD type = 0, size = 0;
    if (!key_ || win32::RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != win32::ERROR_SUCCESS)
        return std::nullopt;
    if (size > maxSize) return std::nullopt;
    std::vector<std::uint8_t> data(size);
    if (size == 0) return data;
    if (win32::RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &size) != win32::ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

std::string TRegistryReader::ReadString(const std::string& name, OtherKind otherKind) const {
    auto type = ValueType(name);
    if (!type) return {};
    bool text = *type == win32::REG_SZ || *type == win32::REG_EXPAND_SZ;
    if (!text) {
        if (otherKind == OtherKind::empty) return {};
        if (auto n = ReadInteger(name)) return std::to_string(*n);
    }
    auto data = Data(name);
    if (!data) return {};
    std::string value(data->begin(), data->end());
    value.resize(std::strlen(value.c_str()));
    return value;
}

std::optional<std::uint32_t> TRegistryReader::ReadInteger(const std::string& name) const {
    auto type = ValueType(name);
    if (!type || *type != win32::REG_DWORD) return std::nullopt;
    auto data = Data(name);
    if (!data || data->size() < 4) return std::nullopt;
    std::uint32_t n;
    std::memcpy(&n, data->data(), 4);
    return n;
}

}  // namespace torvex::platform
