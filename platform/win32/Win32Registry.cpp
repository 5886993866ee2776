// The registry calls over the active machine's in-memory registry.
//
// An open key is remembered by its root and path, not by a pointer, so that
// a handle to a key deleted meanwhile fails cleanly instead of dangling.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"
#include "platform/win32/Win32.h"

namespace win32 {
namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::RegKey;
using torvex::platform::RegRoot;

struct OpenKey {
    RegRoot root;
    std::string path;   // below the root, backslash-separated, no leading backslash
    REGSAM access;
    torvex::platform::Machine* machine;
};

struct KeyTable {
    std::mutex mutex;
    std::map<std::uintptr_t, OpenKey> keys;
    std::uintptr_t next = 0x1000;
};

KeyTable& Keys() {
    static KeyTable table;
    return table;
}

bool PredefinedRoot(HKEY key, RegRoot& root) {
    auto v = reinterpret_cast<std::uintptr_t>(key);
    if (v < 0x80000000u || v > 0x80000006u) return false;
    root = static_cast<RegRoot>(v - 0x80000000u);
    return true;
}

std::string JoinPath(const std::string& base, const char* sub) {
    std::string s = sub ? sub : "";
    // Drop leading and trailing backslashes; Windows 9x accepts both.
    while (!s.empty() && s.front() == '\\') s.erase(s.begin());
    while (!s.empty() && s.back() == '\\') s.pop_back();
    if (base.empty()) return s;
    if (s.empty()) return base;
    return base + "\\" + s;
}

// Resolves a handle to root, path and the rights it was opened with.
LONG Resolve(HKEY key, OpenKey& out) {
    auto& machine = ActiveMachine();
    RegRoot root;
    if (PredefinedRoot(key, root)) {
        // HKEY_DYN_DATA exists only on Windows 9x; HKEY_PERFORMANCE_DATA is
        // not held as keys.
        bool nt = machine.version().platformId == VER_PLATFORM_WIN32_NT;
        if ((root == RegRoot::DynData && nt) || root == RegRoot::PerformanceData)
            return ERROR_INVALID_HANDLE;
        out = {root, "", KEY_ALL_ACCESS, &machine};
        return ERROR_SUCCESS;
    }
    auto& t = Keys();
    std::lock_guard lock(t.mutex);
    auto it = t.keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == t.keys.end() || it->second.machine != &machine) return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

RegKey* Find(const OpenKey& k) {
    return ActiveMachine().registry().resolvedRoot(k.root).find(k.path);
}

HKEY NewHandle(OpenKey k) {
    auto& t = Keys();
    std::lock_guard lock(t.mutex);
    std::uintptr_t h = t.next;
    t.next += 4;
    t.keys.emplace(h, std::move(k));
    return reinterpret_cast<HKEY>(h);
}

// Copies value bytes out with the RegQueryValueEx rules.
LONG CopyData(const std::vector<std::uint8_t>& data, LPBYTE out, LPDWORD size) {
    if (!size) return out ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(data.size());
    if (!out) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(out, data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG CopyName(const std::string& name, LPSTR out, LPDWORD size) {
    if (!out || !size) return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *size) return ERROR_MORE_DATA;
    std::memcpy(out, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    if (LONG r = Resolve(key, base)) return r;
    OpenKey k{base.root, JoinPath(base.path, subKey), desired, base.machine};
    // Keys some machines fill only once a program looks at them.
    ActiveMachine().prepareRegistryKey(k.root, k.path);
    if (!Find(k)) return ERROR_FILE_NOT_FOUND;
    if ((desired & KEY_WRITE_BITS) && ActiveMachine().registry().writeDenied(k.root, k.path))
        return ERROR_ACCESS_DENIED;
    *result = NewHandle(std::move(k));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired, void*,
                     HKEY* result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey base;
    if (LONG r = Resolve(key, base)) return r;
    OpenKey k{base.root, JoinPath(base.path, subKey), desired, base.machine};
    auto& registry = ActiveMachine().registry();
    bool exists = Find(k) != nullptr;
    if (!exists && registry.writeDenied(k.root, k.path)) return ERROR_ACCESS_DENIED;
    if ((desired & KEY_WRITE_BITS) && registry.writeDenied(k.root, k.path)) return ERROR_ACCESS_DENIED;
    if (!exists) registry.resolvedRoot(k.root).ensure(k.path);
    if (disposition) *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = NewHandle(std::move(k));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    RegRoot root;
    if (PredefinedRoot(key, root)) return ERROR_SUCCESS;
    auto& t = Keys();
    std::lock_guard lock(t.mutex);
    return t.keys.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// Where a value read came from: the file of a simulated machine's registry,
// or that the machine has no such value.
static void TraceRead(const OpenKey& k, const RegKey* node, LPCSTR valueName, bool found) {
    std::string what = std::string(torvex::platform::RegRootName(k.root)) + "\\" + k.path + "\\" +
                       (valueName && *valueName ? valueName : "(default)");
    const std::string* source = ActiveMachine().registry().sourceOf(node, valueName ? valueName : "");
    if (!found)
        what += ": no such value";
    else if (source)
        what += ": from " + *source;
    else
        return;   // a value the machine made itself (the host's projection)
    torvex::platform::Trace("registry", what);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    OpenKey k;
    if (LONG r = Resolve(key, k)) return r;
    if (!(k.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    RegKey* node = Find(k);
    if (!node) return ERROR_BADKEY;
    const auto* value = node->value(valueName ? valueName : "");
    if (torvex::platform::TraceEnabled()) TraceRead(k, node, valueName, value != nullptr);
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    return CopyData(value->data, data, dataSize);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    OpenKey k;
    if (LONG r = Resolve(key, k)) return r;
    if (!(k.access & KEY_SET_VALUE) || ActiveMachine().registry().writeDenied(k.root, k.path))
        return ERROR_ACCESS_DENIED;
    RegKey* node = Find(k);
    if (!node) return ERROR_BADKEY;
    torvex::platform::RegValue v;
    v.name = valueName ? valueName : "";
    v.type = type;
    if (data && dataSize) v.data.assign(data, data + dataSize);
    node->setValue(std::move(v));
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    OpenKey k;
    if (LONG r = Resolve(key, k)) return r;
    if (!(k.access & KEY_SET_VALUE) || ActiveMachine().registry().writeDenied(k.root, k.path))
        return ERROR_ACCESS_DENIED;
    RegKey* node = Find(k);
    if (!node) return ERROR_BADKEY;
    return node->removeValue(valueName ? valueName : "") ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    OpenKey base;
    if (LONG r = Resolve(key, base)) return r;
    std::string path = JoinPath(base.path, subKey);
    if (path.empty() || path == base.path) return ERROR_ACCESS_DENIED;
    auto& machine = ActiveMachine();
    auto& registry = machine.registry();
    RegKey* node = registry.resolvedRoot(base.root).find(path);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if (registry.writeDenied(base.root, path)) return ERROR_ACCESS_DENIED;
    // The NT family refuses to delete a key that still has subkeys; Windows
    // 9x removes the whole tree.
    if (!node->children().empty() && machine.version().platformId == VER_PLATFORM_WIN32_NT)
        return ERROR_ACCESS_DENIED;
    auto slash = path.find_last_of('\\');
    std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    RegKey* parent = registry.resolvedRoot(base.root).find(parentPath);
    return parent && parent->removeChild(leaf) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR className,
                   LPDWORD classSize, FILETIME* lastWrite) {
    OpenKey k;
    if (LONG r = Resolve(key, k)) return r;
    if (!(k.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    RegKey* node = Find(k);
    if (!node) return ERROR_BADKEY;
    if (index >= node->children().size()) return ERROR_NO_MORE_ITEMS;
    if (LONG r = CopyName(node->children()[index]->name(), name, nameSize)) return r;
    if (className && classSize && *classSize) className[0] = '\0';
    if (classSize) *classSize = 0;
    if (lastWrite) *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize) {
    OpenKey k;
    if (LONG r = Resolve(key, k)) return r;
    if (!(k.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    RegKey* node = Find(k);
    if (!node) return ERROR_BADKEY;
    if (index >= node->values().size()) return ERROR_NO_MORE_ITEMS;
    const auto& v = node->values()[index];
    if (LONG r = CopyName(v.name, name, nameSize)) return r;
    if (type) *type = v.type;
    return CopyData(v.data, data, dataSize);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen,
                      LPDWORD maxValueLen, LPDWORD securityDescriptor, FILETIME* lastWrite) {
    OpenKey k;
    if (LONG r = Resolve(key, k)) return r;
    RegKey* node = Find(k);
    if (!node) return ERROR_BADKEY;
    if (className && classSize && *classSize) className[0] = '\0';
    if (classSize) *classSize = 0;
    if (subKeys) *subKeys = static_cast<DWORD>(node->children().size());
    if (maxSubKeyLen) {
        std::size_t m = 0;
        for (const auto& c : node->children()) m = std::max(m, c->name().size());
        *maxSubKeyLen = static_cast<DWORD>(m);
    }
    if (maxClassLen) *maxClassLen = 0;
    if (values) *values = static_cast<DWORD>(node->values().size());
    std::size_t maxName = 0, maxData = 0;
    for (const auto& v : node->values()) {
        maxName = std::max(maxName, v.name.size());
        maxData = std::max(maxData, v.data.size());
    }
    if (maxValueNameLen) *maxValueNameLen = static_cast<DWORD>(maxName);
    if (maxValueLen) *maxValueLen = static_cast<DWORD>(maxData);
    if (securityDescriptor) *securityDescriptor = 0;
    if (lastWrite) *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

}  // namespace win32
