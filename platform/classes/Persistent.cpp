#include "platform/classes/Persistent.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

#include "platform/classes/SysUtils.h"

namespace torvex::classes {

namespace detail {

std::string ClassNameOf(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string name = (status == 0 && demangled) ? demangled.get() : type.name();
    // Drop the namespaces, and anything that follows a template's name.
    if (auto angle = name.find('<'); angle != std::string::npos) name.resize(angle);
    if (auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
    return name;
}

}  // namespace detail

std::string TObject::ClassName() const { return detail::ClassNameOf(typeid(*this)); }

std::string TEnumTypeInfo::IdentifierOf(long ordinal) const {
    if (ordinal >= 0 && std::size_t(ordinal) < Identifiers.size()) return Identifiers[std::size_t(ordinal)];
    // A value outside the declared range still shows: as its number.
    return std::to_string(ordinal);
}

std::string TPropValue::AsText() const {
    switch (Kind) {
        case TTypeKind::tkInteger: return std::to_string(Int);
        case TTypeKind::tkInt64: return Unsigned64 ? std::to_string(UInt) : std::to_string(Int);
        case TTypeKind::tkFloat: return FloatToStr(Float);
        case TTypeKind::tkEnumeration:
        case TTypeKind::tkString: return Text;
        case TTypeKind::tkClass: return Object ? "(" + Object->ClassName() + ")" : "(nil)";
    }
    return {};
}

std::vector<TPropInfo> TPersistent::GetPropList() const {
    TPublished published;
    PublishProperties(published);
    return published.Take();
}

void TPersistent::PublishProperties(TPublished&) const {}

}  // namespace torvex::classes
