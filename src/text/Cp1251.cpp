#include "Cp1251.h"

#include "Error.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace kvort::text {
namespace {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// 0 marks the one byte the code page leaves undefined (0x98).
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char32_t codePoint(unsigned char b) {
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return 0x0410 + (b - 0xC0);
    return kHigh[b - 0x80];
}

const std::unordered_map<char32_t, unsigned char>& reverseTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (int b = 0x80; b < 0x100; ++b) {
            char32_t cp = codePoint(static_cast<unsigned char>(b));
            if (cp != 0)
                t.emplace(cp, static_cast<unsigned char>(b));
        }
        return t;
    }();
    return table;
}

constexpr std::array<unsigned char, 256> makeUpper() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 0x20);
    for (int c = 0xE0; c <= 0xFF; ++c)
        t[c] = static_cast<unsigned char>(c - 0x20);
    const unsigned char pairs[][2] = {{0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C},
                                      {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1},
                                      {0xBC, 0xA3}, {0xB4, 0xA5}, {0xB8, 0xA8}, {0xBA, 0xAA},
                                      {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD}};
    for (const auto& p : pairs)
        t[p[0]] = p[1];
    return t;
}
constexpr std::array<unsigned char, 256> kUpper = makeUpper();

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string hexCodePoint(char32_t cp) {
    static const char* digits = "0123456789ABCDEF";
    std::string s = "U+";
    bool started = false;
    for (int shift = 20; shift >= 0; shift -= 4) {
        int d = (cp >> shift) & 0xF;
        if (d || started || shift < 16) {
            s += digits[d];
            started = true;
        }
    }
    return s;
}

// Decodes UTF-8, calling onChar(codepoint, utf8Bytes) for each character.
template <typename F> void decodeUtf8(std::string_view s, F onChar) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size())
            throw TextError("неверная последовательность UTF-8 в позиции " + std::to_string(i));
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len; ++k) {
            unsigned char c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                throw TextError("неверная последовательность UTF-8 в позиции " + std::to_string(i));
            cp = (cp << 6) | (c & 0x3F);
        }
        onChar(cp, s.substr(i, len));
        i += len;
    }
}

template <typename F> std::string encode(std::string_view utf8, F onMissing) {
    std::string out;
    out.reserve(utf8.size());
    const auto& rev = reverseTable();
    decodeUtf8(utf8, [&](char32_t cp, std::string_view bytes) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            return;
        }
        auto it = rev.find(cp);
        if (it != rev.end())
            out += static_cast<char>(it->second);
        else
            onMissing(out, cp, bytes);
    });
    return out;
}

} // namespace

std::string toUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251) {
        unsigned char b = static_cast<unsigned char>(c);
        appendUtf8(out, b == 0x98 ? char32_t{0xFFFD} : codePoint(b));
    }
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    return encode(utf8, [](std::string&, char32_t cp, std::string_view bytes) {
        throw TextError("знак «" + std::string(bytes) + "» (" + hexCodePoint(cp) +
                        ") не представим в кодировке CP1251");
    });
}

std::string fromUtf8Lossy(std::string_view utf8, char replacement) {
    return encode(
        utf8, [replacement](std::string& out, char32_t, std::string_view) { out += replacement; });
}

char upper(char c) {
    return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = upper(c);
    return out;
}

std::string typingFilter(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (static_cast<unsigned char>(c)) {
        case 0xAF: // Ї
        case 0xB2: // І
        case 0xB3: // і
        case 0xBF: // ї
            out += 'I';
            break;
        case 0xB9: // №
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string_view trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

std::string foldName(std::string_view name) {
    return upper(trim(name));
}

bool sameName(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

} // namespace kvort::text
