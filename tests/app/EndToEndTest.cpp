// The whole program on the real audio path: a private PulseAudio server
// whose default source plays a 1 kHz sine (or a counter), recorded through
// PortAudio by the window's own component; the server may die and come
// back.
#include "AppTestSupport.h"
#include "app/ImageWidget.h"
#include "app/StatusLine.h"
#include "audio/CaptureRecording.h"
#include "audio/SoundFileReader.h"
#include "audio/WaveInService.h"
#include "chart/ChartWidget.h"
#include "chart/FastLineSeries.h"
#include "support/CounterSignal.h"
#include "support/PipeWireServer.h"
#include "support/PulseAudioServer.h"
#include "support/TempPath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

constexpr double ToneHz = 1000.0;
constexpr double HalfScale = 16384.0;

std::int16_t Tone(std::int64_t i) {
    return static_cast<std::int16_t>(std::lround(HalfScale * std::sin(2 * std::numbers::pi * ToneHz * i / 44100.0)));
}

// Runs the event loop until `done` or `limitMs` have passed; the time taken.
qint64 RunEventLoopUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return timer.elapsed();
}

void RunEventLoopFor(int milliseconds) {
    RunEventLoopUntil([] { return false; }, milliseconds);
}

class EndToEndServerTest : public ::testing::TestWithParam<TServerKind> {};

TEST_P(EndToEndServerTest, RecordsASine) {
    const std::unique_ptr<TSoundServer> server = GetParam().Make();
    TSampleFeeder feeder(server->FifoPath(), Tone);
    TForm1 form(DefaultWaveInService());
    form.show();

    form.StartButton->click();
    ASSERT_TRUE(form.StartButton->isHidden()) << form.AudioIn1->ErrorMessage();
    RunEventLoopFor(2000);
    form.PauseButton->click();
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
    EXPECT_FALSE(form.StartButton->isHidden());

    // The trace starts at a crest and swings about half of full scale.
    const TFastLineSeries& trace = form.Instrument().FastLineSeries1;
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
    EXPECT_EQ(form.Instrument().Analysis().AmplitudeScale, 100.0);
    EXPECT_EQ(form.Chart2->Chart().LeftAxis().Maximum(), 101.0);
    EXPECT_EQ(form.Instrument().Analysis().LastPeak, static_cast<int>(std::lround(trace.YValue(0) * 327.68)));

    EXPECT_NEAR(LoudestFrequency(form.Instrument().SLeft), ToneHz, 60.0);

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

INSTANTIATE_TEST_SUITE_P(Servers, EndToEndServerTest, ::testing::ValuesIn(ServerKinds), ServerKindName);

// Counts the buffers the window's handler showed.
class TBufferCount final : public TBufferObserver {
public:
    void BufferHandled(const char*, int) override { ++Count; }
    int Count = 0;
};

TEST(EndToEndTest, ALostSoundServerEndsTheRecordingAndStartWorksWhenItIsBack) {
    const TTempFolder folder;
    TPulseAudioServer server;
    auto feeder = std::make_unique<TSampleFeeder>(server.FifoPath(), SlowCounter);
    TCaptureRecording recording(folder.Path("lost.wav"));
    TForm1 form(DefaultWaveInService());
    form.AudioIn1->SetRecording(&recording);
    TBufferCount shown;
    form.Instrument().AddBufferObserver(shown);
    form.show();

    form.StartButton->click();
    ASSERT_TRUE(form.StartButton->isHidden()) << form.AudioIn1->ErrorMessage();
    RunEventLoopFor(1500);
    ASSERT_GT(shown.Count, 5);
    server.Kill();
    const qint64 noticedMs = RunEventLoopUntil([&] { return !form.StartButton->isHidden(); }, 5000);
    EXPECT_LT(noticedMs, 1000) << "the window shows Start within 1 s of the loss";
    EXPECT_TRUE(form.PauseButton->isHidden());
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
    EXPECT_TRUE(form.StatusLine()->isVisible());
    EXPECT_TRUE(form.StatusLine()->text().startsWith("Die Aufnahme wurde beendet: ")) << form.StatusLine()->text().toStdString();
    // Everything received until then is in the file, without a gap.
    const std::uint64_t bytesAtLoss = recording.WrittenBytes();
    EXPECT_GE(bytesAtLoss, static_cast<std::uint64_t>(shown.Count) * 8192);

    feeder.reset();
    server.Restart();
    feeder = std::make_unique<TSampleFeeder>(server.FifoPath(), SlowCounter);
    const int shownBefore = shown.Count;
    QElapsedTimer click;
    click.start();
    form.StartButton->click();
    // Not a speed measurement: the dead stream's close must not hold it up.
    EXPECT_LT(click.elapsed(), 1000);
    ASSERT_TRUE(form.StartButton->isHidden()) << form.AudioIn1->ErrorMessage();
    EXPECT_FALSE(form.StatusLine()->isVisible());
    RunEventLoopFor(1500);
    EXPECT_GT(shown.Count, shownBefore + 5) << "the new server's samples reach the window";
    form.PauseButton->click();
    EXPECT_FALSE(form.StatusLine()->isVisible()) << "a pause is no problem";

    recording.Finish();
    TSoundFileReader reader(folder.Path("lost.wav"));
    std::vector<std::int16_t> samples(static_cast<std::size_t>(reader.SourceFrames()));
    ASSERT_EQ(reader.Read(samples.data(), static_cast<int>(samples.size())), static_cast<int>(samples.size()));
    const std::span<const std::int16_t> first(samples.data(), bytesAtLoss / 2);
    EXPECT_TRUE(SlowCounterPosition(first).has_value());
    EXPECT_GT(samples.size(), bytesAtLoss / 2 + 44100);
}

}  // namespace
