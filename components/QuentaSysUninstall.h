// TQuentaSysUninstall: the installed programs as Windows registers them for
// removal, one item per uninstall key with both a display name and an
// uninstall command, in the registry's own order. Items can be edited and
// written back to their keys.
#pragma once

#include <memory>
#include <string>

#include "components/QuentaSysComponent.h"

namespace torvex::components {

class TQuentaUninstallInfo;

class TQuentaUninstallItem : public classes::TCollectionItem {
public:
    explicit TQuentaUninstallItem(classes::TCollection& collection) : classes::TCollectionItem(collection) {}

    // The nine published texts, in declaration order.
    enum Field { fProgramName, fUninstallPath, fPublisher, fPublisherURL, fVersion, fHelpLink, fUpdateInfoURL,
                 fRegCompany, fRegOwner, kFieldCount };
    static const char* FieldName(Field f);
    static const char* RegistryValue(Field f);

    const std::string& Get(Field f) const { return FValues[f]; }
    // Records a pending change on the collection and stores the text.
    void Set(Field f, const std::string& value);
    // The change description of a field for this item ("Uninstall[3]:Publisher").
    std::string ChangeDescription(Field f) const;

    const std::string& ProgramName() const { return FValues[fProgramName]; }
    const std::string& UninstallPath() const { return FValues[fUninstallPath]; }
    const std::string& Publisher() const { return FValues[fPublisher]; }
    const std::string& PublisherURL() const { return FValues[fPublisherURL]; }
    const std::string& Version() const { return FValues[fVersion]; }
    const std::string& HelpLink() const { return FValues[fHelpLink]; }
    const std::string& UpdateInfoURL() const { return FValues[fUpdateInfoURL]; }
    const std::string& RegCompany() const { return FValues[fRegCompany]; }
    const std::string& RegOwner() const { return FValues[fRegOwner]; }
    // What design tools show for the item.
    const std::string& DisplayName() const { return ProgramName(); }

    const std::string& SubKey() const { return FSubKey; }
    void SetSubKey(std::string key) { FSubKey = std::move(key); }

    // Writes the item's pending changes to its key (full access, not
    // created); nothing when the key cannot be opened that way.
    void WriteBack();

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    friend class TQuentaUninstallInfo;
    TQuentaUninstallInfo& Info() const;
    std::string FSubKey;
    std::string FValues[kFieldCount];
};

class TQuentaUninstallInfo : public TQuentaSysCollection {
public:
    TQuentaUninstallInfo();
    TQuentaUninstallItem& Add() { return static_cast<TQuentaUninstallItem&>(TQuentaSysCollection::Add()); }
    TQuentaUninstallItem& Items(int i) const {
        return static_cast<TQuentaUninstallItem&>(TQuentaSysCollection::Items(i));
    }
    TQuentaUninstallItem& operator[](int i) const { return Items(i); }
    // Copies the items of another collection (their texts and keys).
    void Assign(const TQuentaUninstallInfo& other);

    void Retrieve();
    void WriteBack();

    static constexpr const char* kUninstallKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
};

class TQuentaSysUninstall : public TQuentaSysBaseComponent {
public:
    explicit TQuentaSysUninstall(classes::TComponent* owner = nullptr);
    TQuentaUninstallInfo& Uninstall() const { return *FUninstall; }
    void SetUninstall(const TQuentaUninstallInfo& other) { FUninstall->Assign(other); }

protected:
    void DoRefresh() override { FUninstall->Retrieve(); }
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::unique_ptr<TQuentaUninstallInfo> FUninstall;
};

}  // namespace torvex::components
