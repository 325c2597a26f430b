// The history's spectrogram as a user meets it: the picture under the
// time axis shows the buffers the axis names, also after a zoom, and
// clicks and Shift drags name the buffers under the mouse.
#include "analysis/AnalysisState.h"
#include "analysis/SoundHistory.h"
#include "app/HistorySpectrogram.h"
#include "support/AllocationCounter.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

using namespace wellenschau;
using wellenschau::test::CountAllocations;

namespace {

// Buffer n shows colour index Level(n) in every row; one short loud event.
constexpr std::int64_t LoudBuffer = 1234;
int Level(std::int64_t n) { return n == LoudBuffer ? 255 : static_cast<int>(n % 200) + 20; }

QList<QRgb> Reds() {
    QList<QRgb> reds;
    for (int i = 0; i < 256; ++i) reds.append(qRgb(i, 0, 0));
    return reds;
}

QImage Drawn(const THistoryPicture& picture) {
    QImage image(picture.Size(), QImage::Format_RGB32);
    QPainter painter(&image);
    picture.Draw(painter, QRectF(QPointF(0, 0), picture.Size()));
    return image;
}

// Following the newest buffer, each new one renders only the columns it
// changes, allocates nothing, and leaves the picture a full render makes.
TEST(HistoryPictureTest, FollowingRendersOnlyTheNewColumnsAndMatchesAFullRender) {
    TSoundHistory history(400, 1, 2);
    const std::vector<double> rows{100.0, 1000.0};
    const QSize size(100, 4);  // 400 buffers over 94 pixels, scrolling 6 at a time
    std::array<THistoryPicture, 2> pictures;
    for (THistoryPicture& picture : pictures) {
        picture.SetRows(rows);
        picture.SetPalette(Reds());
        picture.SetHistory(&history);
    }
    const std::int16_t sample = 0;
    THistoryPicture& following = pictures[0];
    for (std::int64_t n = 0; n < 700; ++n) {
        const std::array<std::uint8_t, 2> column{static_cast<std::uint8_t>(n % 250), static_cast<std::uint8_t>(n % 7)};
        history.Add(&sample, nullptr, 1, column.data());
        const std::int64_t rendered = following.RenderedColumns();
        const int allocations = CountAllocations([&] { following.Update(size, FollowingColumns(history, 100), 20, 22050); });
        if (n == 0) continue;
        EXPECT_EQ(allocations, 0) << n;
        // At most a scroll step and the columns of the new and the dropped buffer.
        EXPECT_LE(following.RenderedColumns() - rendered, 10) << n;
    }
    pictures[1].Update(size, FollowingColumns(history, 100), 20, 22050);
    EXPECT_EQ(following.Columns().FirstColumn, 66);
    EXPECT_EQ(Drawn(following), Drawn(pictures[1]));
}

class HistorySpectrogramTest : public ::testing::Test {
protected:
    HistorySpectrogramTest() {
        SetupAnalysis(*Analysis, 300);
        std::vector<std::uint8_t> column(static_cast<std::size_t>(Analysis->RowCount));
        const std::int16_t sample = 0;
        for (std::int64_t n = 0; n < 4000; ++n) {
            std::ranges::fill(column, static_cast<std::uint8_t>(Level(n)));
            History.Add(&sample, nullptr, 1, column.data());
        }
        View.SetRows(*Analysis);
        View.SetPalette(Reds());
        View.SetHistory(&History);
        View.resize(700, 400);
        Shown = View.grab().toImage();
        View.HistoryChanged();
    }

    void Mouse(QEvent::Type type, int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(x, y), View.mapToGlobal(QPointF(x, y)), Qt::LeftButton, held, modifiers);
        QCoreApplication::sendEvent(&View, &event);
    }
    void Drag(int x0, int x1, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Mouse(QEvent::MouseButtonPress, x0, Middle() - 40, modifiers);
        Mouse(QEvent::MouseMove, x1, Middle() + 40, modifiers);
        Mouse(QEvent::MouseButtonRelease, x1, Middle() + 40, modifiers);
        Shown = View.grab().toImage();
    }
    // The pixel column at the middle of buffer n on the time axis.
    int X(std::int64_t n) {
        return View.Chart().BottomAxis().ValueToPosition((n + 0.5) * TSoundHistory::BufferSamples / 44100.0);
    }
    int Middle() const { return View.PicturePlace().center().y(); }
    int ShownLevel(std::int64_t n) {
        const qreal ratio = Shown.devicePixelRatio();
        return qRed(Shown.pixel(qFloor(X(n) * ratio), qFloor(Middle() * ratio)));
    }

    std::unique_ptr<AnalysisState> Analysis = std::make_unique<AnalysisState>();
    TSoundHistory History{4000, 1, 195};
    THistorySpectrogram View;
    QImage Shown;
};

TEST_F(HistorySpectrogramTest, AShortLoudBufferStaysVisibleAmongMoreBuffersThanPixels) {
    Shown = View.grab().toImage();
    ASSERT_GT(View.Picture().Columns().BuffersPerPixel, 5.0);
    EXPECT_EQ(ShownLevel(LoudBuffer), 255);
    EXPECT_LT(ShownLevel(LoudBuffer + 20), 255);
}

TEST_F(HistorySpectrogramTest, AtPixelRatioTwoThePictureHasTwiceThePixelsInTheSamePlace) {
    View.Chart().SetPixelRatio(2);
    Shown = View.grab().toImage();
    EXPECT_EQ(View.Picture().Size(), View.PicturePlace().size() * 2);
    EXPECT_EQ(ShownLevel(LoudBuffer), 255);
}

TEST_F(HistorySpectrogramTest, ZoomShowsTheBuffersOfTheRangeAndUndoFollowsAgain) {
    Drag(X(1000), X(1200));
    Drag(X(1100), X(1110));
    ASSERT_FALSE(View.Following());
    for (std::int64_t n = 1101; n < 1110; ++n) EXPECT_EQ(ShownLevel(n), Level(n)) << n;
    Drag(X(1108), X(1102));
    EXPECT_TRUE(View.Following());
}

TEST_F(HistorySpectrogramTest, AClickPicksAndAShiftDragSelectsTheBuffersUnderTheMouse) {
    Drag(X(1000), X(1200));
    std::vector<std::int64_t> picked;
    std::vector<TBufferSpan> spans;
    View.OnPick = [&](std::int64_t n) { picked.push_back(n); };
    View.OnSpan = [&](std::int64_t first, std::int64_t last) { spans.push_back({first, last}); };
    Mouse(QEvent::MouseButtonPress, X(1105), Middle());
    Mouse(QEvent::MouseButtonRelease, X(1105), Middle());
    Drag(X(1102), X(1180), Qt::ShiftModifier);
    EXPECT_EQ(picked, std::vector<std::int64_t>{1105});
    EXPECT_EQ(spans, (std::vector<TBufferSpan>{{1102, 1180}}));
    EXPECT_EQ(View.MarkedMoment(), 1105);
    EXPECT_FALSE(View.Following());  // the Shift drag did not zoom back
}

}  // namespace
