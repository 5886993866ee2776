// Exceptions, number formatting and text comparison of the class library.
//
// Format and FormatFloat follow the rules of the Pascal run-time library that
// the engine's report texts were written against: "%x" gives upper-case
// digits, a precision on an integer is a minimum digit count, "%f" and
// FormatFloat round halves away from zero, and a grouping pattern such as
// "#,##" writes nothing at all for zero.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/machine/FileText.h"

namespace torvex::classes {

// The general exception: a message, nothing else.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A format text that does not match its arguments, a text that is no number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be created or written.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// Separators of number texts. The engine's report texts use the defaults; a
// window may pass the user's own.
struct TFormatSettings {
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
};
const TFormatSettings& DefaultFormatSettings();

// One argument of Format. Integers remember whether they are 64-bit, since a
// negative value is written in hexadecimal in its own width.
class TVarRec {
public:
    enum class Kind { Int32, UInt32, Int64, UInt64, Float, Text };

    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, char>,
                                        int> = 0>
    TVarRec(T v) {
        if constexpr (sizeof(T) <= 4) {
            if constexpr (std::is_signed_v<T>) {
                kind_ = Kind::Int32;
                int_ = v;
            } else {
                kind_ = Kind::UInt32;
                uint_ = v;
            }
        } else if constexpr (std::is_signed_v<T>) {
            kind_ = Kind::Int64;
            int_ = v;
        } else {
            kind_ = Kind::UInt64;
            uint_ = v;
        }
    }
    // Booleans are written as 0 and 1, as the report does with its flags.
    TVarRec(bool v) : kind_(Kind::Int32), int_(v ? 1 : 0) {}
    TVarRec(double v) : kind_(Kind::Float), float_(v) {}
    TVarRec(float v) : kind_(Kind::Float), float_(v) {}
    TVarRec(long double v) : kind_(Kind::Float), float_(double(v)) {}
    TVarRec(const char* v) : kind_(Kind::Text), text_(v ? v : "") {}
    TVarRec(std::string_view v) : kind_(Kind::Text), text_(v) {}
    TVarRec(const std::string& v) : kind_(Kind::Text), text_(v) {}
    TVarRec(char v) : kind_(Kind::Text), text_(1, v) {}

    Kind kind() const { return kind_; }
    bool isInteger() const { return kind_ != Kind::Float && kind_ != Kind::Text; }
    bool isNegative() const { return (kind_ == Kind::Int32 || kind_ == Kind::Int64) && int_ < 0; }
    std::int64_t asInt() const { return int_; }
    std::uint64_t asUInt() const { return uint_; }
    // The value as two's complement bits in the argument's own width.
    std::uint64_t bits() const;
    double asFloat() const { return float_; }
    const std::string& asText() const { return text_; }

private:
    Kind kind_;
    std::int64_t int_ = 0;
    std::uint64_t uint_ = 0;
    double float_ = 0;
    std::string text_;
};

// Format("%s=%d", {"Count", 3}). Specifiers: %[index:][-][width][.precision]
// with d, u, x, s, f, n, e, g and "%%"; width and precision may be "*".
// A specifier that does not fit its argument raises EConvertError.
std::string Format(std::string_view format, std::initializer_list<TVarRec> args,
                   const TFormatSettings& settings = DefaultFormatSettings());

// FormatFloat("#,##0.00", 1234.5): digit placeholders "0" (forced) and "#"
// (optional), "." for the decimal point, "," anywhere for thousands grouping,
// quoted literals, up to three ";"-separated sections (positive; negative;
// zero). Integers keep every digit.
std::string FormatFloat(std::string_view pattern, double value,
                        const TFormatSettings& settings = DefaultFormatSettings());
std::string FormatFloat(std::string_view pattern, std::int64_t value,
                        const TFormatSettings& settings = DefaultFormatSettings());
inline std::string FormatFloat(std::string_view pattern, int value,
                               const TFormatSettings& settings = DefaultFormatSettings()) {
    return FormatFloat(pattern, std::int64_t(value), settings);
}
inline std::string FormatFloat(std::string_view pattern, unsigned value,
                               const TFormatSettings& settings = DefaultFormatSettings()) {
    return FormatFloat(pattern, std::int64_t(value), settings);
}
std::string FormatFloat(std::string_view pattern, std::uint64_t value,
                        const TFormatSettings& settings = DefaultFormatSettings());

std::string IntToStr(std::int64_t value);
// Fifteen significant digits, no trailing zeros ("1.5", "1E20").
std::string FloatToStr(double value, const TFormatSettings& settings = DefaultFormatSettings());
// Upper-case digits, at least `digits` of them; a negative value is written
// as the two's complement of its own width (32 bits for an int).
std::string IntToHex(std::int32_t value, int digits);
std::string IntToHex(std::uint32_t value, int digits);
std::string IntToHex(std::int64_t value, int digits);
std::string IntToHex(std::uint64_t value, int digits);
// Decimal text to number; raises EConvertError naming the text.
std::int64_t StrToInt(std::string_view text);
std::int64_t StrToIntDef(std::string_view text, std::int64_t fallback);

// Comparison of texts the way the user's language orders and matches them,
// ignoring letter case but not accents (UTF-8 texts; ICU collation of the
// user's locale, or of `locale` when given, e.g. "nb_NO").
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// Selects the collation locale used by AnsiCompareText ("" = the user's).
void SetCollationLocale(const std::string& locale);

// Blanks and control characters (<= ' ') off both ends: the layer's own.
using torvex::platform::Trim;

}  // namespace torvex::classes
