// Published properties, components and collections.
#include <gtest/gtest.h>

#include "platform/classes/Classes.h"

using namespace torvex;

namespace classes_test {

// A fixed underlying type, as the ordinals of a stored enumeration have: any
// byte is then a value the type can hold, named or not.
enum TPowerKind : unsigned char { pkMains, pkBattery, pkUnknown };
TORVEX_ENUM_NAMES(TPowerKind, "pkMains", "pkBattery", "pkUnknown")

class TInner : public TPersistent {
public:
    int FValue = 7;

protected:
    void PublishProperties(TPublished& p) const override {
        TPersistent::PublishProperties(p);
        p.Add("Value", FValue);
    }
};

class TFacts : public TPersistent {
public:
    TFacts() : FInner(std::make_unique<TInner>()) { FList.Add("one"); }
    int FCount = -3;
    std::uint32_t FMask = 0xFFFFFFFF;
    std::int64_t FBig = -5000000000;
    std::uint64_t FHuge = 18446744073709551615ull;
    std::uint16_t FWord = 65535;
    double FRatio = 2.5;
    bool FFlag = true;
    std::string FName = "Pentium III";
    TPowerKind FKind = pkBattery;
    std::unique_ptr<TInner> FInner;
    TStringList FList;

protected:
    void PublishProperties(TPublished& p) const override {
        TPersistent::PublishProperties(p);
        p.Add("Count", FCount);
        p.Add("Mask", FMask);
        p.Add("Big", FBig);
        p.Add("Huge", FHuge);
        p.Add("Word", FWord);
        p.Add("Ratio", FRatio);
        p.Add("Flag", FFlag);
        p.Add("Name", FName);
        p.Add("Kind", FKind);
        p.Add("Inner", FInner);
        p.Add("List", FList);
        p.AddGetter("Doubled", [this] { return FCount * 2; });
    }
};

// A subclass adds its properties after those of its base.
class TMoreFacts : public TFacts {
protected:
    void PublishProperties(TPublished& p) const override {
        TFacts::PublishProperties(p);
        p.AddGetter("Extra", [] { return std::string("x"); });
    }
};

}  // namespace classes_test

using namespace classes_test;

TEST(ClassesPersistent, ListsPublishedPropertiesInDeclarationOrder) {
    TFacts facts;
    auto props = facts.GetPropList();
    std::vector<std::string> names, types, values;
    for (const auto& p : props) {
        names.push_back(p.Name);
        types.push_back(p.TypeName);
        values.push_back(p.Get().AsText());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Count", "Mask", "Big", "Huge", "Word", "Ratio", "Flag",
                                               "Name", "Kind", "Inner", "List", "Doubled"}));
    EXPECT_EQ(types, (std::vector<std::string>{"Integer", "Cardinal", "Int64", "UInt64", "Word", "Double",
                                               "Boolean", "string", "TPowerKind", "TInner",
                                               "TStringList", "Integer"}));
    EXPECT_EQ(values, (std::vector<std::string>{"-3", "4294967295", "-5000000000", "18446744073709551615",
                                                "65535", "2.5", "True", "Pentium III", "pkBattery",
                                                "(TInner)", "(TStringList)", "-6"}));
    EXPECT_EQ(props[8].Get().Int, 1);
    EXPECT_EQ(props[8].Kind, TTypeKind::tkEnumeration);
    // Nested objects are reachable for a tree-shaped lister.
    const TPersistent* inner = props[9].Get().Object;
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->GetPropList()[0].Get().AsText(), "7");
    EXPECT_EQ(dynamic_cast<const TStringList*>(props[10].Get().Object)->Strings(0), "one");
}

TEST(ClassesPersistent, ValuesAreReadWhenListedNotWhenPublished) {
    TFacts facts;
    auto props = facts.GetPropList();
    facts.FName = "Athlon";
    facts.FKind = pkMains;
    facts.FInner.reset();
    facts.FCount = 10;
    EXPECT_EQ(props[7].Get().AsText(), "Athlon");
    EXPECT_EQ(props[8].Get().AsText(), "pkMains");
    EXPECT_EQ(props[9].Get().AsText(), "(nil)");
    EXPECT_EQ(props[11].Get().AsText(), "20");
    // An ordinal outside the enumeration still shows, as its number.
    facts.FKind = static_cast<TPowerKind>(9);
    EXPECT_EQ(props[8].Get().AsText(), "9");
}

TEST(ClassesPersistent, SubclassesAppendAndNameThemselves) {
    TMoreFacts more;
    auto props = more.GetPropList();
    ASSERT_EQ(props.size(), 13u);
    EXPECT_EQ(props.back().Name, "Extra");
    EXPECT_EQ(more.ClassName(), "TMoreFacts");
    EXPECT_EQ(EnumName(pkUnknown), "pkUnknown");
    TStringList list;
    EXPECT_EQ(list.ClassName(), "TStringList");
}

namespace {

class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::vector<std::string>* log, std::string name)
        : TComponent(owner), log_(log) {
        SetName(std::move(name));
    }
    ~TProbe() override { log_->push_back(Name()); }
    void Loaded() override {
        TComponent::Loaded();
        log_->push_back("loaded " + Name());
    }

private:
    std::vector<std::string>* log_;
};

}  // namespace

TEST(ClassesComponent, OwnerDestroysWhatItOwnsLastFirst) {
    std::vector<std::string> log;
    {
        auto form = std::make_unique<TProbe>(nullptr, &log, "Form");
        auto& a = form->CreateComponent<TProbe>(&log, "A");
        form->CreateComponent<TProbe>(&log, "B");
        EXPECT_EQ(&a.Owner()[0], form.get());
        EXPECT_EQ(form->ComponentCount(), 2);
        EXPECT_EQ(form->FindComponent("b"), &form->Components(1));
        EXPECT_EQ(form->FindComponent("C"), nullptr);
        EXPECT_THROW(form->Components(2), Exception);
        auto released = form->RemoveComponent(a);
        EXPECT_EQ(released->Owner(), nullptr);
        EXPECT_EQ(form->ComponentCount(), 1);
        form->InsertComponent(std::move(released));
        form->CreateComponent<TProbe>(&log, "C");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"Form", "C", "A", "B"}));
}

TEST(ClassesComponent, DesigningFlagLoadingAndPublishedNameAndTag) {
    std::vector<std::string> log;
    TProbe designer(nullptr, &log, "Designer");
    designer.SetDesigning(true);
    auto& child = designer.CreateComponent<TProbe>(&log, "Child");
    EXPECT_TRUE(child.HasState(csDesigning));
    designer.SetDesigning(false);
    EXPECT_FALSE(child.HasState(csDesigning));

    child.BeginLoading();
    EXPECT_TRUE(child.HasState(csLoading));
    child.Loaded();
    EXPECT_FALSE(child.HasState(csLoading));
    EXPECT_EQ(log.back(), "loaded Child");

    child.SetTag(42);
    auto props = child.GetPropList();
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[0].Name, "Name");
    EXPECT_EQ(props[0].Get().AsText(), "Child");
    EXPECT_EQ(props[1].Get().AsText(), "42");
}

namespace {

class TSlot : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string Designation;
};

}  // namespace

TEST(ClassesCollection, ItemsKnowTheirPlaceAndKeepTheirId) {
    TCollectionOf<TSlot> slots;
    slots.Add().Designation = "PCI1";
    slots.Add().Designation = "PCI2";
    TSlot& agp = slots.Insert(0);
    agp.Designation = "AGP";
    EXPECT_EQ(slots.Count(), 3);
    EXPECT_EQ(slots[0].Designation, "AGP");
    EXPECT_EQ(slots[2].Index(), 2);
    EXPECT_EQ(agp.ID(), 2);
    EXPECT_EQ(&agp.Collection(), &slots);
    slots.Delete(1);
    EXPECT_EQ(slots[1].Designation, "PCI2");
    EXPECT_EQ(slots.FindItemID(2), &agp);
    EXPECT_EQ(slots.FindItemID(0), nullptr);
    EXPECT_EQ(slots.Add().ID(), 3);   // ids are not reused
    EXPECT_THROW(slots.Items(4), Exception);
    slots.Clear();
    EXPECT_EQ(slots.Count(), 0);
}
