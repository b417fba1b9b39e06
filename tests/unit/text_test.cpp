// Whole-number conversion and text cutting: the rules every setting,
// counter and add-on code is read by.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Text.h"

namespace {

TEST(StrToInt, AcceptsTheDocumentedForms)
{
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"+1", true, 1},
        {"-1", true, -1},
        {"   42", true, 42},
        {"$1F", true, 31},
        {"$ff", true, 255},
        {"-$10", true, -16},
        {"$FFFFFFFF", true, -1},            // hexadecimal may use all 32 bits
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},           // decimal overflow
        {"99999999999", false, 0},
        {"$100000000", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"A", false, 0},
        {"0x10", false, 0},                  // only "$" introduces hex here
        {"12 ", false, 0},                   // nothing may follow
        {"1.5", false, 0},
        {"\t1", false, 0},
    };
    for (const Case& c : cases) {
        std::int32_t value = 0;
        EXPECT_EQ(c.ok, TryStrToInt(c.text, value)) << '"' << c.text << '"';
        if (c.ok) EXPECT_EQ(c.value, value) << '"' << c.text << '"';
    }
}

TEST(StrToInt, RaisesTheConversionErrorWithTheText)
{
    try {
        StrToInt("A");
        FAIL();
    } catch (const EError& e) {
        EXPECT_STREQ("'A' is not a valid integer value", e.what());
    }
    EXPECT_EQ(7, StrToInt("+7"));
}

TEST(ReadIntegerText, TreatsLeading0xAsHexOnlyWhenLongerThanTwo)
{
    EXPECT_EQ(31, ReadIntegerText("0x1F", -1));
    EXPECT_EQ(31, ReadIntegerText("0X1f", -1));
    EXPECT_EQ(-1, ReadIntegerText("0x", -1));
    EXPECT_EQ(0, ReadIntegerText("0x0", -1));
    EXPECT_EQ(-1, ReadIntegerText("abc", -1));
    EXPECT_EQ(-1, ReadIntegerText("", -1));
}

TEST(Cut, KeepsTheFirst255Characters)
{
    EXPECT_EQ(std::string(255, 'a'), Cut(std::string(300, 'a')));
    EXPECT_EQ("short", Cut("short"));
    EXPECT_EQ("ab", Cut("abc", 2));
}

TEST(IntToStr, WritesPlainDecimal)
{
    EXPECT_EQ("0", IntToStr(0));
    EXPECT_EQ("32", IntToStr(32));
    EXPECT_EQ("-2147483648", IntToStr(-2147483648LL));
    EXPECT_EQ("4294967296", IntToStr(4294967296LL));  // past 32 bits
    EXPECT_EQ("1000000000000000000", IntToStr(1000000000000000000LL));
    EXPECT_EQ("9223372036854775807", IntToStr(INT64_MAX));
    EXPECT_EQ("-9223372036854775808", IntToStr(INT64_MIN));
}

}  // namespace
