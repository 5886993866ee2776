// The object base and the persistent base with published properties.
//
// A persistent object lists its published, read-only properties in
// declaration order by overriding PublishProperties; a generic lister (the
// property listing of the desktop components, the overview window) reads
// them with GetPropList: name, type name and the current value.
//
//   void TCPU::PublishProperties(TPublished& p) const {
//       TPersistent::PublishProperties(p);
//       p.Add("Count", FCount);            // read when listed
//       p.Add("Vendor", FVendor);
//       p.Add("Features", FFeatures);      // a std::unique_ptr<TCPUFeatures>
//       p.AddGetter("Speed", [this] { return Speed(); });
//   }
//
// Enumerations name their type and identifiers once, next to their
// declaration:  TORVEX_ENUM_NAMES(TExceptionMode, "emRaise", "emMessage", "emSilent")
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

namespace torvex::classes {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class's own name without namespaces ("TCPU").
    virtual std::string ClassName() const;
};

class TPersistent;

// Kinds of published properties, as the lister tells them apart. Booleans are
// an enumeration with the identifiers "False" and "True".
enum class TTypeKind { tkInteger, tkInt64, tkFloat, tkEnumeration, tkString, tkClass };

struct TPropValue {
    TTypeKind Kind = TTypeKind::tkInteger;
    std::int64_t Int = 0;        // tkInteger, tkInt64; the ordinal of tkEnumeration
    std::uint64_t UInt = 0;      // tkInt64 of an unsigned 64-bit property
    bool Unsigned64 = false;
    double Float = 0;            // tkFloat
    std::string Text;            // tkString; the identifier of tkEnumeration
    const TPersistent* Object = nullptr;   // tkClass (nested object or string list)

    // The value as a lister shows it: numbers in decimal, an enumeration by
    // its identifier, a nested object as "(TClassName)" or "(nil)".
    std::string AsText() const;
};

struct TPropInfo {
    std::string Name;
    std::string TypeName;   // "Integer", "Cardinal", "Int64", "Boolean", "string", "TExceptionMode", ...
    TTypeKind Kind = TTypeKind::tkInteger;
    std::function<TPropValue()> Get;
};

// Type name and identifiers of an enumeration.
struct TEnumTypeInfo {
    const char* Name;
    std::vector<const char*> Identifiers;
    std::string IdentifierOf(long ordinal) const;
};

// The identifier of an enumeration value ("emMessage").
template <class E>
std::string EnumName(E value) {
    return EnumTypeInfo(static_cast<E*>(nullptr)).IdentifierOf(long(value));
}

namespace detail {

template <class T, class = void>
struct HasEnumInfo : std::false_type {};
template <class T>
struct HasEnumInfo<T, std::void_t<decltype(EnumTypeInfo(static_cast<T*>(nullptr)))>>
    : std::true_type {};

template <class T>
struct IsUniquePtr : std::false_type {};
template <class T, class D>
struct IsUniquePtr<std::unique_ptr<T, D>> : std::true_type {};

// A class name without namespaces, from its type.
std::string ClassNameOf(const std::type_info& type);

template <class T>
constexpr const char* IntegerTypeName() {
    if constexpr (std::is_same_v<T, std::int8_t>) return "ShortInt";
    else if constexpr (std::is_same_v<T, std::uint8_t>) return "Byte";
    else if constexpr (std::is_same_v<T, std::int16_t>) return "SmallInt";
    else if constexpr (std::is_same_v<T, std::uint16_t>) return "Word";
    else if constexpr (std::is_signed_v<T> && sizeof(T) == 4) return "Integer";
    else if constexpr (std::is_unsigned_v<T> && sizeof(T) == 4) return "Cardinal";
    else if constexpr (std::is_signed_v<T>) return "Int64";
    else return "UInt64";
}

// Describes a value of type T; `value` is read at listing time.
template <class T>
void Describe(TPropInfo& info, std::function<T()> read) {
    using V = std::remove_cv_t<std::remove_reference_t<T>>;
    if constexpr (std::is_same_v<V, bool>) {
        info.TypeName = "Boolean";
        info.Kind = TTypeKind::tkEnumeration;
        info.Get = [read] {
            TPropValue v;
            v.Kind = TTypeKind::tkEnumeration;
            v.Int = read() ? 1 : 0;
            v.Text = v.Int ? "True" : "False";
            return v;
        };
    } else if constexpr (std::is_enum_v<V>) {
        static_assert(HasEnumInfo<V>::value, "name the enumeration with TORVEX_ENUM_NAMES");
        const TEnumTypeInfo& e = EnumTypeInfo(static_cast<V*>(nullptr));
        info.TypeName = e.Name;
        info.Kind = TTypeKind::tkEnumeration;
        info.Get = [read, &e] {
            TPropValue v;
            v.Kind = TTypeKind::tkEnumeration;
            v.Int = long(read());
            v.Text = e.IdentifierOf(long(v.Int));
            return v;
        };
    } else if constexpr (std::is_integral_v<V>) {
        info.TypeName = IntegerTypeName<V>();
        info.Kind = sizeof(V) < 8 ? TTypeKind::tkInteger : TTypeKind::tkInt64;
        info.Get = [read, kind = info.Kind] {
            TPropValue v;
            v.Kind = kind;
            V x = read();
            if constexpr (std::is_unsigned_v<V> && sizeof(V) == 8) {
                v.Unsigned64 = true;
                v.UInt = x;
                v.Int = std::int64_t(x);
            } else {
                v.Int = std::int64_t(x);
                v.UInt = std::uint64_t(v.Int);
            }
            return v;
        };
    } else if constexpr (std::is_floating_point_v<V>) {
        info.TypeName = std::is_same_v<V, float> ? "Single" : "Double";
        info.Kind = TTypeKind::tkFloat;
        info.Get = [read] {
            TPropValue v;
            v.Kind = TTypeKind::tkFloat;
            v.Float = double(read());
            return v;
        };
    } else if constexpr (std::is_convertible_v<V, std::string>) {
        info.TypeName = "string";
        info.Kind = TTypeKind::tkString;
        info.Get = [read] {
            TPropValue v;
            v.Kind = TTypeKind::tkString;
            v.Text = std::string(read());
            return v;
        };
    } else if constexpr (std::is_pointer_v<V>) {
        using P = std::remove_cv_t<std::remove_pointer_t<V>>;
        static_assert(std::is_base_of_v<TPersistent, P>, "a published object is a TPersistent");
        info.Kind = TTypeKind::tkClass;
        info.TypeName = ClassNameOf(typeid(P));
        info.Get = [read] {
            TPropValue v;
            v.Kind = TTypeKind::tkClass;
            v.Object = read();
            return v;
        };
    } else {
        static_assert(sizeof(V) == 0, "this type cannot be published");
    }
}

}  // namespace detail

// Collects the published properties of an object in declaration order.
class TPublished {
public:
    // A field, read whenever the lister asks for its value. Objects may be
    // published as a member object, a pointer or a std::unique_ptr.
    template <class T>
    void Add(std::string name, const T& field) {
        TPropInfo info;
        info.Name = std::move(name);
        if constexpr (detail::IsUniquePtr<T>::value) {
            using P = const typename T::element_type*;
            detail::Describe<P>(info, std::function<P()>([&field] { return field.get(); }));
        } else if constexpr (std::is_base_of_v<TPersistent, T>) {
            using P = const T*;
            detail::Describe<P>(info, std::function<P()>([&field] { return &field; }));
        } else {
            detail::Describe<T>(info, std::function<T()>([&field] { return field; }));
        }
        props_.push_back(std::move(info));
    }
    // A property whose value a function computes.
    template <class F>
    void AddGetter(std::string name, F getter) {
        using R = std::remove_cv_t<std::remove_reference_t<decltype(getter())>>;
        TPropInfo info;
        info.Name = std::move(name);
        detail::Describe<R>(info, std::function<R()>(std::move(getter)));
        props_.push_back(std::move(info));
    }

    std::vector<TPropInfo> Take() { return std::move(props_); }

private:
    std::vector<TPropInfo> props_;
};

class TPersistent : public TObject {
public:
    // The published properties in declaration order, base classes first.
    std::vector<TPropInfo> GetPropList() const;

protected:
    // Overrides call their base first, then add their own properties.
    virtual void PublishProperties(TPublished& published) const;
};

}  // namespace torvex::classes

// Names an enumeration's type and identifiers for the property lister.
// Use in the namespace of the enumeration.
#define TORVEX_ENUM_NAMES(Enum, ...)                                                \
    inline const ::torvex::classes::TEnumTypeInfo& EnumTypeInfo(Enum*) {             \
        static const ::torvex::classes::TEnumTypeInfo info{#Enum, {__VA_ARGS__}};    \
        return info;                                                                 \
    }
