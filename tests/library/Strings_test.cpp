#include "library/Stringcontainer.h"
#include "library/Strworks.h"

#include "support/Testsupport.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

TEST(StringContainer, SplitAndJoinQuoteBlankAndEmptyTokens)
{
    lib::StringContainer tokens;
    const std::string text = "a \"b c\" \"\"";
    tokens.split(text);
    EXPECT_THAT(tokens.tokens(), ElementsAre("a", "b c", ""));
    EXPECT_EQ(tokens.join(), text);

    tokens.split("abcd e fg");
    EXPECT_THAT(tokens.tokens(), ElementsAre("abcd", "e", "fg"));

    tokens.split("  x   y  ");
    EXPECT_THAT(tokens.tokens(), ElementsAre("x", "y"));

    tokens.split("a \"unterminated b");  // the rest, opening quote and all
    EXPECT_THAT(tokens.tokens(), ElementsAre("a", "\"unterminated b"));

    tokens.split("");
    EXPECT_TRUE(tokens.tokens().empty());
}

TEST(StringContainer, CursorReadsInOrderAndOutOfRangeIsEmpty)
{
    const test::DecimalSeparatorScope comma(',');
    lib::StringContainer tokens;
    tokens.add("Метан");
    tokens.add(std::int32_t{-12});
    tokens.add(2.5);
    EXPECT_EQ(tokens.join(), "Метан -12 2,5");

    EXPECT_EQ(tokens.get(), "Метан");
    EXPECT_EQ(tokens.getInt(), -12);
    EXPECT_DOUBLE_EQ(tokens.getReal(), 2.5);
    EXPECT_EQ(tokens.cursor(), 3);
    EXPECT_EQ(tokens.get(), "");            // past the end
    EXPECT_EQ(tokens.getInt(-1, 99), 99);   // missing token: the default
    EXPECT_EQ(tokens.get(1), "-12");        // explicit index leaves the cursor
    EXPECT_EQ(tokens.cursor(), 5);
    EXPECT_EQ(tokens.get(7), "");
    EXPECT_EQ(tokens.getInt(0, 5), 5);      // no number: the default

    tokens.split("1 2");
    EXPECT_EQ(tokens.cursor(), 0);
}

TEST(GetField, QuotedFieldsAndTrailingSeparator)
{
    const char* text = " alpha, \"beta, gamma\" ,delta, ";
    EXPECT_EQ(lib::getField(text, 0, ','), "alpha");
    EXPECT_EQ(lib::getField(text, 1, ','), "beta, gamma");
    EXPECT_EQ(lib::getField(text, 2, ','), "delta");
    EXPECT_EQ(lib::getField(text, 3, ','), "");  // separator at the end: no empty field
    EXPECT_EQ(lib::getField(text, -1, ','), "");
    EXPECT_THAT(lib::splitFields("a,b,", ','), ElementsAre("a", "b"));
    EXPECT_THAT(lib::splitFields("-35  12 7", ' '), ElementsAre("-35", "12", "7"));
    EXPECT_THAT(lib::splitFields("\"open", ','), ElementsAre("open"));
    EXPECT_TRUE(lib::splitFields("   ", ',').empty());
}

} // namespace
