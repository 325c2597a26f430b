// The window's opt-in parts: the analyser view and its switch, the hidden
// controls within reach, the device chooser, saving the view, the readout
// and the values under the pointer; and the plain window left as it was.
#include "AppTestSupport.h"
#include "app/AnalyserView.h"
#include "app/ImageWidget.h"
#include "app/PointerValues.h"
#include "app/ReadoutLine.h"
#include "app/ScopePanel.h"
#include "app/StatusLine.h"
#include "audio/InputDevices.h"
#include "chart/ChartWidget.h"
#include "chart/FastLineSeries.h"
#include "core/Errors.h"
#include "support/TempPath.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QDir>
#include <QFile>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// A buffer of a tone of `period` samples at a quarter of full scale.
TSamples Tone(int period) {
    TSamples samples(4096);
    for (int i = 0; i < 4096; ++i) samples[i] = static_cast<std::int16_t>((i % period < period / 2) ? 8000 : -8000);
    return samples;
}

using TWidgets = std::initializer_list<const QWidget*>;

bool DrawsLabel(TChartAxis& axis, const QString& text) {
    const auto& labels = axis.DrawnLabels();
    return std::any_of(labels.begin(), labels.end(), [&](const TAxisLabel& label) { return label.Text == text; });
}

class AnalyserViewTest : public ::testing::Test {
protected:
    AnalyserViewTest() {
        Form().show();
        Form().StartButton->click();
        RunPostedEvents();
    }
    TForm1& Form() { return *W.Form; }
    void Record(int buffers) {
        for (int i = 0; i < buffers; ++i) ASSERT_TRUE(W.Record(Tone(40 + i)));
    }

    TWindowOnSimulatedDevice W;
};

TEST_F(AnalyserViewTest, SwitchingKeepsRecordingSeriesAndPictures) {
    Record(3);
    Form().ButtonStore->click();
    const QImage spectrogram = Form().Image1->Picture().copy();
    const int snapshotPoints = Form().Instrument().FastLineSeries2.PointCount();

    Form().SetAnalyserView(true);
    RunPostedEvents();
    EXPECT_TRUE(Form().AudioIn1->DeviceOpen());
    EXPECT_EQ(Form().Image1->Picture(), spectrogram);
    EXPECT_EQ(Form().Instrument().FastLineSeries2.PointCount(), snapshotPoints);
    for (QWidget* shown : {static_cast<QWidget*>(Form().Chart1), static_cast<QWidget*>(Form().Chart3),
                           static_cast<QWidget*>(Form().CheckBackground), static_cast<QWidget*>(Form().Readout())})
        EXPECT_TRUE(shown->isVisible());
    // The spectrogram fills the plot inside its axis lines, stretched.
    const TRect plot = Form().Chart3->Chart().PlotRect();
    EXPECT_EQ(Form().Image1->geometry(), QRect(plot.Left + 1, plot.Top + 1, plot.Width() - 1, plot.Height() - 1));
    EXPECT_GT(Form().Image1->width(), 304);
    // The frequency axes read 100, 1k and 10k here.
    Form().Chart1->Chart().Paint();
    for (const char* text : {"100", "1k", "10k"}) {
        EXPECT_TRUE(DrawsLabel(Form().Chart1->Chart().BottomAxis(), text)) << text;
        EXPECT_TRUE(DrawsLabel(Form().Chart3->Chart().LeftAxis(), text)) << text;
    }
    Record(1);
    EXPECT_NE(Form().Image1->Picture(), spectrogram);

    Form().SetAnalyserView(false);
    RunPostedEvents();
    EXPECT_TRUE(Form().AudioIn1->DeviceOpen());
    EXPECT_EQ(Form().size(), QSize(790, 560));
    EXPECT_EQ(Form().Chart2->geometry(), QRect(0, 25, 790, 535));
    EXPECT_TRUE(Form().Chart1->isHidden());
    EXPECT_TRUE(Form().Readout()->isHidden());
    EXPECT_EQ(Form().CheckBackground->parentWidget(), Form().Panel2);
    EXPECT_EQ(Form().CheckBackground->geometry(), QRect(256, 5, 137, 17));
    EXPECT_TRUE(Form().CheckBackground->isHidden());
    EXPECT_EQ(Form().Image1->geometry(), QRect(46, 11, 304, 300));
    Form().Chart1->Chart().Paint();
    EXPECT_FALSE(DrawsLabel(Form().Chart1->Chart().BottomAxis(), "1k"));
}

TEST_F(AnalyserViewTest, HiddenControlsWorkFromTheView) {
    Form().SetAnalyserView(true);
    Form().CheckBackground->click();
    EXPECT_EQ(Form().CheckBackground->text(), "Aufzeichnung...");
    EXPECT_TRUE(Form().Instrument().Analysis().BackgroundLearning);
    Form().CheckAverage->click();
    EXPECT_TRUE(Form().Instrument().Analysis().PeakHold);
    Form().SBPalette->click();
    EXPECT_TRUE(Form().CBLut->isVisible());
    Form().CBLut->setCurrentIndex(Form().CBLut->findText("Grey"));
    EXPECT_TRUE(Form().CBLut->isHidden());
    const QRgb grey = Form().Image1->Picture().color(128);
    EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey) && qRed(grey) > 0);
    // Choosing the palette already chosen closes the chooser too.
    Form().SBPalette->click();
    emit Form().CBLut->activated(Form().CBLut->currentIndex());
    EXPECT_TRUE(Form().CBLut->isHidden());
}

// The spectrum marks the harmonics of the last buffer while the view is
// shown; the plain window's spectrum (and the export's) has no marks.
TEST_F(AnalyserViewTest, HarmonicsAreMarkedInTheViewOnly) {
    Form().SetAnalyserView(true);
    Record(1);
    const std::optional<TDistortion> distortion = Form().Instrument().LastDistortion();
    ASSERT_TRUE(distortion);
    ASSERT_EQ(distortion->HarmonicCount, 9);
    for (int i = 0; i < distortion->HarmonicCount; ++i) {
        const TFastLineSeries& mark = Form().Instrument().HarmonicMarks[static_cast<std::size_t>(i)];
        ASSERT_EQ(mark.PointCount(), 2);
        EXPECT_EQ(mark.XValue(1), distortion->Harmonics[static_cast<std::size_t>(i)].Hz);
    }
    Form().SetAnalyserView(false);
    Record(1);
    for (const TFastLineSeries& mark : Form().Instrument().HarmonicMarks) EXPECT_EQ(mark.PointCount(), 0);
}

// The bench oscilloscope's controls reach the instrument while the view is
// shown; the plain window has the plain trace with both channels.
TEST_F(AnalyserViewTest, ScopeControlsHoldInTheViewOnly) {
    TScopePanel& panel = Form().Analyser().Scope();
    panel.TriggerChooser->setCurrentIndex(1);
    const TScopeTrace& scope = Form().Instrument().Scope;
    EXPECT_TRUE(scope.Settings().PlainTrace());
    Form().SetAnalyserView(true);
    EXPECT_TRUE(panel.isVisible());
    panel.LevelBox->setValue(12.5);
    panel.SlopeChooser->setCurrentIndex(1);
    panel.SourceChooser->setCurrentIndex(1);
    panel.PositionBox->setValue(40);
    panel.SweepChooser->setCurrentIndex(2);
    panel.TimeChooser->setCurrentIndex(panel.TimeChooser->findData(0.5));
    panel.AmplitudeChooser->setCurrentIndex(panel.AmplitudeChooser->findData(10.0));
    panel.ChannelB->click();
    const TScopeSettings s = scope.Settings();
    EXPECT_EQ(s.Trigger, TTriggerMode::Edge);
    EXPECT_EQ(s.LevelPercent, 12.5);
    EXPECT_EQ(s.Slope, TTriggerSlope::Falling);
    EXPECT_EQ(s.Source, TTriggerSource::B);
    EXPECT_EQ(s.PositionPercent, 40.0);
    EXPECT_EQ(s.Sweep, TSweepMode::Single);
    EXPECT_EQ(Form().Instrument().Chart2.BottomAxis().Maximum(), 5.0);
    EXPECT_EQ(Form().Instrument().Chart2.LeftAxis().Maximum(), 40.0);
    EXPECT_FALSE(scope.TraceB.Active());
    EXPECT_TRUE(panel.RearmButton->isEnabled());
    // A calibration in volts offers volts per division: 1 V RMS full scale
    // makes 0.1 V 7.07 % of full scale.
    panel.SetCalibration({.Unit = TLevelUnit::DbV, .FullScaleVolts = 1.0});
    EXPECT_NEAR(panel.AmplitudeChooser->itemData(panel.AmplitudeChooser->findText("0.1 V/Div")).toDouble(), 7.071, 1e-3);
    EXPECT_EQ(scope.Settings().PercentPerDivision, 0.0);

    Form().SetAnalyserView(false);
    EXPECT_TRUE(scope.Settings().PlainTrace());
    EXPECT_TRUE(scope.TraceB.Active());
    EXPECT_EQ(Form().Instrument().Chart2.BottomAxis().Maximum(), 40.8);
}

// X-Y is offered with two channels: a square plot with channel A across
// over the amplitude range; off, the axes are as before.
TEST_F(AnalyserViewTest, XYModeNeedsTwoChannelsAndGivesTheAxesBack) {
    TScopePanel& panel = Form().Analyser().Scope();
    TChart& chart = Form().Instrument().Chart2;
    Form().SetAnalyserView(true);
    EXPECT_FALSE(panel.XYBox->isEnabled());
    Form().Analyser().ShowChannels(2);
    const double amplitudeMinimum = chart.LeftAxis().Minimum();
    const double amplitudeMaximum = chart.LeftAxis().Maximum();
    panel.XYBox->click();
    EXPECT_TRUE(chart.SquarePlot());
    EXPECT_EQ(chart.BottomAxis().Minimum(), -100.0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 100.0);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 100.0);
    chart.Paint();
    EXPECT_EQ(chart.PlotRect().Width(), chart.PlotRect().Height());

    Form().Analyser().ShowChannels(1);
    EXPECT_FALSE(panel.XYBox->isChecked());
    EXPECT_FALSE(chart.SquarePlot());
    EXPECT_EQ(chart.BottomAxis().Minimum(), 0.0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 40.8);
    EXPECT_EQ(chart.LeftAxis().Minimum(), amplitudeMinimum);
    EXPECT_EQ(chart.LeftAxis().Maximum(), amplitudeMaximum);
}

TEST_F(AnalyserViewTest, TheChooserSetsTheMonitorsApartAndKeepsTheChoice) {
    Form().SetAnalyserView(true);
    W.Device.SetDeviceCount(5);
    Form().ChooseInputDevice(4);
    const std::vector<TInputDeviceInfo> devices{{0, "default", "", true, false, 0},
                                                {2, "pipein", "Pipe A", true, false, 1},
                                                {3, "usb", "USB Audio CODEC", false, false, 2},
                                                {1, "speakers.monitor", "Lautsprecher", false, true, 2},
                                                {4, "hdmi.monitor", "HDMI", false, true, 2}};
    Form().SetInputDevices(devices);
    const auto* chooser = Form().findChild<QComboBox*>("InputDeviceChooser");
    ASSERT_NE(chooser, nullptr);
    const QStringList expected{"0  default (Standard)", "2  Pipe A (Standard)", "3  USB Audio CODEC", "",
                               "1  Monitor von Lautsprecher", "4  Monitor von HDMI"};
    ASSERT_EQ(chooser->count(), expected.size());
    for (int i = 0; i < chooser->count(); ++i) EXPECT_EQ(chooser->itemText(i), expected[i]) << i;
    EXPECT_EQ(chooser->currentText(), "4  Monitor von HDMI");
    EXPECT_FALSE(chooser->itemData(3).isValid()) << "a separator, not a device";
}

TEST_F(AnalyserViewTest, ChoosingAnotherDeviceCarriesOnRecording) {
    Form().SetAnalyserView(true);
    W.Device.SetDeviceCount(2);
    Form().ChooseInputDevice(1);
    EXPECT_EQ(Form().AudioIn1->WaveDevice(), 1);
    EXPECT_TRUE(Form().AudioIn1->DeviceOpen());
    EXPECT_TRUE(Form().StartButton->isHidden());
    Record(1);

    W.Device.FailNext(TWaveInCall::Open, 2);
    Form().ChooseInputDevice(0);
    RunPostedEvents();
    EXPECT_FALSE(Form().AudioIn1->DeviceOpen());
    EXPECT_FALSE(Form().StartButton->isHidden());
    // The reason shows below the charts, hiding none of them.
    const QRect status = Form().StatusLine()->geometry();
    EXPECT_TRUE(Form().StatusLine()->isVisible());
    EXPECT_EQ(status.bottom(), Form().height() - 1);
    for (const QWidget* shown : TWidgets{Form().Chart1, Form().Chart2, Form().Chart3, Form().Readout()})
        EXPECT_FALSE(shown->geometry().intersects(status));
}

TEST_F(AnalyserViewTest, SavingWritesTheFileSetAndRecordingGoesOn) {
    Record(3);
    TTempFolder folder;
    Form().SaveViewTo(folder.FilePath("view"));
    for (const char* name : {"oscilloscope.png", "spectrum.png", "spectrogram.png", "spectrogram-image.png",
                             "trace.csv", "spectrum.csv", "levels.csv", "measurements.csv"})
        EXPECT_TRUE(QFile::exists(folder.FilePath("view/") + name)) << name;
    QFile levels(folder.FilePath("view/levels.csv"));
    ASSERT_TRUE(levels.open(QIODevice::ReadOnly));
    EXPECT_EQ(levels.readAll().count('\n'), 4);  // header and three buffers
    EXPECT_TRUE(Form().AudioIn1->DeviceOpen());

    // A folder that cannot be made: a message, and the recording goes on.
    EXPECT_THROW(Form().SaveViewTo(folder.FilePath("view/levels.csv/view")), EWellenschauError);
    Record(1);
}

TEST_F(AnalyserViewTest, ValuesUnderThePointer) {
    Record(1);
    Form().SetAnalyserView(true);
    RunPostedEvents();
    TChart& scope = Form().Chart2->Chart();
    const TRect p = scope.PlotRect();
    EXPECT_EQ(OscilloscopePointerText(scope, p.Left, p.Top).toStdString(), "0.00 ms   " +
              QString::number(scope.LeftAxis().Maximum(), 'f', 1).toStdString() + " %");
    EXPECT_EQ(OscilloscopePointerText(scope, p.Left - 1, p.Top), "");

    TChart& spectrum = Form().Chart1->Chart();
    const TRect s = spectrum.PlotRect();
    EXPECT_EQ(SpectrumPointerText(spectrum, s.Left, s.Top).toStdString(), "20.0 Hz (D#0 +49 ct)   1.0 dB");

    // The newest column of the spectrogram, at the top of its picture.
    const QImage& picture = Form().Image1->Picture();
    const QString text = SpectrogramPointerText(Form().Chart3->Chart(), picture, {0, 0}, Form().Image1->y(), 0.0929);
    EXPECT_TRUE(text.startsWith("vor 0.00 s   ")) << text.toStdString();
    const double db = (picture.pixelIndex(0, 0) - 255) * 70.0 / 255;
    EXPECT_TRUE(text.endsWith(QString::number(db, 'f', 1) + " dB")) << text.toStdString();
    EXPECT_EQ(SpectrogramPointerText(Form().Chart3->Chart(), picture, {304, 0}, 0, 0.0929), "");
}

// Whether the rows y - 1 and y of image differ somewhere.
bool RowsDiffer(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y - 1) != image.pixel(x, y)) return true;
    return false;
}

// The view renders its charts at the window's device pixel ratio, the
// widgets show their images pixel for pixel and the spectrogram picture is
// stretched onto device pixels without smoothing; the plain window keeps
// ratio 1 and its look. ctest runs this at QT_SCALE_FACTOR 1 and 2.
TEST_F(AnalyserViewTest, ChartsTakeTheScreensPixelRatioOnlyInTheView) {
    const qreal ratio = Form().devicePixelRatioF();
    EXPECT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    Record(3);
    const QImage plainScope = Form().Chart2->Chart().Paint().copy();

    Form().SetAnalyserView(true);
    RunPostedEvents();
    for (TChartWidget* chart : {Form().Chart1, Form().Chart2, Form().Chart3}) {
        EXPECT_EQ(chart->Chart().PixelRatio(), ratio);
        EXPECT_EQ(chart->Chart().Image().size(), chart->size() * ratio);
    }
    EXPECT_EQ(Form().Chart2->grab().toImage().convertToFormat(QImage::Format_RGB32), Form().Chart2->Chart().Image());
    // Shown or moved from a screen of another ratio, the charts take the window's.
    for (const QEvent::Type type : {QEvent::Show, QEvent::ScreenChangeInternal}) {
        Form().Chart2->Chart().SetPixelRatio(3);
        QEvent screenChange(type);
        QCoreApplication::sendEvent(&Form(), &screenChange);
        EXPECT_EQ(Form().Chart2->Chart().PixelRatio(), ratio) << type;
    }
    const QImage spectrogram = Form().Image1->grab().toImage();
    ASSERT_EQ(spectrogram.size(), Form().Image1->size() * ratio);
    const QList<QRgb> palette = Form().Image1->Picture().colorTable();
    for (int y = 0; y < spectrogram.height(); y += 7)
        for (int x = 0; x < spectrogram.width(); x += 7)
            ASSERT_TRUE(palette.contains(spectrogram.pixel(x, y))) << x << "," << y;
    // Picture rows end between the device rows of one logical row.
    const int devicePerLogical = static_cast<int>(ratio);
    bool edgeInsideLogicalRow = false;
    for (int y = 1; y < spectrogram.height(); ++y)
        edgeInsideLogicalRow = edgeInsideLogicalRow || (y % devicePerLogical != 0 && RowsDiffer(spectrogram, y));
    EXPECT_EQ(edgeInsideLogicalRow, ratio > 1);

    Form().SetAnalyserView(false);
    RunPostedEvents();
    for (TChartWidget* chart : {Form().Chart1, Form().Chart2, Form().Chart3})
        EXPECT_EQ(chart->Chart().PixelRatio(), 1.0);
    EXPECT_EQ(Form().Chart2->Chart().Paint(), plainScope);
}

// What the instrument saves of a chart is what the window shows of it,
// pictures and marks included, in both views.
TEST_F(AnalyserViewTest, SavedChartsAreWhatTheWindowShows) {
    Record(3);
    for (const bool analyser : {false, true}) {
        Form().SetAnalyserView(analyser);
        RunPostedEvents();
        for (TChartWidget* chart : {Form().Chart1, Form().Chart2, Form().Chart3})
            EXPECT_EQ(chart->grab().toImage().convertToFormat(QImage::Format_RGB32),
                      Form().Instrument().ChartPicture(chart->Chart()).convertToFormat(QImage::Format_RGB32))
                << analyser << " " << chart->x();
    }
}

// The plain window looks exactly as it did before the opt-in parts came:
// compared with a rendering made then, before and after a round trip
// through the analyser view. It speaks the language of the test's locale,
// as the program would (CTest runs it under C and German locales).
TEST(DefaultWindowTest, LooksAsBefore) {
    const TLanguage language =
        ChosenLanguage({"wellenschau"}, [](const char* name) { return qEnvironmentVariable(name); });
    ASSERT_EQ(language, TLanguage::German);
    const TTranslated translated(language);
    const QImage before(QString(WELLENSCHAU_TEST_DATA) + "/default-window.png");
    ASSERT_FALSE(before.isNull());
    TWindowOnSimulatedDevice w;
    w.Form->show();
    RunPostedEvents();
    EXPECT_EQ(w.Form->grab().toImage().convertToFormat(before.format()), before);
    w.Form->SetAnalyserView(true);
    w.Form->SetAnalyserView(false);
    RunPostedEvents();
    EXPECT_EQ(w.Form->grab().toImage().convertToFormat(before.format()), before);
}

}  // namespace
