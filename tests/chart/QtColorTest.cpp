// Stored colours ($00BBGGRR, system colours, markers) as Qt draws them.
#include "chart/QtColor.h"

#include <gtest/gtest.h>

using namespace wellenschau;

namespace {

struct TColorCase {
    TColor Stored;
    QColor Drawn;
};

TEST(QtColor, ConvertsStoredColoursToQt) {
    const TColorCase cases[] = {
        {0x00FF80, QColor(0x80, 0xFF, 0x00)}, {0x408000, QColor(0x00, 0x80, 0x40)},
        {clRed, QColor(Qt::red)},             {clWindowText, QColor(Qt::black)},
        {clBtnFace, QColor(0xF0, 0xF0, 0xF0)},
    };
    for (const TColorCase& c : cases) EXPECT_EQ(ToQColor(c.Stored), c.Drawn) << c.Stored;
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    EXPECT_EQ(ToQColor(clDefault, QColor(Qt::gray)), QColor(Qt::gray));
}

}  // namespace
