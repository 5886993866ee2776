#include "platform/classes/Component.h"

#include "platform/classes/StringList.h"
#include "platform/classes/SysUtils.h"

namespace torvex::classes {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner && owner->HasState(csDesigning)) state_ |= csDesigning;
}

TComponent::~TComponent() {
    state_ |= csDestroying;
    // Last created, first destroyed: later children may refer to earlier ones.
    while (!components_.empty()) components_.pop_back();
}

void TComponent::SetDesigning(bool designing) {
    if (designing)
        state_ |= csDesigning;
    else
        state_ &= ~TComponentState(csDesigning);
    for (auto& c : components_) c->SetDesigning(designing);
}

void TComponent::BeginLoading() { state_ |= csLoading; }

void TComponent::Loaded() { state_ &= ~TComponentState(csLoading); }

void TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
    if (!component) return;
    component->owner_ = this;
    components_.push_back(std::move(component));
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent& component) {
    for (auto it = components_.begin(); it != components_.end(); ++it) {
        if (it->get() == &component) {
            std::unique_ptr<TComponent> out = std::move(*it);
            components_.erase(it);
            out->owner_ = nullptr;
            return out;
        }
    }
    return nullptr;
}

TComponent& TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EStringListError(Format("List index out of bounds (%d)", {index}));
    return *components_[std::size_t(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (const auto& c : components_)
        if (AnsiSameText(c->Name(), name)) return c.get();
    return nullptr;
}

void TComponent::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Name", name_);
    published.Add("Tag", tag_);
}

int TCollectionItem::Index() const { return collection_->IndexOf(*this); }

TCollection::TCollection(Factory factory) : factory_(std::move(factory)) {}

TCollection::~TCollection() = default;

TCollectionItem& TCollection::Add() { return Insert(Count()); }

TCollectionItem& TCollection::Insert(int index) {
    if (index < 0 || index > Count())
        throw EStringListError(Format("List index out of bounds (%d)", {index}));
    auto item = factory_(*this);
    item->collection_ = this;
    item->id_ = nextId_++;
    TCollectionItem& ref = *item;
    items_.insert(items_.begin() + index, std::move(item));
    return ref;
}

void TCollection::Delete(int index) {
    Items(index);
    items_.erase(items_.begin() + index);
}

void TCollection::Clear() { items_.clear(); }

TCollectionItem& TCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", {index}));
    return *items_[std::size_t(index)];
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (const auto& i : items_)
        if (i->ID() == id) return i.get();
    return nullptr;
}

int TCollection::IndexOf(const TCollectionItem& item) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[std::size_t(i)].get() == &item) return i;
    return -1;
}

}  // namespace torvex::classes
