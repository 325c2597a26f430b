#include "analysis/AnalysisState.h"
#include "analysis/Spectrogram.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

using namespace wellenschau;

namespace {

constexpr int Width = 304;
constexpr int Height = 300;

TEST(LevelColourIndexTest, ZeroDecibelsIsTopAndMinusSeventyIsBottom) {
    EXPECT_EQ(LevelColourIndex(0.0), 255);
    EXPECT_EQ(LevelColourIndex(-70.0), 0);
    EXPECT_EQ(LevelColourIndex(3.0), 255);
    EXPECT_EQ(LevelColourIndex(-90.0), 0);
    EXPECT_EQ(LevelColourIndex(LevelFloor), 0);
    EXPECT_EQ(LevelColourIndex(-35.0), 127);  // -127.5 rounds to the even -128
    EXPECT_EQ(LevelColourIndex(-1.0), 251);   // -3.64 rounds to -4
}

TEST(IndexedBitmapTest, IsZeroedAndRowAddressesPointIntoTheImage) {
    auto lines = std::make_unique<TRowAddresses>();
    QImage image;
    PrepareIndexedBitmap(image, Width, Height, *lines);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.size(), QSize(Width, Height));
    EXPECT_EQ(image.colorCount(), 256);
    for (int y = 0; y < Height; ++y) {
        ASSERT_EQ((*lines)[y], image.constScanLine(y)) << y;
        for (int x = 0; x < Width; ++x) ASSERT_EQ(image.pixelIndex(x, y), 0) << x << "," << y;
    }
    EXPECT_EQ((*lines)[Height], nullptr);
    EXPECT_THROW(PrepareIndexedBitmap(image, Width, 1026, *lines), ERangeError);
    EXPECT_THROW(PrepareIndexedBitmap(image, 0, Height, *lines), ERangeError);
}

class LegendTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareIndexedBitmap(legend, 7, 302, *lines);
        FillLegend(*lines, 7, 302);
    }
    int Pixel(int x, int y) const { return legend.pixelIndex(x, y); }

    std::unique_ptr<TRowAddresses> lines = std::make_unique<TRowAddresses>();
    QImage legend;
};

TEST_F(LegendTest, RunsFromTopIndexDownToZeroAtMinusSeventy) {
    EXPECT_EQ(Pixel(1, 1), 255);
    EXPECT_EQ(Pixel(3, 2), 254);
    EXPECT_EQ(Pixel(5, 210), 1);
    for (int y = 211; y < 302; ++y) ASSERT_EQ(Pixel(3, y), 0) << y;
    for (int y = 1; y < 301; ++y)
        for (int x = 2; x <= 5; ++x) ASSERT_EQ(Pixel(x, y), Pixel(1, y)) << x << "," << y;
}

TEST_F(LegendTest, FrameStaysZero) {
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(Pixel(x, 0), 0);
        EXPECT_EQ(Pixel(x, 301), 0);
    }
    for (int y = 0; y < 302; ++y) {
        EXPECT_EQ(Pixel(0, y), 0);
        EXPECT_EQ(Pixel(6, y), 0);
    }
}

class SpectrogramColumnTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetupAnalysis(*s, Height);
        PrepareIndexedBitmap(picture, Width, Height, s->SpectrogramLines);
    }
    void SetAllRows(double level) {
        for (int r = 0; r < s->RowCount; ++r) s->RowLevel[r] = level;
    }
    int Pixel(int x, int y) const { return picture.pixelIndex(x, y); }

    std::unique_ptr<AnalysisState> s = std::make_unique<AnalysisState>();
    QImage picture;
};

TEST_F(SpectrogramColumnTest, FirstBufferWritesAFullAndAHalfColumn) {
    SetAllRows(0.0);
    WriteSpectrogramColumn(*s, Width, Height);
    for (int y = 0; y < Height; ++y) {
        ASSERT_EQ(Pixel(0, y), 255) << y;
        ASSERT_EQ(Pixel(1, y), 127) << y;  // (255 + 0) div 2
        ASSERT_EQ(Pixel(2, y), 0) << y;
    }
    WriteSpectrogramColumn(*s, Width, Height);
    EXPECT_EQ(Pixel(0, 150), 255);
    EXPECT_EQ(Pixel(1, 150), 255);
    EXPECT_EQ(Pixel(2, 150), 255);
    EXPECT_EQ(Pixel(3, 150), 127);
    EXPECT_EQ(Pixel(4, 150), 0);
}

// A picture's rows move as one block, other row layouts row by row; either
// way every pixel moves two to the right. Layouts: the picture's rows, rows
// with padding after them, and the rows listed bottom-up.
TEST_F(SpectrogramColumnTest, ScrollsEveryRowTwoPixelsRight) {
    for (const auto& [width, bottomUp] : {std::pair{Width, false}, {301, false}, {Width, true}}) {
        PrepareIndexedBitmap(picture, width, Height, s->SpectrogramLines);
        std::uint8_t** lines = s->SpectrogramLines.data();
        if (bottomUp) std::reverse(lines, lines + Height);
        std::vector<std::vector<std::uint8_t>> before(Height);
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < width; ++x) lines[y][x] = static_cast<std::uint8_t>((7 * x + y) % 256);
            before[y].assign(lines[y], lines[y] + width);
        }
        SetAllRows(-70.0);
        WriteSpectrogramColumn(*s, width, Height);
        for (int y = 0; y < Height; ++y) {
            for (int x = 2; x < width; ++x) ASSERT_EQ(lines[y][x], before[y][x - 2]) << width << ": " << x << "," << y;
            ASSERT_EQ(lines[y][0], 0);
            ASSERT_EQ(lines[y][1], before[y][0] / 2);
        }
    }
}

TEST_F(SpectrogramColumnTest, LowestPixelRowIsTheBottomOfThePicture) {
    SetAllRows(-70.0);
    const int lowest = s->PixelRow[0];
    ASSERT_EQ(lowest, 1);
    s->RowLevel[lowest] = 0.0;
    s->RowLevel[lowest + s->PixelRowStep[0]] = 0.0;
    WriteSpectrogramColumn(*s, Width, Height);
    EXPECT_EQ(Pixel(0, Height - 1), 255);
    EXPECT_EQ(Pixel(0, 0), 0);
}

TEST_F(SpectrogramColumnTest, HighestPixelRowIsTheTopOfThePicture) {
    SetAllRows(-70.0);
    const int highest = s->PixelRow[Height - 1];
    ASSERT_EQ(highest, 193);
    s->RowLevel[highest] = 0.0;
    s->RowLevel[highest + s->PixelRowStep[Height - 1]] = 0.0;
    WriteSpectrogramColumn(*s, Width, Height);
    EXPECT_EQ(Pixel(0, 0), 255);
    EXPECT_EQ(Pixel(0, Height - 1), 0);
}

TEST_F(SpectrogramColumnTest, BlendsTheNearestRowWithItsNeighbour) {
    for (int k : {0, 57, 150, 299}) {
        SetAllRows(LevelFloor);
        const int p = s->PixelRow[k];
        const int q = p + s->PixelRowStep[k];
        ASSERT_NE(p, q);
        s->RowLevel[p] = 0.0;
        s->RowLevel[q] = -70.0;
        WriteSpectrogramColumn(*s, Width, Height);
        const double w = s->PixelRowWeight[k];
        EXPECT_EQ(Pixel(0, Height - 1 - k), std::nearbyint(-70.0 * (1.0 - w) * 255.0 / 70.0) + 255) << k;
    }
}

TEST_F(SpectrogramColumnTest, UnusablePictureSizesChangeNoPixel) {
    SetAllRows(0.0);
    EXPECT_THROW(WriteSpectrogramColumn(*s, 2, Height), ERangeError);
    EXPECT_THROW(WriteSpectrogramColumn(*s, Width, 1026), ERangeError);
    EXPECT_THROW(WriteSpectrogramColumn(*s, Width, Height + 1), ERangeError);  // row without an address
    for (int y = 0; y < Height; ++y) ASSERT_EQ(Pixel(0, y), 0);
}

}  // namespace
