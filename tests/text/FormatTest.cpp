#include "text/Format.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <gtest/gtest.h>

using namespace kvort;
using namespace kvort::text;
using namespace kvort::text::literals;

TEST(Format, NumbersTakeAMinimumDigitCountAndAreNeverCut) {
    EXPECT_EQ(Format("%1.1d", {0}), "0");
    EXPECT_EQ(Format("%1.1d", {12}), "12");
    EXPECT_EQ(Format("%2.2d", {5}), "05");
    EXPECT_EQ(Format("%2.2d", {97}), "97");
    EXPECT_EQ(Format("%2.2d", {128}), "128");
    EXPECT_EQ(Format("%3.3d", {7}), "007");
    EXPECT_EQ(Format("%3.3d", {1234}), "1234");
    EXPECT_EQ(Format("%2.2d", {-1}), "-01");
    EXPECT_EQ(Format("%d", {-40}), "-40");
    EXPECT_EQ(Format("%5d", {42}), "   42");
}

TEST(Format, StringsArePaddedButNotCutByWidth) {
    EXPECT_EQ(Format("%-15s|", {"АБВ"_cp}), std::string("АБВ"_cp) + std::string(12, ' ') + "|");
    EXPECT_EQ(Format("%-20s", {"12345678901234567890123"}), "12345678901234567890123");
    EXPECT_EQ(Format("%-50s", {""}).size(), 50u);
    EXPECT_EQ(Format("%5s", {"ab"}), "   ab");
    EXPECT_EQ(Format("%.3s", {"abcdef"}), "abc");
}

TEST(Format, MixedPatterns) {
    EXPECT_EQ(Format("%s%1.1d%1.1d-%2.2d", {"И"_cp, 0, 1, 5}), std::string("И01-05"_cp));
    EXPECT_EQ(Format("100%% %s", {"x"}), "100% x");
}

TEST(Format, MisuseIsAnError) {
    EXPECT_THROW(Format("%d", {"text"}), Error);
    EXPECT_THROW(Format("%s", {1}), Error);
    EXPECT_THROW(Format("%d %d", {1}), Error);
    EXPECT_THROW(Format("%d", {1, 2}), Error);
    EXPECT_THROW(Format("%x", {1}), Error);
    EXPECT_THROW(Format("abc%", {}), Error);
}

TEST(Format, StrToIntDef) {
    struct Row {
        const char* text;
        int expected;
    } rows[] = {
        {"0", 0},
        {"13", 13},
        {"-8", -8},
        {"+7", 7},
        {"0x1F", 31},
        {"0X10", 16},
        {"$FF", 255},
        {"255", 255},
        {"", -99},
        {"abc", -99},
        {"12abc", -99},
        {"1 2", -99},
        {"0x", -99},
        {"-", -99},
        {"99999999999", -99},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {" 5", 5},
    };
    for (const auto& r : rows)
        EXPECT_EQ(StrToIntDef(r.text, -99), r.expected) << "'" << r.text << "'";
}
