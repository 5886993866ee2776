// The component base and the collection.
//
// A component has an owner that destroys it: the owner creates its children
// with CreateComponent<T>(args...) and holds them until it is destroyed
// itself (last created, first destroyed). A component without owner belongs
// to whoever holds it (usually a std::unique_ptr).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/Persistent.h"

namespace torvex::classes {

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,     // the form's properties are being applied
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,   // hosted by a visual form designer
};
using TComponentState = unsigned;

class TComponent : public TPersistent {
public:
    // A component created under a designing owner is designing too.
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }

    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }
    // Marks the component (and what it owns) as hosted by a form designer.
    void SetDesigning(bool designing);

    // Loading a form: BeginLoading sets csLoading; after the form's
    // properties are applied the form calls Loaded, which clears it.
    void BeginLoading();
    virtual void Loaded();

    // Creates a component owned by this one; it is destroyed with its owner.
    template <class T, class... Args>
    T& CreateComponent(Args&&... args) {
        auto child = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& ref = *child;
        InsertComponent(std::move(child));
        return ref;
    }
    // Takes ownership of a component made elsewhere.
    void InsertComponent(std::unique_ptr<TComponent> component);
    // Gives an owned component back to the caller.
    std::unique_ptr<TComponent> RemoveComponent(TComponent& component);

    int ComponentCount() const { return int(components_.size()); }
    TComponent& Components(int index) const;
    // An owned component by name, ignoring letter case; nullptr when none.
    TComponent* FindComponent(std::string_view name) const;

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TComponent* owner_;
    std::string name_;
    std::intptr_t tag_ = 0;
    TComponentState state_ = 0;
    std::vector<std::unique_ptr<TComponent>> components_;
};

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection& collection) : collection_(&collection) {}
    TCollection& Collection() const { return *collection_; }
    // The position in the collection.
    int Index() const;
    // A number given once, never reused within the collection.
    int ID() const { return id_; }

private:
    friend class TCollection;
    TCollection* collection_;
    int id_ = 0;
};

// A list of items of one class, owned by the collection.
class TCollection : public TPersistent {
public:
    using Factory = std::function<std::unique_ptr<TCollectionItem>(TCollection&)>;
    explicit TCollection(Factory factory);
    ~TCollection() override;

    TCollectionItem& Add();
    TCollectionItem& Insert(int index);
    void Delete(int index);
    void Clear();
    int Count() const { return int(items_.size()); }
    TCollectionItem& Items(int index) const;
    TCollectionItem* FindItemID(int id) const;
    int IndexOf(const TCollectionItem& item) const;

private:
    Factory factory_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int nextId_ = 0;
};

// A collection of items of class T (T derives from TCollectionItem and is
// constructed from the collection).
template <class T>
class TCollectionOf : public TCollection {
public:
    TCollectionOf()
        : TCollection([](TCollection& c) { return std::make_unique<T>(c); }) {}
    T& Add() { return static_cast<T&>(TCollection::Add()); }
    T& Insert(int index) { return static_cast<T&>(TCollection::Insert(index)); }
    T& Items(int index) const { return static_cast<T&>(TCollection::Items(index)); }
    T& operator[](int index) const { return Items(index); }
};

}  // namespace torvex::classes
