#include "core/CheckedMath.h"
#include "core/Colors.h"
#include "core/FixedArray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace wellenschau;

TEST(RoundTest, ExactHalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-127.5), -128);
    EXPECT_EQ(Round(22.5), 22);
    EXPECT_EQ(Round(2.5000000001), 3);
    EXPECT_EQ(Round(-2.4999999), -2);
    EXPECT_EQ(Round(0.49999999999999994), 0);  // the double just below 0.5
    // Around 2^51, where the rounding changes its method.
    constexpr std::int64_t twoTo51 = std::int64_t{1} << 51;
    EXPECT_EQ(Round(0x1p51 - 0.5), twoTo51);
    EXPECT_EQ(Round(0x1p51 + 0.5), twoTo51);
    EXPECT_EQ(Round(-(0x1p51 - 1.5)), -(twoTo51 - 2));
    EXPECT_EQ(Round(0x1p51 - 0.75), twoTo51 - 1);
}

TEST(RoundTest, ValuesWithoutAnIntegerAreRangeErrors) {
    EXPECT_THROW(Round(std::nan("")), ERangeError);
    EXPECT_THROW(Round(1e300), ERangeError);
    EXPECT_THROW(RoundToInt(3e9), ERangeError);
    EXPECT_EQ(RoundToInt(-2147483648.0), std::numeric_limits<std::int32_t>::min());
}

TEST(CheckedMathTest, OverflowRaisesTheOverflowError) {
    EXPECT_EQ(CheckedAdd(2, 3), 5);
    EXPECT_THROW(CheckedAdd(std::numeric_limits<std::int32_t>::max(), 1), EIntOverflow);
    EXPECT_THROW(CheckedSub(std::numeric_limits<std::int32_t>::min(), 1), EIntOverflow);
    EXPECT_THROW(CheckedMul<std::uint32_t>(44100u * 4u, 30000u), EIntOverflow);
    try {
        CheckedAdd<std::int16_t>(32767, 1);
        FAIL();
    } catch (const EIntOverflow& error) {
        EXPECT_STREQ(error.what(), "Integerüberlauf");
    }
    EXPECT_THROW(CheckedNarrow<std::uint16_t>(-1), ERangeError);
    EXPECT_EQ(CheckedNarrow<std::uint16_t>(65535), 65535);
}

TEST(FixedArrayTest, IndexOutsideTheTableIsARangeError) {
    TFixedArray<int, 4> table;
    table[3] = 7;
    EXPECT_EQ(table[3], 7);
    EXPECT_EQ(table[0], 0);
    EXPECT_THROW(table[4], ERangeError);
    EXPECT_THROW(table[-1], ERangeError);
    try {
        table[100] = 1;
        FAIL();
    } catch (const ERangeError& error) {
        EXPECT_STREQ(error.what(), "Fehler bei Bereichsprüfung");
    }
}

TEST(StrToIntTest, AcceptsDecimalIntegersOnly) {
    EXPECT_EQ(StrToInt("255"), 255);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    for (const char* bad : {"", "1a", "1.5", " 1", "+", "99999999999"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + std::string(bad) + "' ist kein gültiger Integerwert");
        }
    }
}

TEST(ColorsTest, MarkersAndChannelsHaveTheirStoredValues) {
    EXPECT_EQ(clDefault, 536870912);
    EXPECT_EQ(clNone, 536870911);
    EXPECT_EQ(RGBColor(0x12, 0x34, 0x56), 0x563412);
}
