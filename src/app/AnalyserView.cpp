#include "AnalyserView.h"

#include "BandPanel.h"
#include "CalibrationDialog.h"
#include "CalibrationStore.h"
#include "DisplaySetup.h"
#include "ImageWidget.h"
#include "InputDeviceText.h"
#include "HistorySpectrogram.h"
#include "LookBack.h"
#include "MomentSave.h"
#include "MainWindow.h"
#include "MeasurementText.h"
#include "ReadoutLine.h"
#include "ScopePanel.h"
#include "StatusLine.h"
#include "audio/AudioIn.h"
#include "chart/ChartWidget.h"
#include "chart/QtColor.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace wellenschau {

namespace {

constexpr int RowHeight = 25;
// Shares of the charts' height: oscilloscope and bands above, spectrum and
// spectrogram below; of the upper width: oscilloscope and bands.
constexpr int OscilloscopeStretch = 42;
constexpr int LowerChartsStretch = 58;
constexpr int HistoryStretch = 30;
constexpr int OscilloscopeWidthStretch = 55;
constexpr int BandsWidthStretch = 45;
const QSize MinimumSize(960, 640);
const QSize FirstSize(1280, 800);
// The legend picture sits this far right of the spectrum's plot.
constexpr int LegendGap = 4;
constexpr int LegendWidth = 7;
// Room for the whole caption of the colour check box in the tool bar.
constexpr int ColourCaptionWidth = 140;

using TWidgets = std::initializer_list<QWidget*>;

// The translation context of this file's texts.
struct TAnalyserViewText {
    Q_DECLARE_TR_FUNCTIONS(TAnalyserViewText)
};

}  // namespace

TAnalyserView::TAnalyserView(TForm1& form) : FForm(form) {
    FPage = new QWidget(&form);
    FRow = new QWidget(FPage);
    FRow->setAutoFillBackground(true);
    FRow->setFixedHeight(RowHeight);
    FRowLayout = new QHBoxLayout(FRow);
    FRowLayout->setContentsMargins(6, 0, 6, 0);
    CreateAveragingControls();
    CreateChannelControls();
    CreateHistoryControls();
    FRowLayout->addStretch();
    FDeviceCaption = new QLabel(TAnalyserViewText::tr("Eingang:"), FRow);
    FRowLayout->addWidget(FDeviceCaption);
    FDevices = new QComboBox(FRow);
    FDevices->setObjectName("InputDeviceChooser");
    FDevices->setMinimumWidth(270);
    FRowLayout->addWidget(FDevices);
    QObject::connect(FDevices, &QComboBox::activated, &form,
                     [this](int index) { FForm.ChooseInputDevice(FDevices->itemData(index).toInt()); });
    SetDevices({}, 0);
    FHarmonics = new QLabel(FPage);
    FHarmonics->setContentsMargins(4, 0, 4, 0);
    FHarmonics->setFixedHeight(TReadoutLine::Height);
    FBands = new TBandPanel(form.Instrument().SoundLevel(), FPage);
    FBands->SetOnCalibrate([this] { OpenCalibrationDialog(); });
    FScope = new TScopePanel(form.Instrument(), [&form] { return form.AudioIn1->Tap(); }, FPage);
    FScope->setFixedHeight(RowHeight);
    FScope->CursorReadout->setFixedHeight(TReadoutLine::Height);
    form.Chart2->SetCursors(&FScope->Cursors());
    QObject::connect(FBands->WeightingChooser, &QComboBox::currentIndexChanged, FPage,
                     [this] { FForm.ShowMeasurements(); });
    FPage->hide();
}

TAnalyserView::~TAnalyserView() = default;

void TAnalyserView::CreateHistoryControls() {
    auto* caption = new QLabel(TAnalyserViewText::tr("Verlauf (min)"), FRow);
    FHistoryMinutes = new QDoubleSpinBox(FRow);
    FHistoryMinutes->setObjectName("HistoryMinutes");
    FHistoryMinutes->setDecimals(1);
    FHistoryMinutes->setRange(LeastHistoryMinutes, MostHistoryMinutes);
    FHistoryMinutes->setValue(DefaultHistoryMinutes);
    FHistoryMinutes->setToolTip(TAnalyserViewText::tr("So viele Minuten der Aufnahme hält die Analyseansicht zum Zurückblicken"));
    FHoldButton = new QToolButton(FRow);
    FHoldButton->setObjectName("HoldButton");
    FHoldButton->setText(TAnalyserViewText::tr("Anhalten"));
    FHoldButton->setToolTip(TAnalyserViewText::tr("Hält die Diagramme an, während die Aufnahme weiterläuft; der Regler wählt einen gehaltenen Moment"));
    FMoment = new QSlider(Qt::Horizontal, FRow);
    FMoment->setObjectName("MomentSlider");
    FMoment->setMinimumWidth(160);
    FMomentAge = new QLabel(FRow);
    FMomentAge->setMinimumWidth(70);
    FSaveMoment = new QToolButton(FRow);
    FSaveMoment->setObjectName("SaveMoment");
    FSaveMoment->setText(SaveMomentCaption());
    for (QWidget* control : TWidgets{caption, FHistoryMinutes, FHoldButton, FMoment, FMomentAge, FSaveMoment})
        FRowLayout->addWidget(control);
    FHistoryChart = new THistorySpectrogram(FPage);
    FHistoryChart->setObjectName("HistorySpectrogram");
    FHistoryChart->SetRows(FForm.Instrument().Analysis());
    FHistoryChart->OnPick = [this](std::int64_t number) { ShowMoment(number); };
    FHistoryChart->OnSpan = [this](std::int64_t, std::int64_t) { OfferSavingMoment(); };
    FMoment->hide();
    FMomentAge->hide();
    QObject::connect(FHistoryMinutes, &QDoubleSpinBox::valueChanged, FRow, [this] {
        if (FActive) StartHistory();
    });
    QObject::connect(FHoldButton, &QToolButton::clicked, FRow, [this] { FFrozen ? Resume() : Freeze(); });
    QObject::connect(FMoment, &QSlider::valueChanged, FRow, [this](int number) { ShowMoment(number); });
    QObject::connect(FSaveMoment, &QToolButton::clicked, FRow, [this] {
        const std::optional<TBufferSpan> span = FHistoryChart->MarkedSpan();
        if (span && FLookBack) AskAndSaveMoment(&FForm, *History(), span->First, span->Last, WindowExportSettings(FForm));
    });
}

void TAnalyserView::OfferSavingMoment() {
    FSaveMoment->setEnabled(FHistoryChart->MarkedSpan().has_value());
    FSaveMoment->setToolTip(FSaveMoment->isEnabled()
                                ? TAnalyserViewText::tr("Speichert den gewählten Abschnitt als WAV mit den Dateien des Exports")
                                : TAnalyserViewText::tr("Erst einen Abschnitt wählen: im Verlaufsspektrogramm mit gedrückter Umschalttaste ziehen"));
}

void TAnalyserView::FollowPalette() { FHistoryChart->SetPalette(FForm.Instrument().Image1.colorTable()); }

const TSoundHistory* TAnalyserView::History() const { return FLookBack ? &FLookBack->History() : nullptr; }

void TAnalyserView::SetHistoryMinutes(double minutes) { FHistoryMinutes->setValue(minutes); }

double TAnalyserView::HistoryMinutes() const { return FHistoryMinutes->value(); }

void TAnalyserView::StartHistory() {
    Resume();
    // The old keeper lets go of the instrument before the new one takes it.
    FLookBack.reset();
    if (FActive) FLookBack = std::make_unique<TLookBack>(FForm.Instrument(), HistoryMinutes(), FForm.Channels());
    FHistoryChart->SetHistory(History());
    FHistoryChart->SetMarkedSpan(std::nullopt);
    FollowPalette();
    OfferSavingMoment();
    FScope->SetHistory(History());
    FollowHistory();
    if (OnHistoryChanged) OnHistoryChanged();
}

TInstrument& TAnalyserView::ShownInstrument() const {
    return FFrozen ? FLookBack->Instrument() : FForm.Instrument();
}

std::optional<std::int64_t> TAnalyserView::ShownMoment() const {
    return FFrozen ? FLookBack->Shown() : std::nullopt;
}

bool TAnalyserView::Hold() {
    if (FFrozen) return true;
    if (!FLookBack || FLookBack->First() >= FLookBack->End()) return false;
    FHeldPicture = FForm.Instrument().Image1.copy();
    FForm.Image1->ShowInstead(&FHeldPicture);
    FLookBack->Freeze();
    TInstrument& look = FLookBack->Instrument();
    FForm.Chart1->SetChart(look.Chart1);
    FForm.Chart2->SetChart(look.Chart2);
    FBands->SetMeter(look.SoundLevel());
    FScope->Roll().SetInstrument(look);
    FFrozen = true;
    FHoldButton->setText(TAnalyserViewText::tr("Weiter"));
    FMoment->show();
    FMomentAge->show();
    FollowHistory();
    return true;
}

void TAnalyserView::Freeze() {
    if (Hold()) ShowMoment(FLookBack->End() - 1);
}

void TAnalyserView::Resume() {
    if (!FFrozen) return;
    FFrozen = false;
    TInstrument& live = FForm.Instrument();
    FForm.Chart1->SetChart(live.Chart1);
    FForm.Chart2->SetChart(live.Chart2);
    FBands->SetMeter(live.SoundLevel());
    FScope->Roll().SetInstrument(live);
    FForm.Image1->ShowInstead(nullptr);
    FHeldPicture = QImage();
    FHoldButton->setText(TAnalyserViewText::tr("Anhalten"));
    FMoment->hide();
    FMomentAge->hide();
    FHistoryChart->SetMarkedMoment(std::nullopt);
    FScope->Roll().ShowMoment(std::nullopt);
    FForm.ShowFigures();
}

void TAnalyserView::ShowMoment(std::int64_t number) {
    if (!Hold()) return;
    const std::int64_t shown = std::clamp(number, FLookBack->First(), FLookBack->End() - 1);
    FLookBack->Show(shown);
    FHistoryChart->SetMarkedMoment(shown);
    FScope->Roll().ShowMoment(shown);
    FollowHistory();
    FForm.ShowFigures();
}

void TAnalyserView::FollowHistory() {
    if (!FActive) return;
    FHistoryChart->HistoryChanged();
    if (!FFrozen) {
        FHoldButton->setEnabled(FLookBack->First() < FLookBack->End());
        return;
    }
    const QSignalBlocker quiet(FMoment);
    FMoment->setRange(static_cast<int>(FLookBack->First()), static_cast<int>(FLookBack->End() - 1));
    if (FLookBack->Shown()) FMoment->setValue(static_cast<int>(*FLookBack->Shown()));
    ShowMomentAge();
}

// How long before the newest kept buffer the shown one began.
void TAnalyserView::ShowMomentAge() {
    const std::int64_t newest = FLookBack->End() - 1;
    const double seconds = static_cast<double>(newest - FLookBack->Shown().value_or(newest)) *
                           TSoundHistory::BufferSamples / FForm.Instrument().Analysis().SampleRate;
    FMomentAge->setText(TAnalyserViewText::tr("vor %1 s").arg(seconds, 0, 'f', 1));
}

void TAnalyserView::CreateAveragingControls() {
    FAveraging = new QComboBox(FRow);
    FAveraging->setToolTip(TAnalyserViewText::tr("Mittelung des Spektrums und der Klirrwerte (Leistungsmittel)"));
    FAveraging->addItem(TAnalyserViewText::tr("Mittelung aus"), static_cast<int>(TAveraging::Off));
    FAveraging->addItem(TAnalyserViewText::tr("exponentiell"), static_cast<int>(TAveraging::Exponential));
    FAveraging->addItem(TAnalyserViewText::tr("linear"), static_cast<int>(TAveraging::Linear));
    FAveraging->addItem(TAnalyserViewText::tr("seit Beginn"), static_cast<int>(TAveraging::Whole));
    FTimeConstant = new QDoubleSpinBox(FRow);
    FTimeConstant->setRange(0.1, 60.0);
    FTimeConstant->setValue(1.0);
    FTimeConstant->setSuffix(TAnalyserViewText::tr(" s"));
    FTimeConstant->setToolTip(TAnalyserViewText::tr("Zeitkonstante"));
    FBufferCount = new QSpinBox(FRow);
    FBufferCount->setRange(2, MostLinearBuffers);
    FBufferCount->setValue(8);
    FBufferCount->setSuffix(TAnalyserViewText::tr(" Puffer"));
    for (QWidget* control : TWidgets{FAveraging, FTimeConstant, FBufferCount}) FRowLayout->addWidget(control);
    QObject::connect(FAveraging, &QComboBox::currentIndexChanged, FRow, [this] { ChooseAveraging(); });
    QObject::connect(FTimeConstant, &QDoubleSpinBox::valueChanged, FRow, [this] { ChooseAveraging(); });
    QObject::connect(FBufferCount, &QSpinBox::valueChanged, FRow, [this] { ChooseAveraging(); });
    ChooseAveraging();
}

void TAnalyserView::CreateChannelControls() {
    FTwoChannels = new QCheckBox(TAnalyserViewText::tr("Zwei Kanäle"), FRow);
    FTwoChannels->setObjectName("TwoChannels");
    FRowLayout->addWidget(FTwoChannels);
    QObject::connect(FTwoChannels, &QCheckBox::toggled, FRow, [this](bool on) { FForm.SetChannels(on ? 2 : 1); });
    FReadoutB = new QLabel(FPage);
    FReadoutB->setObjectName("ChannelBReadout");
    FReadoutB->setContentsMargins(4, 0, 4, 0);
    FReadoutB->setFixedHeight(TReadoutLine::Height);
    QPalette colours = FReadoutB->palette();
    colours.setColor(QPalette::WindowText, ToQColor(ChannelBColor(true)));
    FReadoutB->setPalette(colours);
    FReadoutB->hide();
}

QString TAnalyserView::TwoChannelsRefusal() const {
    if (FForm.AudioIn1->Recording() != nullptr)
        return TAnalyserViewText::tr("Die Aufnahmedatei von --record behält ihre Kanalzahl; --channels wählt sie beim Start.");
    if (FFileChannels == 1) return TAnalyserViewText::tr("Die Datei hat nur einen Kanal.");
    if (FFileChannels == 0 && InputChannels(FDeviceList, FForm.AudioIn1->WaveDevice()) == 1)
        return TAnalyserViewText::tr("Das Gerät hat nur einen Kanal.");
    return {};
}

void TAnalyserView::OfferChannels() {
    const QString refusal = TwoChannelsRefusal();
    FTwoChannels->setEnabled(refusal.isEmpty());
    FTwoChannels->setToolTip(refusal.isEmpty() ? TAnalyserViewText::tr("Nimmt zwei Kanäle auf: links Kanal A, rechts Kanal B") : refusal);
    // A recording file keeps the channels it was started with.
    if (!refusal.isEmpty() && FForm.AudioIn1->Recording() == nullptr) FTwoChannels->setChecked(false);
}

void TAnalyserView::SetFileChannels(int channels) {
    FFileChannels = channels;
    OfferChannels();
}

void TAnalyserView::ShowChannels(int channels) {
    const QSignalBlocker quiet(FTwoChannels);
    FTwoChannels->setChecked(channels == 2);
    FScope->SetChannels(channels);
    FReadoutB->setVisible(FActive && channels == 2);
    FReadoutB->clear();
    if (FActive) StartHistory();
}

void TAnalyserView::ShowChannelB(const std::optional<TChannelBFigures>& figures) {
    if (FActive && figures) FReadoutB->setText(ChannelBReadoutText(*figures, FCalibration));
}

void TAnalyserView::ChooseAveraging() {
    const auto mode = static_cast<TAveraging>(FAveraging->currentData().toInt());
    FTimeConstant->setVisible(mode == TAveraging::Exponential);
    FBufferCount->setVisible(mode == TAveraging::Linear);
    FForm.Instrument().SetAveraging(mode, mode == TAveraging::Linear ? FBufferCount->value() : FTimeConstant->value());
}

void TAnalyserView::ShowHarmonics(const std::optional<TDistortion>& distortion) {
    if (FActive) FHarmonics->setText(TAnalyserViewText::tr("Oberschwingungen: ") + HarmonicsText(distortion));
}

void TAnalyserView::ShowBandLevels() {
    if (FActive) FBands->ShowLevels();
}

TReadoutLevels TAnalyserView::ReadoutLevels() const {
    if (!FActive) return {};
    const TWeighting weighting = FBands->Weighting();
    return {FCalibration,
            TSoundLevelReading{weighting, ShownInstrument().SoundLevel().Level(weighting, TLevelTime::Fast)}};
}

QString TAnalyserView::DeviceName() const {
    return ListedDeviceName().value_or(QString("Eingang %1").arg(FForm.AudioIn1->WaveDevice()));
}

QString TAnalyserView::ShownDeviceName() const {
    return ListedDeviceName().value_or(TAnalyserViewText::tr("Eingang %1").arg(FForm.AudioIn1->WaveDevice()));
}

std::optional<QString> TAnalyserView::ListedDeviceName() const {
    const int number = FForm.AudioIn1->WaveDevice();
    for (const TInputDeviceInfo& device : FDeviceList)
        if (device.Number == number) return QString::fromStdString(device.Name);
    return std::nullopt;
}

void TAnalyserView::FollowDevice() {
    ShowCalibration(LoadCalibration(DeviceName()));
    OfferChannels();
}

void TAnalyserView::ShowCalibration(const TCalibration& calibration) {
    FCalibration = calibration;
    FBands->SetCalibration(calibration);
    FScope->SetCalibration(calibration);
    if (FActive) FForm.Instrument().SetCalibration(calibration);
    FForm.ShowMeasurements();
}

TCalibrationDialog* TAnalyserView::OpenCalibrationDialog() {
    const TSoundLevelMeter& meter = FForm.Instrument().SoundLevel();
    auto* dialog = new TCalibrationDialog(
        ShownDeviceName(), FCalibration, [&meter] { return meter.Level(TWeighting::Z, TLevelTime::Fast); }, &FForm);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, FPage, [this, dialog] { ApplyCalibration(dialog->Result()); });
    dialog->open();
    return dialog;
}

void TAnalyserView::ApplyCalibration(const TCalibration& calibration) {
    SaveCalibration(DeviceName(), calibration);
    ShowCalibration(calibration);
}

void TAnalyserView::SetDevices(const std::vector<TInputDeviceInfo>& devices, int current) {
    FDeviceList = devices;
    FDevices->clear();
    bool monitors = false;
    for (const TInputDeviceInfo& device : devices) {
        // The monitors come last, set apart from the inputs.
        if (device.IsMonitor && !std::exchange(monitors, true) && FDevices->count() > 0)
            FDevices->insertSeparator(FDevices->count());
        QString text = QString("%1  %2").arg(device.Number).arg(DeviceDescription(device));
        if (device.IsDefault) text += TAnalyserViewText::tr(" (Standard)");
        FDevices->addItem(text, device.Number);
        if (device.Number == current) FDevices->setCurrentIndex(FDevices->count() - 1);
    }
    FDeviceCaption->setVisible(!devices.empty());
    FDevices->setVisible(!devices.empty());
    OfferChannels();
}

void TAnalyserView::Keep(QWidget* widget) {
    FStored.push_back({widget, widget->parentWidget(), widget->geometry(), widget->isHidden()});
}

void TAnalyserView::Enter() {
    if (FActive) return;
    FActive = true;
    FPlainSize = FForm.size();
    for (QWidget* moved : TWidgets{FForm.Panel2, FForm.CheckBackground, FForm.CheckAverage, FForm.SBPalette, FForm.CBLut,
                                   FForm.CheckBoxColors, FForm.Chart1, FForm.Chart2, FForm.Chart3, FForm.Readout(),
                                   FForm.StatusLine()})
        Keep(moved);
    LayOut();
    FForm.CheckBoxColors->resize(ColourCaptionWidth, FForm.CheckBoxColors->height());
    for (QWidget* shown : TWidgets{FForm.CheckBackground, FForm.CheckAverage, FForm.SBPalette, FForm.Chart1, FForm.Chart3})
        shown->show();
    FForm.CBLut->hide();  // the palette button shows it, as in the plain window
    FPage->show();
    SetFrequencyLabelsSeparation(0);
    ShowHarmonics(FForm.Instrument().LastDistortion());
    FForm.Instrument().SetHarmonicMarks(true);
    FForm.Instrument().SetSoundLevel(true);
    FScope->Show(true);
    FollowDevice();
    FReadoutWasVisible = FForm.ReadoutVisible();
    FForm.SetReadoutVisible(true);
    FReadoutB->setVisible(FTwoChannels->isChecked());
    FForm.setMinimumSize(MinimumSize);
    if (FForm.width() < FirstSize.width() || FForm.height() < FirstSize.height()) FForm.resize(FirstSize);
    FollowPixelRatio();
    Arrange();
    StartHistory();
}

void TAnalyserView::LayOut() {
    int rowPosition = 0;
    for (QWidget* control : TWidgets{FForm.CheckBackground, FForm.CheckAverage, FForm.SBPalette, FForm.CBLut})
        FRowLayout->insertWidget(rowPosition++, control);
    auto* charts = new QHBoxLayout;
    charts->setSpacing(0);
    charts->addWidget(FForm.Chart1, 1);
    charts->addWidget(FForm.Chart3, 1);
    auto* column = new QVBoxLayout(FPage);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(FForm.Panel2);
    column->addWidget(FRow);
    column->addWidget(FScope);
    auto* upper = new QHBoxLayout;
    upper->setSpacing(0);
    upper->addWidget(FForm.Chart2, OscilloscopeWidthStretch);
    upper->addWidget(FBands, BandsWidthStretch);
    column->addLayout(upper, OscilloscopeStretch);
    column->addWidget(FScope->CursorReadout);
    column->addLayout(charts, LowerChartsStretch);
    column->addWidget(FHistoryChart, HistoryStretch);
    column->addWidget(FHarmonics);
    column->addWidget(FForm.Readout());
    column->addWidget(FReadoutB);
    column->addWidget(FForm.StatusLine());
}

void TAnalyserView::Leave() {
    if (!FActive) return;
    FActive = false;
    StartHistory();  // with the view hidden: back to live, nothing kept
    for (auto it = FStored.rbegin(); it != FStored.rend(); ++it) {
        it->Widget->setParent(it->Parent);
        it->Widget->setGeometry(it->Geometry);
        it->Widget->setHidden(it->Hidden);
    }
    FStored.clear();
    delete FPage->layout();
    FReadoutB->hide();
    FPage->hide();
    FForm.PlacePictures({Image1Bounds, Image2Bounds, true});
    for (const auto& [chart, bounds] : {std::pair{FForm.Chart1, Chart1Bounds}, std::pair{FForm.Chart3, Chart3Bounds}})
        chart->Chart().SetSize(bounds.width(), bounds.height());
    SetFrequencyLabelsSeparation(1);
    FForm.Instrument().SetHarmonicMarks(false);
    FForm.Instrument().SetSoundLevel(false);
    FScope->Show(false);
    FForm.Instrument().SetCalibration({});
    SetChartsPixelRatio(1);
    FForm.SetReadoutVisible(FReadoutWasVisible);
    FForm.setMinimumSize(0, 0);
    FForm.resize(FPlainSize);
}

// The stored layout keeps 1 %, and with it the rule that hides a text
// too close to the (empty) carrier label before it: 100, 1k and 10k. The
// analyser's larger charts have room for them, so its separation is 0.
void TAnalyserView::SetFrequencyLabelsSeparation(int percent) {
    FForm.Chart1->Chart().BottomAxis().SetLabelsSeparation(percent);
    FForm.Chart3->Chart().LeftAxis().SetLabelsSeparation(percent);
}

void TAnalyserView::FollowPixelRatio() {
    if (FActive) SetChartsPixelRatio(FForm.devicePixelRatioF());
}

void TAnalyserView::SetChartsPixelRatio(qreal ratio) {
    for (TChartWidget* chart : {FForm.Chart1, FForm.Chart2, FForm.Chart3, FBands->ChartWidget, static_cast<TChartWidget*>(FHistoryChart)})
        chart->Chart().SetPixelRatio(ratio);
    // Held, the spectrum and the oscilloscope show the look back's charts;
    // the live ones take the ratio too.
    for (TChart* live : {&FForm.Instrument().Chart1, &FForm.Instrument().Chart2}) live->SetPixelRatio(ratio);
}

void TAnalyserView::Arrange() {
    if (!FActive) return;
    FPage->setGeometry(FForm.rect());
    FPage->layout()->activate();
    PlacePictures();
}

// A paint lays out the plots for the charts' new sizes.
void TAnalyserView::PlacePictures() {
    TChart& spectrogram = FForm.Chart3->Chart();
    spectrogram.Paint();
    const TRect plot = spectrogram.PlotRect();
    TChart& spectrum = FForm.Chart1->Chart();
    spectrum.Paint();
    const TRect spectrumPlot = spectrum.PlotRect();
    FForm.PlacePictures({QRect(plot.Left + 1, plot.Top + 1, plot.Width() - 1, plot.Height() - 1),
                         QRect(spectrumPlot.Right + LegendGap, spectrumPlot.Top, LegendWidth, spectrumPlot.Height() + 1),
                         false});
}

}  // namespace wellenschau
