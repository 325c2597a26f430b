#include "MainWindow.h"

#include "DisplaySetup.h"
#include "AnalyserView.h"
#include "ImageWidget.h"
#include "LevelHistory.h"
#include "ReadoutLine.h"
#include "StatusLine.h"
#include "analysis/Measurements.h"
#include "analysis/Spectrogram.h"
#include "analysis/Trace.h"
#include "audio/AudioIn.h"
#include "audio/CallBackWinIn.h"
#include "chart/ChartWidget.h"
#include "chart/FastLineSeries.h"
#include "core/CheckedMath.h"
#include "palette/PaletteMemo.h"
#include "palette/PaletteParser.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include <cstdio>

namespace wellenschau {

namespace {

// Client area of the window.
constexpr int ClientWidth = 790;
constexpr int ClientHeight = 560;
// Bytes per recorded buffer: 4096 16-bit samples, one FFT frame.
constexpr int CaptureBufferSize = 8192;

// Oscilloscope colours of the white scheme and of the dark one that
// unchecking it gives.
constexpr TColor DarkTraceColor = 0x00FF00;
constexpr TColor WhiteGridColor = 0xC0C0C0;

}  // namespace

void TForm1::TSeriesSink::AddPoint(double X, double Y) { FSeries.AddPoint(X, Y); }

void TForm1::TBackgroundCheckCaption::SetCaption(const char* Caption) {
    FCheckBox->setText(QString::fromUtf8(Caption));
}

TForm1::TForm1(TWaveInService& waveIn) : FAnalysis(std::make_unique<AnalysisState>()) {
    setWindowTitle("Wellenschau");
    QFont windowFont("Liberation Sans");
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    CreateCharts();
    CreateToolBar();
    AudioIn1 = new TAudioIn(this, waveIn);
    AudioIn1->SetBufferSize(4096);
    AudioIn1->SetNumBuffers(2);
    AudioIn1->SetFrameRate(1000);
    AudioIn1->SetWaveDevice(0);
    ConnectHandlers();
    SetTabOrder();
    FormCreate(this);
    CreateViews();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(QObject*) {
    AnalysisState& state = *FAnalysis;
    Chart1->Chart().SetBackColor(clBlack);
    Chart2->Chart().SetBackColor(OscilloscopeBackColor);
    resize(ClientWidth, ClientHeight);
    AlignControls();
    PrepareIndexedBitmap(Image1->Picture(), Image1->width(), Image1->height(), state.SpectrogramLines);
    PrepareIndexedBitmap(Image2->Picture(), Image2->width(), Image2->height(), state.LegendLines);
    FillLegend(state.LegendLines, Image2->width(), Image2->height());
    AudioIn1->SetBufferSize(CaptureBufferSize);
    SetupAnalysis(state, Image1->Picture().height());
    // Two picture columns per buffer: the history keeps what the picture shows.
    FHistory = std::make_unique<TLevelHistory>(Image1->Picture().width() / 2, state.RowCount);
    FillLabelCarrier(*SxAchse, state, TCarrierY::Zero);
    FillLabelCarrier(*SyAchse, state, TCarrierY::Frequency);
}

void TForm1::FormShow(QObject*) {
    LoadPicLutFromMemo(Image1, MemoLut, CBLut->itemText(0));
    LoadPicLutFromMemo(Image2, MemoLut, CBLut->itemText(0));
    CBLut->hide();
    Image1->repaint();
}

void TForm1::FormClose(QObject*) { AudioIn1->StopNow(); }

void TForm1::StartButtonClick(QObject*) {
    AudioIn1->SetFrameRate(RoundToInt(FAnalysis->SampleRate));
    if (AudioIn1->Start(AudioIn1)) {
        if (FStatusLine != nullptr) FStatusLine->Clear();
        ShowRecording(true);
    } else {
        // Start refuses while a device is open: that is a click on Pause.
        const bool pause = AudioIn1->DeviceOpen();
        AudioIn1->StopNow();
        ShowRecording(false);
        if (!pause)
            ShowAudioProblem("Die Aufnahme ließ sich nicht starten: " +
                             QString::fromStdString(AudioIn1->ErrorMessage()));
    }
}

void TForm1::ShowAudioProblem(const QString& text) {
    if (FStatusLine == nullptr) FStatusLine = new TStatusLine(this);
    FStatusLine->Show(text);
    std::fputs(qPrintable("wellenschau: " + text + '\n'), stderr);
}

void TForm1::ShowRecording(bool recording) {
    if (recording) {
        StartButton->hide();
        PauseButton->show();
    } else {
        PauseButton->hide();
        StartButton->show();
    }
}

void TForm1::AudioIn1Stop(QObject* Sender) {
    // The close of an earlier recording must leave a newer one alone.
    if (Sender != AudioIn1->CallbackWindow() || AudioIn1->DeviceOpen()) return;
    ShowRecording(false);
    if (!AudioIn1->LostMessage().empty())
        ShowAudioProblem("Die Aufnahme wurde beendet: " + QString::fromStdString(AudioIn1->LostMessage()));
}

bool TForm1::AudioIn1BufferFilled(char* Buffer, int& Size) {
    QCoreApplication::processEvents();
    const int n = Size / 2;
    // The trace reads up to 2803 samples and the transform needs a power
    // of two up to one frame: other buffers are refused before anything
    // is touched.
    if (n < MinTraceSamples || n > FftFrameLength || (n & (n - 1)) != 0) throw ERangeError();
    AnalysisState& state = *FAnalysis;
    FastLineSeries1->ClearPoints();
    SLeft->ClearPoints();

    const int trigger = FindTrigger(Buffer);
    const TTraceExtremes extremes =
        PlotTrace(Buffer, trigger, CheckBoxfast->isChecked(), state.SampleRate, *FTracePoints);
    const std::optional<TAmplitudeRange> range = UpdateAmplitudeRange(state, extremes, CheckAutoSkala->isChecked());
    if (range) Chart2->Chart().LeftAxis().SetMinMax(range->Minimum, range->Maximum);

    AnalyseSpectrum(state, Buffer, n, *FSpectrumPoints, FBackgroundCaption);
    WriteSpectrogramColumn(state, Image1->Picture().width(), Image1->Picture().height());
    const TMeasurements measurements = Measure(state, Buffer, n);
    FHistory->Add(state, measurements, n);
    FReadout->ShowMeasurements(measurements, AudioIn1->SkippedBuffers());

    if (FPaintEveryBuffer) RepaintPictures();
    for (TBufferObserver* observer : FBufferObservers) observer->BufferHandled(Buffer, Size);
    return true;
}

void TForm1::RepaintPictures() {
    // Image1, Chart1 and Chart2 at once: one pass of the window's painting
    // and one copy to the screen for the three, instead of one each.
    Image1->update();
    Chart1->Chart().InvalidateChart();
    Chart2->Chart().InvalidateChart();
    QRegion shown;
    for (const QWidget* picture : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Chart1),
                                   static_cast<QWidget*>(Chart2)})
        if (picture->isVisible()) shown += QRect(picture->mapTo(this, QPoint(0, 0)), picture->size());
    repaint(shown);
}

void TForm1::AddBufferObserver(TBufferObserver& observer) { FBufferObservers.push_back(&observer); }

void TForm1::LoadPicLutFromMemo(TImageWidget* Image, QPlainTextEdit* Memo, const QString& Name) {
    LoadPaletteIntoImage(Image->Picture(), Memo->toPlainText().split('\n'), Name);
    Image->repaint();
}

void TForm1::SBPaletteClick(QObject*) {
    CBLut->show();
    CBLut->showPopup();
}

void TForm1::CBLutChange(QObject*) {
    const QString name = CBLut->currentText();
    LoadPicLutFromMemo(Image1, MemoLut, name);
    LoadPicLutFromMemo(Image2, MemoLut, name);
    CBLut->hide();
    Image1->repaint();
}

void TForm1::ButtonstoreClick(QObject*) {
    CopyPoints(*SLeft, *SRight);
    CopyPoints(*FastLineSeries1, *FastLineSeries2);
    FAnalysis->StoredPeak = FAnalysis->LastPeak;
}

void TForm1::ButtoneraseClick(QObject*) {
    SRight->ClearPoints();
    FastLineSeries2->ClearPoints();
    FAnalysis->StoredPeak = 0;
}

void TForm1::CheckBackgroundClick(QObject*) {
    if (CheckBackground->isChecked()) {
        StartBackgroundLearning(*FAnalysis);
        CheckBackground->setText(BackgroundLearningCaption);
    } else {
        StopBackgroundTreatment(*FAnalysis);
        CheckBackground->setText(BackgroundOffCaption);
    }
}

void TForm1::CheckAverageClick(QObject*) { FAnalysis->PeakHold = CheckAverage->isChecked(); }

void TForm1::CheckBoxfastClick(QObject*) {
    SetOscilloscopeTimeBase(Chart2->Chart(), CheckBoxfast->isChecked());
}

void TForm1::CheckBoxColorsClick(QObject*) {
    TChart& scope = Chart2->Chart();
    const bool white = CheckBoxColors->isChecked();
    scope.SetBackColor(white ? clWhite : clBlack);
    FastLineSeries1->LinePen().SetColor(white ? clBlack : DarkTraceColor);
    scope.LeftAxis().Grid().SetColor(white ? WhiteGridColor : clGreen);
    scope.BottomAxis().Grid().SetColor(white ? WhiteGridColor : clGreen);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow(this);
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose(this);
    event->accept();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}

}  // namespace wellenschau
