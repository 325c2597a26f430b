#include "palette/PaletteMemo.h"
#include "palette/PaletteParser.h"
#include "core/Errors.h"

#include <QImage>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace wellenschau;

namespace {

struct RGB {
    int Red, Green, Blue;
};

QRgb ToQRgb(RGB c) { return qRgb(c.Red, c.Green, c.Blue); }

// Colour table of a shipped palette, as installed in an image.
QList<QRgb> InstalledTable(const QString& name) {
    QImage image(4, 4, QImage::Format_Indexed8);
    image.fill(0);
    EXPECT_TRUE(LoadPaletteIntoImage(image, ShippedPaletteMemo(), name));
    return image.colorTable();
}

TColourTable TableOfLines(const QStringList& block) {
    const auto points = ReadPaletteBlock(QStringList{"sP"} + block + QStringList{"eP"}, "P");
    EXPECT_TRUE(points.has_value());
    return ColourTableFromPoints(*points);
}

QImage ImageWithGreyTable() {
    QImage image(4, 4, QImage::Format_Indexed8);
    image.fill(0);
    QList<QRgb> grey;
    for (int i = 0; i < 256; ++i) grey.append(qRgb(i, i, i));
    image.setColorTable(grey);
    return image;
}

struct CheckRow {
    const char* Name;
    std::array<RGB, 9> Colours;
};

constexpr std::array<int, 9> CheckIndices = {0, 64, 125, 128, 192, 217, 250, 251, 255};

// clang-format off
const CheckRow CheckTable[] = {
    {"Rainbow", {{{0,0,0}, {0,52,255}, {0,255,153}, {0,255,122}, {255,211,0}, {255,127,0}, {255,17,0}, {255,13,0}, {255,0,0}}}},
    {"Grey", {{{0,0,0}, {64,64,64}, {125,125,125}, {128,128,128}, {192,192,192}, {217,217,217}, {250,250,250}, {251,251,251}, {255,255,255}}}},
    {"Red", {{{0,0,0}, {64,0,0}, {125,0,0}, {128,0,0}, {192,0,0}, {217,0,0}, {250,0,0}, {251,0,0}, {255,0,0}}}},
    {"Green", {{{0,0,0}, {0,64,0}, {0,125,0}, {0,128,0}, {0,192,0}, {0,217,0}, {0,250,0}, {0,251,0}, {0,255,0}}}},
    {"Blue", {{{0,0,0}, {0,0,64}, {0,0,125}, {0,0,128}, {0,0,192}, {0,0,217}, {0,0,250}, {0,0,251}, {0,0,255}}}},
    {"Yellow", {{{0,0,0}, {64,64,0}, {125,125,0}, {128,128,0}, {192,192,0}, {217,217,0}, {250,250,0}, {251,251,0}, {255,255,0}}}},
    {"Magenta", {{{0,0,0}, {64,0,64}, {125,0,125}, {128,0,128}, {192,0,192}, {217,0,217}, {250,0,250}, {251,0,251}, {255,0,255}}}},
    {"Violet", {{{0,0,0}, {61,0,64}, {121,0,125}, {124,0,128}, {188,0,192}, {212,0,217}, {245,0,250}, {246,0,251}, {250,0,255}}}},
    {"Orange", {{{1,1,0}, {65,35,0}, {126,67,0}, {128,68,0}, {192,102,0}, {217,115,0}, {250,132,0}, {251,133,0}, {255,135,0}}}},
    {"cyan", {{{0,0,0}, {0,64,64}, {0,125,125}, {0,128,128}, {0,192,192}, {0,217,217}, {0,250,250}, {0,251,251}, {0,255,255}}}},
    {"Thermo1", {{{0,0,0}, {0,4,255}, {0,247,255}, {4,255,251}, {255,247,0}, {255,149,0}, {255,20,0}, {255,16,0}, {255,0,0}}}},
    {"Thermo2", {{{0,0,63}, {0,49,255}, {22,255,233}, {34,255,221}, {255,236,0}, {255,143,0}, {255,19,0}, {255,15,0}, {255,0,0}}}},
    {"Setcol", {{{0,255,0}, {64,64,64}, {125,125,125}, {128,128,128}, {192,192,192}, {217,217,217}, {250,250,250}, {255,0,0}, {255,0,0}}}},
};
// clang-format on

TEST(PaletteTablesTest, EveryShippedPaletteGivesItsCheckColours) {
    for (const CheckRow& row : CheckTable) {
        const QList<QRgb> table = InstalledTable(row.Name);
        ASSERT_EQ(table.size(), 256) << row.Name;
        for (std::size_t c = 0; c < CheckIndices.size(); ++c)
            EXPECT_EQ(table[CheckIndices[c]], ToQRgb(row.Colours[c])) << row.Name << " entry " << CheckIndices[c];
    }
}

TEST(PaletteTablesTest, EdgeEntriesOfSetcolAndViolet) {
    const QList<QRgb> setcol = InstalledTable("Setcol");
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(setcol[i], qRgb(i, 255, i)) << i;
    EXPECT_EQ(setcol[6], qRgb(6, 6, 6));
    for (int i = 251; i <= 255; ++i) EXPECT_EQ(setcol[i], qRgb(255, 0, 0)) << i;
    const QList<QRgb> violet = InstalledTable("Violet");
    EXPECT_EQ(violet[4], qRgb(1, 0, 4));
    EXPECT_EQ(violet[5], qRgb(2, 0, 5));
    EXPECT_EQ(violet[255], qRgb(250, 0, 255));
}

TEST(PaletteTablesTest, TablesAreExactInEveryEntryOfTheLinearRamps) {
    const QList<QRgb> grey = InstalledTable("Grey");
    const QList<QRgb> orange = InstalledTable("Orange");
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(grey[i], qRgb(i, i, i)) << i;
        EXPECT_EQ(qRed(orange[i]), i == 0 ? 1 : 1 + static_cast<int>(std::nearbyint(i * 254 / 255.0))) << i;
    }
}

TEST(PaletteTablesTest, ChannelsAreByteOrderedBlueGreenRed) {
    const auto points = ReadPaletteBlock(ShippedPaletteMemo(), "Thermo2");
    ASSERT_TRUE(points.has_value());
    const TColourTable table = ColourTableFromPoints(*points);
    EXPECT_EQ(table[0], (TColourTableEntry{.Blue = 63, .Green = 0, .Red = 0, .Reserved = 0}));
    EXPECT_EQ(table[125], (TColourTableEntry{.Blue = 233, .Green = 255, .Red = 22, .Reserved = 0}));
}

TEST(PaletteLoadTest, LoadingTwiceGivesTheSameTableAndOnlyTheTargetImageChanges) {
    QImage image1 = ImageWithGreyTable();
    QImage image2 = ImageWithGreyTable();
    const QList<QRgb> greyTable = image1.colorTable();
    ASSERT_TRUE(LoadPaletteIntoImage(image2, ShippedPaletteMemo(), "Rainbow"));
    const QList<QRgb> first = image2.colorTable();
    ASSERT_TRUE(LoadPaletteIntoImage(image2, ShippedPaletteMemo(), "Rainbow"));
    EXPECT_EQ(image2.colorTable(), first);
    EXPECT_EQ(image1.colorTable(), greyTable);
}

TEST(PaletteLoadTest, UnknownOrIncompleteNameLeavesTheTableUnchanged) {
    QImage image = ImageWithGreyTable();
    const QList<QRgb> before = image.colorTable();
    EXPECT_FALSE(LoadPaletteIntoImage(image, ShippedPaletteMemo(), "Purple"));
    EXPECT_FALSE(LoadPaletteIntoImage(image, ShippedPaletteMemo(), "rainbow"));  // case matters
    EXPECT_FALSE(LoadPaletteIntoImage(image, {"sHalf", "0, 0", "255, 255"}, "Half"));
    EXPECT_FALSE(LoadPaletteIntoImage(image, {"eBack", "0, 0", "sBack"}, "Back"));
    EXPECT_EQ(image.colorTable(), before);
}

TEST(PaletteLoadTest, BlocksAreFoundAnywhereAndALaterDuplicateWins) {
    const QStringList memo{"sA", "0, 9", "255, 9", "eA", "sB", "0,1", "255,1", "eB", "sA", "0, 200", "255, 200", "eA"};
    const auto points = ReadPaletteBlock(memo, "A");
    ASSERT_TRUE(points.has_value());
    ASSERT_EQ(points->size(), 2u);
    EXPECT_EQ((*points)[0].Value, 200);
    EXPECT_EQ(ReadPaletteBlock(memo, "B")->size(), 2u);
}

TEST(PaletteParseTest, BlanksAnywhereAreIgnored) {
    EXPECT_EQ(StripBlanks(" 2 5 5 , 0 "), "255,0");
    const TPalettePoint point = ReadPalettePoint("255, 0 ");
    EXPECT_EQ(point.Index, 255);
    EXPECT_EQ(point.Value, 0);
    const TPalettePoint spread = ReadPalettePoint(" 1 2 ,1 3");
    EXPECT_EQ(spread.Index, 12);
    EXPECT_EQ(spread.Value, 13);
}

TEST(PaletteParseTest, TextThatIsNoIntegerNamesItself) {
    try {
        ReadPalettePoint("1x 2, 5");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'1x2' ist kein gültiger Integerwert");
    }
    try {
        ReadPalettePoint("12 5");  // no comma: the index text is empty
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'' ist kein gültiger Integerwert");
    }
    EXPECT_THROW(ReadPalettePoint("4,"), EConvertError);
    EXPECT_THROW(ReadPalettePoint("4,5,6"), EConvertError);
}

TEST(PaletteParseTest, NumbersOutsideZeroTo255AreRangeErrors) {
    EXPECT_THROW(ReadPalettePoint("256, 0"), ERangeError);
    EXPECT_THROW(ReadPalettePoint("-1, 0"), ERangeError);
    EXPECT_THROW(ReadPalettePoint("0, 300"), ERangeError);
    try {
        ReadPalettePoint("0, 300");
    } catch (const ERangeError& error) {
        EXPECT_STREQ(error.what(), "Fehler bei Bereichsprüfung");
    }
}

TEST(PaletteParseTest, ALongValueTextIsReadWhole) {
    const QString line = "0, 1" + QString(300, ' ') + "5";
    EXPECT_EQ(ReadPalettePoint(line).Value, 15);
}

TEST(PaletteParseTest, AtMost1001PointsPerBlock) {
    QStringList memo{"sBig"};
    for (int i = 0; i < 1001; ++i) memo << "0, 0";
    memo << "eBig";
    EXPECT_EQ(ReadPaletteBlock(memo, "Big")->size(), 1001u);
    memo.insert(1, "0, 0");
    EXPECT_THROW(ReadPaletteBlock(memo, "Big"), ERangeError);
}

TEST(PaletteLoadTest, MalformedTextInstallsNothing) {
    QImage image = ImageWithGreyTable();
    const QList<QRgb> before = image.colorTable();
    EXPECT_THROW(LoadPaletteIntoImage(image, {"sBad", "0, 0", "255, 255", "0, x", "eBad"}, "Bad"), EConvertError);
    EXPECT_THROW(LoadPaletteIntoImage(image, {"sBad", "0, 0", "256, 255", "eBad"}, "Bad"), ERangeError);
    EXPECT_EQ(image.colorTable(), before);
}

TEST(PaletteRunsTest, ARunWithoutIndex255TakesInTheNextPoints) {
    // The red run only ends at the fourth point, whose flat segment paints
    // over the first ones; green gets the next run and blue nothing.
    const TColourTable table = TableOfLines({"0, 0", "100, 100", "0, 50", "255, 50", "0, 9", "255, 9"});
    for (int i : {0, 1, 100, 254, 255}) {
        EXPECT_EQ(table[i].Red, 50) << i;
        EXPECT_EQ(table[i].Green, 9) << i;
        EXPECT_EQ(table[i].Blue, 0) << i;
    }
}

TEST(PaletteRunsTest, AnEmptyBlockGivesABlackTable) {
    const TColourTable table = TableOfLines({});
    for (const TColourTableEntry& entry : table) ASSERT_EQ(entry, TColourTableEntry{});
}

TEST(PaletteRunsTest, EntriesNoSegmentReachesStayBlack) {
    const TColourTable table = TableOfLines({"10, 90", "20, 90", "255, 0"});
    EXPECT_EQ(table[9].Red, 0);
    EXPECT_EQ(table[10].Red, 90);
    EXPECT_EQ(table[20].Red, 90);
}

}  // namespace
