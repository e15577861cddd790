#include "common/IntScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int32_t> ScanAll(const std::string& text)
{
    CIntScanner in(text.data(), text.size());
    std::vector<int32_t> values;
    int32_t v;
    while (in.ReadInt(v))
        values.push_back(v);
    return values;
}

TEST(IntScanTest, ReadsLikePercentI)
{
    EXPECT_EQ(ScanAll("12 010 0x10 0X1a -7 +5 -0x10"), (std::vector<int32_t>{12, 8, 16, 26, -7, 5, -16}));
    // A leading zero means octal, so "08" is 0 followed by 8; "0x" without a hex digit is 0 and an x.
    EXPECT_EQ(ScanAll("08"), (std::vector<int32_t>{0, 8}));
    EXPECT_EQ(ScanAll("0xg"), (std::vector<int32_t>{0}));
    // White space of any kind is skipped; a sign without digits is no number.
    EXPECT_EQ(ScanAll("\t\r\n 3 - 4"), (std::vector<int32_t>{3}));
    // Beyond 32 bits the value saturates.
    EXPECT_EQ(ScanAll("99999999999 -99999999999 2147483648"),
              (std::vector<int32_t>{2147483647, -2147483647 - 1, 2147483647}));
}

} // namespace
