#pragma once
// The subset of Delphi's Format that the system's texts use: %s, %d and the
// width/precision forms %-15s, %2.2d, %3.3d. As in Delphi, the precision of
// %d is a minimum digit count and a value with more digits is never cut;
// the precision of %s is a maximum length. All strings are CP1251 bytes.
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace kvort::text {

using FormatArg = std::variant<long long, std::string_view>;

struct Arg {
    FormatArg value;
    Arg(int v) : value(static_cast<long long>(v)) {}
    Arg(long v) : value(static_cast<long long>(v)) {}
    Arg(long long v) : value(v) {}
    Arg(unsigned v) : value(static_cast<long long>(v)) {}
    Arg(std::string_view v) : value(v) {}
    Arg(const std::string& v) : value(std::string_view(v)) {}
    Arg(const char* v) : value(std::string_view(v)) {}
};

// Throws kvort::Error on a malformed pattern or an argument of the wrong
// kind: a wrong format is a programming fault, never silently mended.
std::string Format(std::string_view pattern, std::initializer_list<Arg> args);

// Decimal text of a number, no padding.
std::string IntToStr(long long v);

// Appends v as "%N.Nd" writes it for N = digits: a sign, then at least that
// many digits. For the names built on every output and step, without a
// pattern to parse.
void AppendDecimal(std::string& out, long long v, int digits);

// Delphi's StrToIntDef: decimal with optional sign, or hexadecimal with "$"
// or "0x"; anything else (blanks, trailing text, overflow) yields def.
int StrToIntDef(std::string_view s, int def);

} // namespace kvort::text
