#include "choices/TypedNumbers.h"

#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>

namespace culvex {
namespace {

const NumberFormat kPlain;
const NumberFormat kGerman{",", "."};

TEST(TypedNumbers, WholeTextsInTheUsersFormatOrThePlainOne) {
    const struct {
        const char* text;
        const NumberFormat& format;
        std::optional<double> value;
    } cases[] = {
        {" -1.5e3 ", kPlain, -1500},
        {"+7", kPlain, 7},
        {"1,000", kPlain, 1000},
        {"12,345,678.5", kPlain, 12345678.5},
        {"5.", kPlain, 5},
        {".5", kPlain, 0.5},
        {"1D2", kPlain, 100},
        {"&H2", kPlain, 2},
        {"&HFFFF", kPlain, -1},
        {"&O17", kPlain, 15},
        {"1.000,5", kGerman, 1000.5},
        {"1,5", kGerman, 1.5},
        {"1.5", kGerman, 1.5},
        {"1,00", kPlain, std::nullopt},
        {"1000,000", kPlain, std::nullopt},
        {"1,000.2,5", kPlain, std::nullopt},
        {"1,,000", kPlain, std::nullopt},
        {"1.2.3", kPlain, std::nullopt},
        {"- 5", kPlain, std::nullopt},
        {"-", kPlain, std::nullopt},
        {"1a", kPlain, std::nullopt},
        {"0x6", kPlain, std::nullopt},
        {"1e", kPlain, std::nullopt},
        {"1e400", kPlain, std::nullopt},
        {"inf", kPlain, std::nullopt},
        {"", kPlain, std::nullopt},
        {"&H", kPlain, std::nullopt},
        {"&H100000000", kPlain, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumericEntry(c.text, c.format), c.value) << c.text;
    }
    EXPECT_EQ(toWholeNumber32(" 2.5 ", kPlain), 2);
    EXPECT_EQ(toWholeNumber32("3.5", kPlain), 4);
    EXPECT_THROW(toWholeNumber32("abc", kPlain), std::invalid_argument);
    EXPECT_THROW(toWholeNumber32("3e9", kPlain), std::out_of_range);
}

TEST(TypedNumbers, StoredOptionsReadAsBooleans) {
    const std::pair<const char*, bool> accepted[] = {
        {"True", true}, {"TRUE", true}, {"false", false}, {"False", false}, {"1", true},
        {"0", false},   {"-1", true},   {"0.0", false},   {" 3 ", true},    {"1e2", true},
        {"&H10", true}, {"&h0", false}, {"&O17", true},   {"1D2", true},    {"0d0", false},
    };
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(toBoolean(text, kPlain), value) << text;
    }
    for (const char* text : {"", "yes", "Tru", "1x", "True False", "&H", "&HG", "&H-1", "&O8",
                             "&H100000000", "1D2D"}) {
        EXPECT_THROW(toBoolean(text, kPlain), std::invalid_argument) << text;
    }
    EXPECT_EQ(booleanText(true), "True");
    EXPECT_EQ(booleanText(false), "False");
}

TEST(TypedNumbers, StoredCheckBoxReadsAsAShortInteger) {
    const std::pair<const char*, int> accepted[] = {
        {"0", 0},     {"1", 1},           {" 2 ", 2},       {"2.5", 2},
        {"3.5", 4},   {"-32768", -32768}, {"32767", 32767}, {"&H10", 16},
        {"&o17", 15}, {"1D2", 100},       {"&HFFFF", -1},   {"&H7FFF", 32767},
    };
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(toShortInteger(text, kPlain), value) << text;
    }
    EXPECT_THROW(toShortInteger("32768", kPlain), std::out_of_range);
    EXPECT_THROW(toShortInteger("&H10000", kPlain), std::out_of_range);
    EXPECT_THROW(toShortInteger("one", kPlain), std::invalid_argument);
    EXPECT_THROW(toShortInteger("", kPlain), std::invalid_argument);
}

TEST(ColumnIndexOf, ReadsLeniently) {
    const struct {
        const char* text;
        int index;
        bool overflow;
    } cases[] = {
        {"3", 2, false},
        {"", -1, false},
        {"abc", -1, false},
        {"1 0", 9, false},
        {"\t+4\n", 3, false},
        {"-2", -3, false},
        {"2.5", 2, false},
        {"1.5", 0, false},
        {"4x7", 3, false},
        {"1e2", 99, false},
        {"1E+1", 9, false},
        {"5e", 4, false},
        {".5e1", 4, false},
        {"3,5", 2, false},
        {"32768", 32767, false},
        {"-32767", -32768, false},
        {"32769", 0, true},
        {"-32768", 0, true},
        {"1e400", 0, true},
        {"32767.5", 32766, false},
        {"32768.5", 0, true},
        // The platform's &H and &O numbers and D exponents, as the number boxes take them.
        {"&H10", 15, false},
        {" &o17x", 14, false},
        {"&HFFFF", -2, false},
        {"&H10000", 0, true},
        {"&H", -1, false},
        {"&", -1, false},
        {"&x1", -1, false},
        {"1D2", 99, false},
        {"1d", 0, false},
    };
    for (const auto& c : cases) {
        const ColumnIndex index = columnIndexOf(c.text);
        EXPECT_EQ(index.overflow, c.overflow) << c.text;
        if (!c.overflow) {
            EXPECT_EQ(index.value, c.index) << c.text;
        }
    }
}

}  // namespace
}  // namespace culvex
