// The registry of a machine, held in memory.
//
// Both machines fill one of these: the simulated one from its .reg files, the
// live host by projecting the running system into the keys Windows has. The
// Win32 registry calls work on it. Writes by the program change only this
// copy; nothing is written back to disk.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <unordered_map>
#include <vector>

namespace torvex::platform {

// Root keys, in the order of their predefined handle values.
enum class RegRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData,
};

// Parses "HKEY_LOCAL_MACHINE" or "HKLM" (any letter case). False when unknown.
bool ParseRegRoot(std::string_view name, RegRoot& root);
const char* RegRootName(RegRoot root);

struct RegValue {
    std::string name;   // "" is the key's default value
    std::uint32_t type = 0;
    // Raw bytes as RegQueryValueExA returns them. Texts (REG_SZ,
    // REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-8 with their terminating zero(s).
    std::vector<std::uint8_t> data;

    static RegValue String(std::string name, std::string_view text, std::uint32_t type = 1);
    static RegValue Dword(std::string name, std::uint32_t value);
    static RegValue Binary(std::string name, std::vector<std::uint8_t> bytes);
    static RegValue MultiString(std::string name, const std::vector<std::string>& texts);
    // The value read as text: strings without their zero, a dword in decimal.
    std::string text() const;
};

// Windows refuses keys nested deeper than this below a root key.
constexpr int kMaxKeyDepth = 512;

class RegKey {
public:
    explicit RegKey(std::string name) : name_(std::move(name)) {}
    // Frees the keys below without recursion: a deeply nested tree from a
    // hostile file must not exhaust the stack.
    ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    const std::string& name() const { return name_; }

    // Case-insensitive look-ups, as Windows compares key and value names.
    RegKey* child(std::string_view name) const;
    RegKey& ensureChild(std::string_view name);
    bool removeChild(std::string_view name);
    // In the order the keys were made (an export's order), for enumeration.
    const std::vector<std::unique_ptr<RegKey>>& children() const { return children_; }

    const RegValue* value(std::string_view name) const;
    void setValue(RegValue value);   // replaces a value of the same name in place
    bool removeValue(std::string_view name);
    const std::vector<RegValue>& values() const { return values_; }

    // Keys a user without administrative rights may only read. Inherited by
    // keys below, as a key's rights are on a default Windows set-up.
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Walks a backslash-separated path below this key. Empty components
    // (a leading or doubled backslash) are skipped.
    RegKey* find(std::string_view path);
    RegKey& ensure(std::string_view path);

private:
    // A key with many children (a real export has tens of thousands below
    // CLSID) finds one by its folded name instead of scanning them all.
    // Keyed by the children's own names (which never change), hashed and
    // compared ignoring letter case, so that a look-up allocates nothing.
    struct FoldedHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using ChildIndex = std::unordered_map<std::string_view, RegKey*, FoldedHash, FoldedEqual>;
    ChildIndex* index() const;

    std::string name_;
    std::vector<std::unique_ptr<RegKey>> children_;
    mutable std::unique_ptr<ChildIndex> index_;
    std::vector<RegValue> values_;
    bool readOnly_ = false;
};

class Registry {
public:
    Registry();
    RegKey& root(RegRoot root);
    // HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes;
    // this resolves such aliases to the key that holds the data.
    RegKey& resolvedRoot(RegRoot root);

    // True when writing to key (reached as path below root) is denied to the
    // user: the key or one of its ancestors is read-only and the user is not
    // an administrator.
    bool writeDenied(RegRoot root, std::string_view path) const;
    void setUserIsAdmin(bool admin) { userIsAdmin_ = admin; }
    bool userIsAdmin() const { return userIsAdmin_; }

    // The file a value was loaded from, noted only while tracing
    // (TORVEX_TRACE), so that a read can say where its answer came from.
    void noteSource(const RegKey* key, std::string_view value, std::string file);
    const std::string* sourceOf(const RegKey* key, std::string_view value) const;

private:
    std::map<RegRoot, std::unique_ptr<RegKey>> roots_;
    bool userIsAdmin_ = true;
    std::map<std::pair<const RegKey*, std::string>, std::string> sources_;   // value names in lower case
};

}  // namespace torvex::platform
