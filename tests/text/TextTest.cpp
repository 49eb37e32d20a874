#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::text;
using namespace kvort::text::literals;

namespace {
std::string byte(int b) {
    return std::string(1, static_cast<char>(b));
}
} // namespace

TEST(Cp1251, EveryDefinedByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue;
        std::string utf8 = toUtf8(byte(b));
        EXPECT_EQ(fromUtf8(utf8), byte(b)) << "byte " << b;
    }
}

TEST(Cp1251, KnownCharacters) {
    struct Row {
        int byte;
        const char* utf8;
    } rows[] = {{0xC0, "А"},
                {0xDF, "Я"},
                {0xE0, "а"},
                {0xFF, "я"},
                {0xA8, "Ё"},
                {0xB8, "ё"},
                {0xB9, "№"},
                {0xAF, "Ї"},
                {0xB2, "І"},
                {0xB3, "і"},
                {0xBF, "ї"},
                {0x88, "€"},
                {0x96, "–"},
                {0xAB, "«"},
                {0xA0, "\u00A0"},
                {'A', "A"},
                {0, std::string(1, '\0').c_str()}};
    for (const auto& r : rows) {
        std::string expected = r.byte == 0 ? std::string(1, '\0') : std::string(r.utf8);
        EXPECT_EQ(toUtf8(byte(r.byte)), expected) << r.byte;
    }
}

TEST(Cp1251, UndefinedByteBecomesReplacementCharacter) {
    EXPECT_EQ(toUtf8(byte(0x98)), "\uFFFD");
    EXPECT_THROW(fromUtf8("\uFFFD"), TextError);
}

TEST(Cp1251, UnrepresentableAndMalformedInputAreErrors) {
    for (const char* bad : {"中", "ZONE \xF0\x9F\x94\xA5", "\xC3", "\xE2\x82", "\x80", "\xFF"}) {
        EXPECT_THROW(fromUtf8(bad), TextError) << bad;
    }
    try {
        fromUtf8("ЗОНА 中");
        FAIL();
    } catch (const TextError& e) {
        EXPECT_NE(std::string(e.what()).find("U+4E2D"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fromUtf8Lossy("А中Б"), fromUtf8("А?Б"));
}

TEST(Cp1251, LiteralsMatchRuntimeConversion) {
    EXPECT_EQ("ПУ-П "_cp, fromUtf8("ПУ-П "));
    EXPECT_EQ("СЦЕН.№ёЇ"_cp, fromUtf8("СЦЕН.№ёЇ"));
    EXPECT_EQ(""_cp.size(), 0u);
}

TEST(Cp1251, UpperCase) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"абвгдежзийклмнопрстуфхцчшщъыьэюя", "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
        {"ё ї і є ў ґ ђ ѓ љ њ ќ ћ џ ј ѕ", "Ё Ї І Є Ў Ґ Ђ Ѓ Љ Њ Ќ Ћ Џ Ј Ѕ"},
        {"latin az 09 №µ«»", "LATIN AZ 09 №µ«»"},
        {"ПУ-П /01", "ПУ-П /01"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(toUtf8(upper(fromUtf8(r.in))), r.out) << r.in;
}

TEST(Cp1251, TypingFilter) {
    EXPECT_EQ(toUtf8(typingFilter(fromUtf8("ЇІіїЁ№5"))), "IIIIЁ5");
    EXPECT_EQ(toUtf8(typingFilter(fromUtf8("КОРИДОР №2"))), "КОРИДОР 2");
}

TEST(Cp1251, NamesCompareWithoutCaseAndSurroundingBlanks) {
    struct Row {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"ЗОНА", "зона", true},
        {"ПЛАН ЗОНЫ ", "[x]", false},
        {"ПЛАН ЗОНЫ ", "план зоны", true},
        {"  СЦЕНАРИЙ 01\t", "сценарий 01", true},
        {"СЦЕНАРИЙ 01", "СЦЕНАРИЙ  01", false}, // inner blanks count
        {"Ё", "ё", true},
        {"Е", "Ё", false},
        {"ППКП1", "ППКП2", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(sameName(fromUtf8(r.a), fromUtf8(r.b)), r.same) << r.a << " / " << r.b;
}
