#include "palette/ColourTable.h"
#include "palette/PaletteChannels.h"
#include "core/Errors.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace wellenschau;

namespace {

using enum TPaletteChannel;

TEST(PaletteChannelsTest, SegmentIncludesBothEndsAndRoundsHalvesToEven) {
    TPaletteChannels channels;
    channels.InterpolateSegment(Green, 255, 0, 179, 255);
    EXPECT_EQ(channels.Entry(Green, 179), 255);
    EXPECT_EQ(channels.Entry(Green, 217), 127);  // 255 + Round(-127.5) = 255 - 128
    EXPECT_EQ(channels.Entry(Green, 255), 0);
    EXPECT_EQ(channels.Entry(Green, 178), 0);
    channels.InterpolateSegment(Red, 0, 255, 119, 187);
    EXPECT_EQ(channels.Entry(Red, 125), 22);  // Round(22.5) = 22
    EXPECT_EQ(channels.Entry(Red, 187), 255);
}

TEST(PaletteChannelsTest, EqualOrFallingIndicesWriteNothing) {
    TPaletteChannels channels;
    channels.InterpolateSegment(Blue, 10, 200, 40, 40);
    channels.InterpolateSegment(Blue, 10, 200, 255, 0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(channels.Entry(Blue, i), 0) << i;
}

TEST(PaletteChannelsTest, EntriesOutsideTheTableAreRangeErrors) {
    TPaletteChannels channels;
    EXPECT_THROW(channels.SetEntry(Red, 256, 0), ERangeError);
    EXPECT_THROW(channels.SetEntry(Red, 0, 256), ERangeError);
    EXPECT_THROW(channels.SetEntry(Red, -1, 0), ERangeError);
}

TEST(PaletteChannelsTest, ColourTableHasBlueGreenRedReservedOrder) {
    TPaletteChannels channels;
    channels.SetEntry(Red, 7, 1);
    channels.SetEntry(Green, 7, 2);
    channels.SetEntry(Blue, 7, 3);
    const TColourTable table = channels.ToColourTable();
    EXPECT_EQ(table[7], (TColourTableEntry{.Blue = 3, .Green = 2, .Red = 1, .Reserved = 0}));
    EXPECT_EQ(table[6], TColourTableEntry{});
}

TEST(InstallColourTableTest, RecoloursWithoutMovingOrTouchingPixels) {
    QImage image(5, 3, QImage::Format_Indexed8);
    image.fill(0);
    uchar* const row = image.scanLine(1);
    row[2] = 200;
    TColourTable table;
    table[200] = TColourTableEntry{.Blue = 30, .Green = 20, .Red = 10};
    InstallColourTable(image, table);
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.scanLine(1), row);
    EXPECT_EQ(image.pixelIndex(2, 1), 200);
}

}  // namespace
