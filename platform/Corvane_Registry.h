// A registry key opened for reading through the layer, closed with the
// object. The engine and the general routines read every key through it, so
// that a value of the wrong kind or size reads the same way everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace torvex::platform {

class TRegistryReader {
public:
    TRegistryReader() = default;
    TRegistryReader(win32::HKEY root, const std::string& path) { Open(root, path); }
    TRegistryReader(const TRegistryReader&) = delete;
    TRegistryReader& operator=(const TRegistryReader&) = delete;
    ~TRegistryReader() { Close(); }

    // Opens root\path read-only; false (and closed) when it cannot.
    bool Open(win32::HKEY root, const std::string& path);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }
    explicit operator bool() const { return IsOpen(); }
    win32::HKEY Handle() const { return key_; }

    // The subkeys' names in the registry's order.
    std::vector<std::string> SubKeyNames() const;
    bool HasSubKey(const std::string& name) const;

    bool HasValue(const std::string& name) const { return ValueType(name).has_value(); }
    std::optional<win32::DWORD> ValueType(const std::string& name) const;
    // The value's bytes as stored; nothing when it is missing or larger than
    // maxSize bytes.
    std::optional<std::vector<std::uint8_t>> Data(const std::string& name,
                                                  win32::DWORD maxSize = 1u << 20) const;
    // What a text read makes of a value that is no text: the general
    // routines and the device list want "" (empty); the operating system
    // reads whatever set-up stored (asText: a REG_DWORD in decimal, any other
    // kind's bytes up to their first zero).
    enum class OtherKind { empty, asText };
    // A text value (REG_SZ or REG_EXPAND_SZ) up to its first zero; "" when it
    // is missing; a value of another kind as otherKind says.
    std::string ReadString(const std::string& name, OtherKind otherKind = OtherKind::empty) const;
    // ReadString(name, OtherKind::asText).
    std::string ReadText(const std::string& name) const { return ReadString(name, OtherKind::asText); }
    // A REG_DWORD; nothing when it is missing or of another kind.
    std::optional<std::uint32_t> ReadInteger(const std::string& name) const;

private:
    win32::HKEY key_ = nullptr;
};

}  // namespace torvex::platform
