#include "palette/PaletteMemo.h"

#include <gtest/gtest.h>

using namespace wellenschau;

namespace {

int LinesEndingInBlank(const QStringList& lines, const QString& name) {
    const qsizetype start = lines.indexOf("s" + name);
    const qsizetype end = lines.indexOf("e" + name);
    int count = 0;
    for (qsizetype i = start + 1; i < end; ++i) count += lines[i].endsWith(' ') ? 1 : 0;
    return count;
}

TEST(PaletteMemoTest, HoldsThirteenBlocksInMemoOrder) {
    const QStringList memo = ShippedPaletteMemo();
    ASSERT_EQ(memo.size(), 147);
    QStringList startLines;
    for (const QString& line : memo)
        if (line.startsWith('s')) startLines << line;
    EXPECT_EQ(startLines, QStringList({"sRainbow", "sBlue", "scyan", "sGreen", "sGrey", "sMagenta", "sOrange", "sRed",
                                       "sSetcol", "sThermo1", "sThermo2", "sViolet", "sYellow"}));
    EXPECT_EQ(memo.first(), "sRainbow");
    EXPECT_EQ(memo.last(), "eYellow");
}

TEST(PaletteMemoTest, KeepsTheBlanksAtLineEnds) {
    const QStringList memo = ShippedPaletteMemo();
    EXPECT_EQ(LinesEndingInBlank(memo, "Rainbow"), 0);
    EXPECT_EQ(LinesEndingInBlank(memo, "Setcol"), 0);
    EXPECT_EQ(LinesEndingInBlank(memo, "cyan"), 5);  // all but the first point line
    EXPECT_EQ(memo[memo.indexOf("scyan") + 1], "0, 0");
    EXPECT_EQ(LinesEndingInBlank(memo, "Magenta"), 5);
    EXPECT_EQ(LinesEndingInBlank(memo, "Violet"), 11);
    EXPECT_EQ(memo[memo.indexOf("sViolet") + 6], "255, 250 ");
    int total = 0;
    for (const QString& line : memo) total += line.endsWith(' ') ? 1 : 0;
    EXPECT_EQ(total, 5 + 5 + 6 * 5 + 11);
}

TEST(PaletteMemoTest, EveryChooserItemHasABlock) {
    const QStringList memo = ShippedPaletteMemo();
    const QStringList names = PaletteNames();
    EXPECT_EQ(names, QStringList({"Rainbow", "Grey", "Red", "Green", "Blue", "Yellow", "Magenta", "Violet", "Orange",
                                  "cyan", "Thermo1", "Thermo2", "Setcol"}));
    for (const QString& name : names) {
        EXPECT_LT(memo.indexOf("s" + name), memo.indexOf("e" + name)) << name.toStdString();
        EXPECT_EQ(memo.count("s" + name), 1);
    }
}

}  // namespace
