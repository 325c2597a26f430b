#include "MainWindow.h"

#include "DisplaySetup.h"
#include "Glyphs.h"
#include "ImageWidget.h"
#include "StatusLine.h"
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

#include <array>
#include <cstdio>

namespace wellenschau {

namespace {

// Client area of the window and height of its tool bar.
constexpr int ClientWidth = 790;
constexpr int ClientHeight = 560;
constexpr int ToolBarHeight = 25;
// Bytes per recorded buffer: 4096 16-bit samples, one FFT frame.
constexpr int CaptureBufferSize = 8192;

// Oscilloscope colours of the white scheme and of the dark one that
// unchecking it gives.
constexpr TColor DarkTraceColor = 0x00FF00;
constexpr TColor WhiteGridColor = 0xC0C0C0;

QToolButton* SpeedButton(QWidget* parent, const QString& caption, const QIcon& glyph, const QRect& bounds) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(glyph);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    button->setGeometry(bounds);
    return button;
}

QCheckBox* CheckBox(QWidget* parent, const QString& caption, const QRect& bounds, bool checked, bool visible) {
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(bounds);
    box->setChecked(checked);
    box->setVisible(visible);
    return box;
}

// A 1 x 1 black panel without behaviour.
QWidget* DotPanel(QWidget* parent, int left, int top) {
    auto* panel = new QWidget(parent);
    panel->setGeometry(left, top, 1, 1);
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, Qt::black);
    panel->setPalette(colours);
    return panel;
}

TImageWidget* ImageOn(QWidget* parent, const QRect& bounds) {
    auto* image = new TImageWidget(parent);
    image->setGeometry(bounds);
    return image;
}

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
}

TForm1::~TForm1() = default;

void TForm1::CreateCharts() {
    Chart1 = new TChartWidget(this);
    Chart1->setGeometry(Chart1Bounds);
    Chart2 = new TChartWidget(this);
    Chart3 = new TChartWidget(this);
    Chart3->setGeometry(Chart3Bounds);

    SRight = std::make_unique<TFastLineSeries>();
    SLeft = std::make_unique<TFastLineSeries>();
    SxAchse = std::make_unique<TFastLineSeries>();
    ConfigureChart1(Chart1->Chart(), *SRight, *SLeft, *SxAchse);
    FastLineSeries2 = std::make_unique<TFastLineSeries>();
    FastLineSeries1 = std::make_unique<TFastLineSeries>();
    ConfigureChart2(Chart2->Chart(), *FastLineSeries2, *FastLineSeries1);
    SyAchse = std::make_unique<TFastLineSeries>();
    Series1 = std::make_unique<TFastLineSeries>();
    ConfigureChart3(Chart3->Chart(), *SyAchse, *Series1);
    // Hidden charts get no resize event; their pictures still have sizes.
    Chart1->Chart().SetSize(Chart1Bounds.width(), Chart1Bounds.height());
    Chart3->Chart().SetSize(Chart3Bounds.width(), Chart3Bounds.height());
    FTracePoints = std::make_unique<TSeriesSink>(*FastLineSeries1);
    FSpectrumPoints = std::make_unique<TSeriesSink>(*SLeft);

    Image2 = ImageOn(Chart1, QRect(422, 9, 7, 302));
    Image1 = ImageOn(Chart3, QRect(46, 11, 304, 300));
    Panel7 = DotPanel(Chart2, 785, 145);
    Panel6 = DotPanel(Chart3, 350, 311);
    Chart1->hide();
    Chart3->hide();
}

void TForm1::CreateToolBar() {
    Panel2 = new QWidget(this);
    Panel2->setAutoFillBackground(true);
    StartButton = SpeedButton(Panel2, "&Start", StartGlyph(), QRect(0, 0, 64, 25));
    PauseButton = SpeedButton(Panel2, "Pau&se", PauseGlyph(), QRect(0, 0, 64, 25));
    PauseButton->hide();
    ButtonStore = SpeedButton(Panel2, "S&chnappschuss", SnapshotGlyph(), QRect(64, 0, 113, 25));
    Buttonerase = SpeedButton(Panel2, "&Löschen", EraseGlyph(), QRect(177, 0, 73, 25));
    CheckBackground = CheckBox(Panel2, "&Hintergrundsubtraktion", QRect(256, 5, 137, 17), false, false);
    CheckAverage = CheckBox(Panel2, "S&pitzenwertanzeige", QRect(390, 5, 121, 17), false, false);
    CheckAutoSkala = CheckBox(Panel2, "Auto-Skala", QRect(510, 5, 121, 17), true, true);
    CheckBoxfast = CheckBox(Panel2, "3x schneller", QRect(593, 5, 144, 17), false, true);
    CheckBoxColors = CheckBox(Panel2, "weißer Hintergrund", QRect(688, 5, 97, 17), false, true);
    SBPalette = SpeedButton(Panel2, QString(), PaletteGlyph(), QRect(700, 0, 29, 30));
    SBPalette->setIconSize(QSize(20, 20));
    SBPalette->setToolTip("Select a custom palette");
    SBPalette->hide();
    MemoLut = new QPlainTextEdit(Panel2);
    MemoLut->setGeometry(296, 40, 81, 49);
    MemoLut->setPlainText(ShippedPaletteMemo().join('\n'));
    MemoLut->hide();
    CBLut = new QComboBox(Panel2);
    CBLut->setGeometry(566, 58, 97, 21);
    CBLut->addItems(PaletteNames());
    CBLut->setCurrentIndex(-1);
    CBLut->hide();
}

void TForm1::ConnectHandlers() {
    const auto click = [this](QToolButton* button, void (TForm1::*handler)(QObject*)) {
        connect(button, &QToolButton::clicked, this, [this, button, handler] { (this->*handler)(button); });
    };
    click(StartButton, &TForm1::StartButtonClick);
    click(PauseButton, &TForm1::StartButtonClick);
    click(ButtonStore, &TForm1::ButtonstoreClick);
    click(Buttonerase, &TForm1::ButtoneraseClick);
    click(SBPalette, &TForm1::SBPaletteClick);
    // A check box's handler runs after its state changed, also by code.
    const auto toggle = [this](QCheckBox* box, void (TForm1::*handler)(QObject*)) {
        connect(box, &QCheckBox::toggled, this, [this, box, handler] { (this->*handler)(box); });
    };
    toggle(CheckBackground, &TForm1::CheckBackgroundClick);
    toggle(CheckAverage, &TForm1::CheckAverageClick);
    toggle(CheckAutoSkala, &TForm1::CheckAverageClick);
    toggle(CheckBoxfast, &TForm1::CheckBoxfastClick);
    toggle(CheckBoxColors, &TForm1::CheckBoxColorsClick);
    connect(CBLut, &QComboBox::currentIndexChanged, this, [this] { CBLutChange(CBLut); });
    Image2->OnClick = [this](QObject* Sender) { SBPaletteClick(Sender); };
    AudioIn1->SetOnBufferFilled([this](char* Buffer, int& Size) { return AudioIn1BufferFilled(Buffer, Size); });
    AudioIn1->SetOnStop([this](QObject* Sender) { AudioIn1Stop(Sender); });
}

void TForm1::SetTabOrder() {
    // The window's controls, then those of the tool bar.
    const std::array<QWidget*, 11> order = {Chart1, Chart2, Chart3, Panel2, MemoLut, CBLut, CheckBackground,
                                            CheckAverage, CheckAutoSkala, CheckBoxfast, CheckBoxColors};
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

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
    FMeasurements = Measure(state, Buffer, n);

    if (FPaintEveryBuffer) {
        Image1->repaint();
        Chart1->Chart().RepaintNow();
        Chart2->Chart().RepaintNow();
    }
    for (TBufferObserver* observer : FBufferObservers) observer->BufferHandled(Buffer, Size);
    return true;
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
    SRight->ClearPoints();
    for (int i = 0; i < SLeft->PointCount(); ++i) SRight->AddPoint(SLeft->XValue(i), SLeft->YValue(i));
    FastLineSeries2->ClearPoints();
    for (int i = 0; i < FastLineSeries1->PointCount(); ++i)
        FastLineSeries2->AddPoint(FastLineSeries1->XValue(i), FastLineSeries1->YValue(i));
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

void TForm1::AlignControls() {
    Panel2->setGeometry(0, 0, width(), ToolBarHeight);
    Chart2->setGeometry(0, ToolBarHeight, width(), height() - ToolBarHeight);
}

}  // namespace wellenschau
