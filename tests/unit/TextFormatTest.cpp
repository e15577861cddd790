#include "common/TextFormat.h"

#include <gtest/gtest.h>

namespace {

std::string Format(const char* format, std::initializer_list<FormatArg> args, size_t size = 260)
{
    std::vector<char> out(size);
    FormatText(out.data(), out.size(), format, args);
    return out.data();
}

TEST(TextFormatTest, FormatsLikeWsprintf)
{
    EXPECT_EQ(Format("session%i, %d%%", {8, -3}), "session8, -3%");
    EXPECT_EQ(Format("[%5i|%-4d|%05d|%x|%X|%u]", {42, 7, -12, 255, 255, -1}),
              "[   42|7   |-0012|ff|FF|4294967295]");
    EXPECT_EQ(Format("%s and %.3s", {"all", "abcdef"}), "all and abc");
    EXPECT_EQ(Format("%c%c", {'o', 'k'}), "ok");
    EXPECT_EQ(Format("%ld", {-2147483647 - 1}), "-2147483648");
}

TEST(TextFormatTest, ConversionsWithoutAFittingArgumentStayAsWritten)
{
    // A translated report that asks for a string where the program passes a number must not crash.
    EXPECT_EQ(Format("%s dir %i, %i, %i, %i", {1, 2, 3}), "%s dir 1, 2, 3, %i");
    EXPECT_EQ(Format("%i: %s", {"text"}), "%i: text");
    EXPECT_EQ(Format("100%", {}), "100%");
    EXPECT_EQ(Format("%q%n", {5}), "%q%n");
}

TEST(TextFormatTest, ResultsAreBoundedToTheBuffer)
{
    char out[8];
    EXPECT_FALSE(FormatText(out, sizeof out, "%s", {"0123456789"}));
    EXPECT_STREQ(out, "0123456");
    EXPECT_TRUE(FormatText(out, sizeof out, "%i", {1234567}));
    EXPECT_FALSE(CopyText(out, sizeof out, "too long text"));
    EXPECT_STREQ(out, "too lon");
}

} // namespace
