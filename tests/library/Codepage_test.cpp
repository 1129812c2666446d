#include "library/Codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(Codepage, CyrillicRoundTripsThroughWindows1251)
{
    const std::string text = "Хроматограф ЛТ-4КС: ёЁ №5 «газ»";
    const std::string bytes = lib::toCp1251(text);
    EXPECT_EQ(bytes.size(), 31u);  // one byte a character
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xD5);  // Х
    EXPECT_EQ(lib::fromCp1251(bytes), text);
}

TEST(Codepage, WhatCannotBeConvertedIsReplacedNotLost)
{
    EXPECT_EQ(lib::toCp1251("a漢b"), "a?b");
    EXPECT_EQ(lib::toCp1251("a\xFF\xFE" "b"), "a??b");     // broken UTF-8
    EXPECT_EQ(lib::toCp1251("a\xD0"), "a?");               // cut sequence at the end
    EXPECT_EQ(lib::fromCp1251("a\x98" "b"), "a\xEF\xBF\xBD" "b");  // 0x98 is undefined in CP1251
    EXPECT_EQ(lib::fromCp1251(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Codepage, CaseFoldingCoversLatinAndCyrillic)
{
    EXPECT_EQ(lib::foldCaseCp1251(lib::toCp1251("ГАЗ Ёж Device_TYPE")),
              lib::toCp1251("газ ёж device_type"));
    EXPECT_EQ(lib::foldCaseCp1251(lib::toCp1251("ЎЄЇІҐ")), lib::toCp1251("ўєїіґ"));
}

} // namespace
