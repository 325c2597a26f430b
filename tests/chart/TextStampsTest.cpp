// Text stamps write exactly the pixels a QPainter draws, or decline.
#include "ChartTestSupport.h"
#include "chart/TextStamps.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// "Zeit(ms)" in the chart font, turned by angle, its baseline origin at the
// reference point.
class TLabelPainter final : public TTextPainter {
public:
    explicit TLabelPainter(int angle) : FAngle(angle) {}
    void Paint(QPainter& painter, QPoint reference) const override {
        painter.setFont(FFont.Font());
        painter.setPen(QColor(Qt::black));
        painter.translate(reference);
        painter.rotate(-FAngle);
        painter.drawText(QPoint(0, 0), QStringLiteral("Zeit(ms)"));
        painter.resetTransform();
    }

private:
    TChartFont FFont;
    int FAngle;
};

TEST(TextStamps, WriteWhatThePainterDrawsOrDecline) {
    struct TRow {
        QRgb Background;
        QPoint Reference;
        int Angle;
        bool SpotUnderText;  // a pixel of another colour where the text lands
        bool Stamped;
    };
    const TRow rows[] = {
        {0xFFFFFFFF, {20, 30}, 0, false, true},  {0xFF004000, {20, 30}, 0, false, true},
        {0xFFFFFFFF, {70, 30}, 0, false, true},  // cut by the right edge
        {0xFFFFFFFF, {30, 45}, 90, false, true}, {0xFFFFFFFF, {20, 30}, 0, true, false},
    };
    TTextStamps stamps;
    for (const TRow& row : rows) {
        QImage expected(80, 50, QImage::Format_RGB32);
        expected.fill(row.Background);
        if (row.SpotUnderText) expected.setPixel(row.Reference + QPoint(3, -3), 0xFF0000FF);
        const QImage before = expected.copy();
        QImage stamped = expected.copy();
        const TLabelPainter painter(row.Angle);
        const TPixelTarget target{reinterpret_cast<std::uint32_t*>(stamped.bits()), stamped.bytesPerLine() / 4,
                                  {0, 0, 80, 50}};
        const TTextStamps::TKey key{QStringLiteral("Zeit(ms)"), 0, 0xFF000000, row.Angle, {}, {}};
        EXPECT_EQ(stamps.Draw(target, key, row.Reference, 60, painter), row.Stamped) << row.Reference.x();
        QPainter reference(&expected);
        painter.Paint(reference, row.Reference);
        reference.end();
        // Declined, the target stays as it was.
        EXPECT_EQ(stamped, row.Stamped ? expected : before) << row.Reference.x() << " " << row.Angle;
    }
}

}  // namespace
