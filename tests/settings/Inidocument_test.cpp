#include "settings/Inidocument.h"

#include <gtest/gtest.h>

namespace {

// CP1251 bytes of "[Порт]" and "Имя" (upper-case first letters).
const std::string cyrSection = "\xCF\xEE\xF0\xF2";       // Порт
const std::string cyrSectionLower = "\xEF\xEE\xF0\xF2";  // порт
const std::string cyrKey = "\xC8\xEC\xFF";                // Имя
const std::string cyrKeyLower = "\xE8\xEC\xFF";           // имя

TEST(IniDocument, NamesWithoutCaseValuesTrimmedAndUnquoted)
{
    const auto doc = lib::IniDocument::parse(
        "; comment\r\n"
        "[" + cyrSection + "]\r\n"
        "  " + cyrKey + "  =   \"  COM3  \"   \r\n"
        "Speed=19200\n"
        "line without equals\r\n"
        "Open=\"unterminated\r\n"
        "Empty=\r\n"
        "Quotes=\"\"\r\n"
        "[ Other ]\n"
        "speed=1\n");
    EXPECT_EQ(doc.read(cyrSectionLower, cyrKeyLower), "  COM3  ");
    EXPECT_EQ(doc.read("\xEF\xCE\xD0\xD2", "SPEED"), "19200");  // пОРТ
    EXPECT_EQ(doc.read(cyrSection, "open"), "\"unterminated");
    EXPECT_EQ(doc.read(cyrSection, "empty"), "");
    EXPECT_EQ(doc.read(cyrSection, "quotes"), "");
    EXPECT_EQ(doc.read("other", "speed"), "1");
    EXPECT_FALSE(doc.read(cyrSection, "line without equals"));
    EXPECT_FALSE(doc.read(cyrSection, "missing"));
    EXPECT_FALSE(doc.read("missing", "speed"));
    EXPECT_FALSE(doc.read("", "comment"));
}

TEST(IniDocument, WritesInPlaceOrAtTheEndOfTheSectionKeepingOtherLines)
{
    auto doc = lib::IniDocument::parse(
        "; kept\r\n"
        "[a]\r\n"
        "x=1\r\n"
        "odd line\r\n"
        "\r\n"
        "[b]\r\n"
        "y=2\r\n");
    EXPECT_TRUE(doc.write("A", "X", "10"));
    EXPECT_FALSE(doc.write("a", "X", "10"));  // same text: nothing changes
    EXPECT_TRUE(doc.write("a", "z", "3"));
    EXPECT_TRUE(doc.write("c", "w", "multi\r\nline"));  // no line breaks into the file
    EXPECT_EQ(doc.serialize(),
              "; kept\r\n"
              "[a]\r\n"
              "X=10\r\n"
              "odd line\r\n"
              "z=3\r\n"
              "\r\n"
              "[b]\r\n"
              "y=2\r\n"
              "\r\n"
              "[c]\r\n"
              "w=multi  line\r\n");
}

TEST(IniDocument, EraseSectionAndBomAndDuplicateSections)
{
    auto doc = lib::IniDocument::parse("\xEF\xBB\xBF[s]\nk=1\n[t]\nk=2\n[S]\nk=3\n");
    EXPECT_EQ(doc.read("s", "k"), "1");  // the first of duplicate sections
    EXPECT_TRUE(doc.eraseSection("s"));  // every copy goes
    EXPECT_FALSE(doc.hasSection("s"));
    EXPECT_FALSE(doc.eraseSection("s"));
    EXPECT_EQ(doc.read("t", "k"), "2");
    EXPECT_EQ(doc.serialize(), "[t]\r\nk=2\r\n");
}

TEST(IniDocument, NewDocumentGetsSectionsAppended)
{
    lib::IniDocument doc;
    doc.write("one", "a", "1");
    doc.write("two", "b", "2");
    doc.write("one", "c", "3");
    EXPECT_EQ(doc.serialize(), "[one]\r\na=1\r\nc=3\r\n\r\n[two]\r\nb=2\r\n");
    EXPECT_EQ(doc.keys("ONE"), (std::vector<std::string>{"a", "c"}));
}

} // namespace
