// The history's spectrogram as a user meets it: the picture under the
// time axis shows the buffers the axis names, also after a zoom, and
// clicks and Shift drags name the buffers under the mouse.
#include "analysis/AnalysisState.h"
#include "analysis/SoundHistory.h"
#include "app/HistorySpectrogram.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace wellenschau;

namespace {

// Buffer n shows colour index Level(n) in every row; one short loud event.
constexpr std::int64_t LoudBuffer = 1234;
int Level(std::int64_t n) { return n == LoudBuffer ? 255 : static_cast<int>(n % 200) + 20; }

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
        QList<QRgb> reds;
        for (int i = 0; i < 256; ++i) reds.append(qRgb(i, 0, 0));
        View.SetRows(*Analysis);
        View.SetPalette(reds);
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
    int ShownLevel(std::int64_t n) { return qRed(Shown.pixel(X(n), Middle())); }

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
