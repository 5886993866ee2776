// The frame of the desktop system components: a retrieving component owns
// one facts object (or collection) that reads one area of the system; facts
// objects keep a record of pending changes that a log component may receive
// once they are committed; every facts object lists its published properties
// as "name = value" lines, with or without their types.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/win32/Win32.h"

namespace torvex::components {

using TDateTime = double;

// One change made through a facts object and not committed yet.
struct TQuentaSysChange {
    std::string Description;
    std::string OldValue;
    std::string NewValue;
};

// Receives a committed change: description, old and new value, time.
using TQuentaSysChangeEvent =
    std::function<void(const std::string&, const std::string&, const std::string&, TDateTime)>;

// The pending changes of a facts object or collection.
class TQuentaSysChangeList {
public:
    // A second change under the same description updates the first; one
    // that leads back to the first old value removes the entry.
    void RegisterChange(const std::string& description, const std::string& oldValue,
                        const std::string& newValue);
    // Hands the entry to the callback with the current time and removes it;
    // a description without an entry does nothing.
    void CommitChange(const std::string& description);
    bool HasChange(const std::string& description) const;
    const std::vector<TQuentaSysChange>& Pending() const { return FPending; }
    void SetOnChange(TQuentaSysChangeEvent callback) { FOnChange = std::move(callback); }

private:
    std::vector<TQuentaSysChange> FPending;
    TQuentaSysChangeEvent FOnChange;
};

// A registry key reached the way the components reach it: opened by path
// under a settable root without being created, by default asking for full
// access (so that a user without write rights to the key gets nothing).
class TQuentaSysRegistry {
public:
    TQuentaSysRegistry() = default;
    TQuentaSysRegistry(const TQuentaSysRegistry&) = delete;
    TQuentaSysRegistry& operator=(const TQuentaSysRegistry&) = delete;
    ~TQuentaSysRegistry() { CloseKey(); }

    void SetRootKey(win32::HKEY root) { FRoot = root; }
    void SetAccess(win32::REGSAM access) { FAccess = access; }
    bool OpenKey(const std::string& path);
    void CloseKey();
    bool IsOpen() const { return FKey != nullptr; }
    bool ValueExists(const std::string& name) const;
    // A text value ("" when missing or not text).
    std::string ReadString(const std::string& name) const;
    std::optional<std::uint32_t> ReadInteger(const std::string& name) const;
    // A value's bytes as stored; "" when missing.
    std::string ReadRaw(const std::string& name) const;
    bool WriteString(const std::string& name, const std::string& value);
    std::vector<std::string> GetKeyNames() const;
    bool KeyExists(const std::string& subKey) const;

private:
    win32::HKEY FRoot = win32::HKEY_LOCAL_MACHINE;
    win32::REGSAM FAccess = win32::KEY_ALL_ACCESS;
    win32::HKEY FKey = nullptr;
};

// Property listing: prefix + name + " = " + value, or with types
// prefix + name + ": " + type + " = " + value. Nested objects are listed by
// recursion with the prefix extended by "Name."; string lists as their comma
// text; a collection's items follow its properties as "Item[i].".
void ListProperties(const classes::TPersistent& object, const std::string& prefix, classes::TStringList& list,
                    bool withTypes);

class TQuentaSysComponent;

// The base of the facts objects.
class TQuentaSysObject : public classes::TPersistent {
public:
    explicit TQuentaSysObject(TQuentaSysComponent* owner = nullptr) : FOwner(owner) {}

    // Slots 1 and 2: the property listing without and with types.
    virtual void GetPropertyList(const std::string& prefix, classes::TStringList& list) const;
    virtual void GetPropertyListWithTypes(const std::string& prefix, classes::TStringList& list) const;
    // Reads all facts.
    virtual void Retrieve() = 0;
    // Writes pending changes back to the system (nothing for read-only facts).
    virtual void WriteBack() = 0;

    TQuentaSysComponent* Owner() const { return FOwner; }
    TQuentaSysChangeList& Changes() { return FChanges; }
    const TQuentaSysChangeList& Changes() const { return FChanges; }
    void SetOnChange(TQuentaSysChangeEvent callback) { FChanges.SetOnChange(std::move(callback)); }
    void RegisterChange(const std::string& d, const std::string& o, const std::string& n) {
        FChanges.RegisterChange(d, o, n);
    }
    void CommitChange(const std::string& d) { FChanges.CommitChange(d); }

    // The type name a listing shows for a property: sets and characters are
    // published as their text, and name their own type here.
    virtual std::string PropertyTypeName(const classes::TPropInfo& info) const { return info.TypeName; }

protected:
    // The registry accessor, made on first use.
    TQuentaSysRegistry& Registry();
    void FreeRegistry() { FRegistry.reset(); }

private:
    TQuentaSysComponent* FOwner;
    TQuentaSysChangeList FChanges;
    std::unique_ptr<TQuentaSysRegistry> FRegistry;
};

// The base of list-shaped facts.
class TQuentaSysCollection : public classes::TCollection {
public:
    using classes::TCollection::TCollection;
    virtual void GetPropertyList(const std::string& prefix, classes::TStringList& list) const;
    virtual void GetPropertyListWithTypes(const std::string& prefix, classes::TStringList& list) const;
    TQuentaSysChangeList& Changes() { return FChanges; }
    const TQuentaSysChangeList& Changes() const { return FChanges; }
    void SetOnChange(TQuentaSysChangeEvent callback) { FChanges.SetOnChange(std::move(callback)); }

private:
    TQuentaSysChangeList FChanges;
};

class TQuentaSysComponent : public classes::TComponent {
public:
    using classes::TComponent::TComponent;
    // A design-time marker; it does nothing at run time.
    std::string About() const { return "Quenta System Components"; }
};

class TQuentaSysBaseComponent;

// Where a log's lines are shown (a list box, a memo).
class TQuentaSysLogView {
public:
    virtual ~TQuentaSysLogView() = default;
    virtual void AddLine(const std::string& line) = 0;
};

// Collects committed changes as lines:
// description ":" old " - " new " " date-time.
class TQuentaSysLog : public TQuentaSysComponent {
public:
    using TOnLog = std::function<void(classes::TObject& sender, const std::string& description,
                                      const std::string& oldValue, const std::string& newValue,
                                      TDateTime when)>;
    explicit TQuentaSysLog(classes::TComponent* owner = nullptr) : TQuentaSysComponent(owner) {}
    ~TQuentaSysLog() override;

    TOnLog OnLog;
    // Linked views; removing a view (SetListBox(nullptr)) unlinks it.
    void SetListBox(TQuentaSysLogView* view) { FListBox = view; }
    void SetMemo(TQuentaSysLogView* view) { FMemo = view; }

    void Add(const std::string& line);
    void Log(const std::string& description, const std::string& oldValue, const std::string& newValue,
             TDateTime when);
    const classes::TStringList& Lines() const { return FLines; }

private:
    friend class TQuentaSysBaseComponent;
    classes::TStringList FLines;
    TQuentaSysLogView* FListBox = nullptr;
    TQuentaSysLogView* FMemo = nullptr;
    std::vector<TQuentaSysBaseComponent*> FUsers;   // cleared when the log goes
};

// The retrieving components.
class TQuentaSysBaseComponent : public TQuentaSysComponent {
public:
    using TNotifyEvent = std::function<void(classes::TObject& sender)>;

    explicit TQuentaSysBaseComponent(classes::TComponent* owner = nullptr) : TQuentaSysComponent(owner) {}
    ~TQuentaSysBaseComponent() override;

    bool AutoRetrieve() const { return FAutoRetrieve; }
    void SetAutoRetrieve(bool on) { FAutoRetrieve = on; }
    TQuentaSysLog* SysLog() const { return FSysLog; }
    void SetSysLog(TQuentaSysLog* log);
    bool Retrieved() const { return FRetrieved; }
    TNotifyEvent OnRefresh;
    TNotifyEvent OnAfterRefresh;

    // OnRefresh, the refresh step, Retrieved := true, OnAfterRefresh.
    // Whatever the step or a handler throws passes to the caller.
    void Refresh();
    // After the owning form's properties are applied: Refresh when
    // AutoRetrieve is set.
    void Loaded() override;

protected:
    virtual void DoRefresh() = 0;
    // Connects a facts object's committed changes to this component's log.
    TQuentaSysChangeEvent ChangeHandler();
    void PublishProperties(classes::TPublished& p) const override;

private:
    friend class TQuentaSysLog;
    bool FAutoRetrieve = false;
    bool FRetrieved = false;
    TQuentaSysLog* FSysLog = nullptr;
};

// The current local date-time of the machine.
TDateTime NowDateTime();

}  // namespace torvex::components
