#pragma once
// CP1251 text literals written as ordinary (UTF-8) source text:
//
//     using namespace kvort::text::literals;
//     store.ReadString("СОСТАВ"_cp, "0", "НЕТ"_cp);
//
// The conversion happens at compile time; a character with no CP1251 form
// is a compile error. The result is a std::string_view over static storage.
#include <array>
#include <cstddef>
#include <string_view>
#include <type_traits>

namespace kvort::text {
namespace detail {

// Code points of CP1251 bytes 0x80..0xBF (0 = undefined); 0xC0..0xFF are
// U+0410..U+044F. Kept in step with the table in Cp1251.cpp.
inline constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

template <std::size_t N> struct Utf8Literal {
    char data[N]{};
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i)
            data[i] = s[i];
    }
};

constexpr unsigned char toCp1251(char32_t cp) {
    if (cp < 0x80)
        return static_cast<unsigned char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<unsigned char>(0xC0 + (cp - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] != 0 && kHigh[i] == cp)
            return static_cast<unsigned char>(0x80 + i);
    throw "character has no CP1251 form"; // compile error in a constant expression
}

// Calls f(codepoint) for each UTF-8 character of s[0..n).
template <typename F> constexpr void eachChar(const char* s, std::size_t n, F f) {
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : 4;
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        f(cp);
        i += len;
    }
}

template <Utf8Literal L> struct Converted {
    static constexpr std::size_t size = [] {
        std::size_t n = 0;
        eachChar(L.data, sizeof(L.data) - 1, [&](char32_t) { ++n; });
        return n;
    }();
    static constexpr std::array<char, size + 1> bytes = [] {
        std::array<char, size + 1> out{};
        std::size_t n = 0;
        eachChar(L.data, sizeof(L.data) - 1,
                 [&](char32_t cp) { out[n++] = static_cast<char>(toCp1251(cp)); });
        return out;
    }();
};

} // namespace detail

namespace literals {
#if defined(__clang__)
// clang (14 at least) crashes when it prints a literal operator template of
// class type, which it does for the notes of any failed constant evaluation
// around the literal (`const std::string s = std::string("И"_cp) + x;` is
// enough). It prints the character-pack form, a GNU extension, correctly;
// the bytes are the same.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wgnu-string-literal-operator-template"
template <typename C, C... Cs> constexpr std::string_view operator""_cp() {
    static_assert(std::is_same_v<C, char>, "a plain string literal");
    using Converted = detail::Converted<detail::Utf8Literal<sizeof...(Cs) + 1>({Cs..., 0})>;
    return {Converted::bytes.data(), Converted::size};
}
#pragma clang diagnostic pop
#else
template <detail::Utf8Literal L> constexpr std::string_view operator""_cp() {
    return {detail::Converted<L>::bytes.data(), detail::Converted<L>::size};
}
#endif
} // namespace literals

} // namespace kvort::text
