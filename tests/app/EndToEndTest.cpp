// The whole program on the real audio path: a private PulseAudio server
// whose default source plays a 1 kHz sine, recorded through PortAudio by
// the window's own component.
#include "AppTestSupport.h"
#include "app/ImageWidget.h"
#include "audio/WaveInService.h"
#include "chart/ChartWidget.h"
#include "chart/FastLineSeries.h"
#include "support/PulseAudioServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace wellenschau;

namespace {

constexpr double ToneHz = 1000.0;
constexpr double HalfScale = 16384.0;

std::int16_t Tone(std::int64_t i) {
    return static_cast<std::int16_t>(std::lround(HalfScale * std::sin(2 * std::numbers::pi * ToneHz * i / 44100.0)));
}

void RunEventLoopFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Frequency of the loudest spectrum point.
double LoudestFrequency(const TFastLineSeries& spectrum) {
    int loudest = 0;
    for (int i = 1; i < spectrum.PointCount(); ++i)
        if (spectrum.YValue(i) > spectrum.YValue(loudest)) loudest = i;
    return spectrum.XValue(loudest);
}

TEST(EndToEndTest, RecordsASineFromPulseAudio) {
    wellenschau::test::TPulseAudioServer server;
    wellenschau::test::TSampleFeeder feeder(server.FifoPath(), Tone);
    TForm1 form(DefaultWaveInService());
    form.show();

    form.StartButton->click();
    ASSERT_TRUE(form.StartButton->isHidden()) << form.AudioIn1->ErrorMessage();
    RunEventLoopFor(2000);
    form.PauseButton->click();
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
    EXPECT_FALSE(form.StartButton->isHidden());

    // The trace starts at a crest and swings about half of full scale.
    const TFastLineSeries& trace = *form.FastLineSeries1;
    ASSERT_EQ(trace.PointCount(), 601);
    double highest = -100.0, lowest = 100.0;
    for (int i = 0; i < trace.PointCount(); ++i) {
        highest = std::max(highest, trace.YValue(i));
        lowest = std::min(lowest, trace.YValue(i));
    }
    EXPECT_GT(trace.YValue(0), 49.5);
    EXPECT_NEAR(highest, trace.YValue(0), 0.2);
    EXPECT_NEAR(lowest, -50.0, 0.5);
    // A peak of 50 % lies inside the band of the start-up scale 100.
    EXPECT_EQ(form.Analysis().AmplitudeScale, 100.0);
    EXPECT_EQ(form.Chart2->Chart().LeftAxis().Maximum(), 101.0);
    EXPECT_EQ(form.Analysis().LastPeak, static_cast<int>(std::lround(trace.YValue(0) * 327.68)));

    EXPECT_NEAR(LoudestFrequency(*form.SLeft), ToneHz, 60.0);

    // The newest spectrogram column is brightest at the tone's pixel row,
    // 20 * 1102.5^(k / 300) Hz counted from the bottom.
    const QImage& picture = form.Image1->Picture();
    int brightestRow = 0;
    for (int y = 0; y < picture.height(); ++y)
        if (picture.pixelIndex(0, y) > picture.pixelIndex(0, brightestRow)) brightestRow = y;
    const int k = picture.height() - 1 - brightestRow;
    EXPECT_NEAR(20.0 * std::pow(1102.5, k / 300.0), ToneHz, 60.0);
    EXPECT_GT(picture.pixelIndex(0, brightestRow), 200);
    EXPECT_GT(picture.pixelIndex(2, brightestRow), 200);

    // Closing the window while recording stops the device first.
    form.StartButton->click();
    ASSERT_TRUE(form.AudioIn1->DeviceOpen());
    RunEventLoopFor(300);
    form.close();
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
}

}  // namespace
