#include "ScopePanel.h"

#include "Choosers.h"

#include "Instrument.h"
#include "analysis/CursorValues.h"
#include "analysis/RollTrace.h"
#include "audio/SampleTap.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTimer>

namespace wellenschau {

namespace {

// Times per division offered, in ms: 1-2-5 steps up to what one buffer holds.
constexpr double MsPerDivisionSteps[] = {0.1, 0.2, 0.5, 1, 2, 5};
// Amplitudes per division offered: 1-2-5 steps, in percent of full scale,
// or in volts within this share of full scale.
constexpr double PercentPerDivisionSteps[] = {0.5, 1, 2, 5, 10, 20};
constexpr double VoltsPerDivisionSteps[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10};
constexpr double LeastPercentPerDivision = 0.4;
constexpr double MostPercentPerDivision = 30;
// The cursors: cyan, apart from both traces and the trigger's marks; their
// lines reach beyond every time (ms) and amplitude (%) the chart shows.
constexpr TColor CursorColor = RGBColor(0, 200, 255);
constexpr double CursorReach = 1000.0;
// Marks the time chooser's roll time bases.
constexpr int RollRole = Qt::UserRole + 1;

// The translation context of this file's texts.
struct TScopePanelText {
    Q_DECLARE_TR_FUNCTIONS(TScopePanelText)
};


}  // namespace

TScopePanel::TScopePanel(TInstrument& instrument, std::function<const TSampleTap*()> tap, QWidget* parent)
    : QWidget(parent),
      FInstrument(instrument),
      FCursors(instrument.Chart2, CursorReach, CursorColor),
      FRoll(instrument),
      FTap(std::move(tap)) {
    setAutoFillBackground(true);
    FLiveTimer = new QTimer(this);
    FLiveTimer->setTimerType(Qt::PreciseTimer);
    FLiveTimer->setInterval(LiveIntervalMs);
    connect(FLiveTimer, &QTimer::timeout, this, [this] { FollowLive(); });
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 0, 6, 0);
    ChannelA = new QCheckBox(TScopePanelText::tr("Kanal A"), this);
    ChannelB = new QCheckBox(TScopePanelText::tr("Kanal B"), this);
    for (QCheckBox* channel : {ChannelA, ChannelB}) {
        channel->setChecked(true);
        row->addWidget(channel);
        connect(channel, &QCheckBox::toggled, this, [this] { Apply(); });
    }
    CreateTriggerControls();
    CreateDivisionControls();
    CreateCursorControls();
    row->addStretch();
}

void TScopePanel::CreateCursorControls() {
    CursorBox = new QCheckBox(TScopePanelText::tr("Cursor"), this);
    CursorBox->setToolTip(TScopePanelText::tr("Zwei senkrechte und zwei waagerechte Messlinien, mit der Maus verschiebbar"));
    layout()->addWidget(CursorBox);
    XYBox = new QCheckBox(TScopePanelText::tr("X-Y"), this);
    XYBox->setToolTip(TScopePanelText::tr("Kanal A waagerecht, Kanal B senkrecht: Phase und Lissajous-Figuren"));
    XYBox->setEnabled(false);
    layout()->addWidget(XYBox);
    connect(XYBox, &QCheckBox::toggled, this, [this] {
        Apply();
        ShowCursors();
    });
    CursorReadout = new QLabel(parentWidget());
    CursorReadout->setObjectName("CursorReadout");
    CursorReadout->setContentsMargins(4, 0, 4, 0);
    CursorReadout->hide();
    FCursors.SetOnChange([this] { ShowCursorValues(); });
    connect(CursorBox, &QCheckBox::toggled, this, [this] { ShowCursors(); });
}

void TScopePanel::SetChannels(int channels) {
    XYBox->setEnabled(channels == 2);
    if (channels != 2) XYBox->setChecked(false);
}

void TScopePanel::ShowCursors() {
    // The cursors read times and amplitudes, which the X-Y picture does not show.
    const bool on = FInView && CursorBox->isChecked() && !XYBox->isChecked();
    if (on != FCursors.Visible()) FCursors.SetVisible(on);
    CursorReadout->setVisible(on);
    ShowCursorValues();
}

void TScopePanel::ShowCursorValues() {
    if (!FCursors.Visible()) return;
    const TCursorValues v = CursorValues(FCursors.Value(0), FCursors.Value(1), FCursors.Value(2), FCursors.Value(3),
                                         FCalibration);
    const QString unit = v.Volts ? TScopePanelText::tr("V") : TScopePanelText::tr("%");
    const auto number = [](double value) { return QString::number(value, 'g', 4); };
    CursorReadout->setText(TScopePanelText::tr("t1 = %1 ms   t2 = %2 ms   Δt = %3 ms   1/Δt = %4   A1 = %5 %8   A2 = %6 %8   ΔA = %7 %8")
                               .arg(number(v.T1Ms), number(v.T2Ms), number(v.DeltaMs),
                                    v.Hz ? TScopePanelText::tr("%1 Hz").arg(number(*v.Hz)) : TScopePanelText::tr("–"), number(v.A1), number(v.A2),
                                    number(v.DeltaA), unit));
}

void TScopePanel::CreateTriggerControls() {
    auto* row = static_cast<QHBoxLayout*>(layout());
    row->addWidget(new QLabel(TScopePanelText::tr("Trigger:"), this));
    TriggerChooser = Chooser(this, {{TScopePanelText::tr("Spitze"), static_cast<int>(TTriggerMode::Peak)},
                                    {TScopePanelText::tr("Flanke"), static_cast<int>(TTriggerMode::Edge)}});
    LevelBox = new QDoubleSpinBox(this);
    LevelBox->setRange(-100, 100);
    LevelBox->setDecimals(1);
    LevelBox->setSuffix(TScopePanelText::tr(" %"));
    LevelBox->setToolTip(TScopePanelText::tr("Triggerpegel in % des Vollausschlags"));
    SlopeChooser = Chooser(this, {{TScopePanelText::tr("steigend"), static_cast<int>(TTriggerSlope::Rising)},
                                  {TScopePanelText::tr("fallend"), static_cast<int>(TTriggerSlope::Falling)}});
    SourceChooser = Chooser(this, {{TScopePanelText::tr("von A"), static_cast<int>(TTriggerSource::A)},
                                   {TScopePanelText::tr("von B"), static_cast<int>(TTriggerSource::B)}});
    PositionBox = new QDoubleSpinBox(this);
    PositionBox->setRange(0, 100);
    PositionBox->setDecimals(1);
    PositionBox->setSuffix(TScopePanelText::tr(" % vorher"));
    PositionBox->setToolTip(TScopePanelText::tr("Triggerposition: Anteil des Bildes vor dem Trigger"));
    SweepChooser = Chooser(this, {{TScopePanelText::tr("Auto"), static_cast<int>(TSweepMode::Auto)},
                                  {TScopePanelText::tr("Normal"), static_cast<int>(TSweepMode::Normal)},
                                  {TScopePanelText::tr("Einzeln"), static_cast<int>(TSweepMode::Single)}});
    RearmButton = new QPushButton(TScopePanelText::tr("Neu scharf schalten"), this);
    for (QWidget* control : {static_cast<QWidget*>(TriggerChooser), static_cast<QWidget*>(LevelBox),
                             static_cast<QWidget*>(SlopeChooser), static_cast<QWidget*>(SourceChooser),
                             static_cast<QWidget*>(PositionBox), static_cast<QWidget*>(SweepChooser),
                             static_cast<QWidget*>(RearmButton)})
        row->addWidget(control);
    for (QComboBox* chooser : {TriggerChooser, SlopeChooser, SourceChooser, SweepChooser})
        connect(chooser, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
    connect(LevelBox, &QDoubleSpinBox::valueChanged, this, [this] { Apply(); });
    connect(PositionBox, &QDoubleSpinBox::valueChanged, this, [this] { Apply(); });
    connect(RearmButton, &QPushButton::clicked, this, [this] { FInstrument.Scope.Rearm(); });
}

void TScopePanel::CreateDivisionControls() {
    auto* row = static_cast<QHBoxLayout*>(layout());
    TimeChooser = new QComboBox(this);
    TimeChooser->addItem(TScopePanelText::tr("Zeitbasis wie gespeichert"), 0.0);
    for (double ms : MsPerDivisionSteps) TimeChooser->addItem(TScopePanelText::tr("%1 ms/Div").arg(ms), ms);
    for (double ms : RollMsPerDivisionSteps) {
        TimeChooser->addItem(ms < 1000 ? TScopePanelText::tr("Rollen %1 ms/Div").arg(ms)
                                       : TScopePanelText::tr("Rollen %1 s/Div").arg(ms / 1000),
                             ms);
        TimeChooser->setItemData(TimeChooser->count() - 1, true, RollRole);
    }
    SetHistory(nullptr);
    AmplitudeChooser = new QComboBox(this);
    row->addWidget(TimeChooser);
    row->addWidget(AmplitudeChooser);
    SetCalibration({});
    connect(TimeChooser, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
    connect(AmplitudeChooser, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
}

void TScopePanel::SetCalibration(const TCalibration& calibration) {
    FCalibration = calibration;
    ShowCursorValues();
    // A new list starts at the automatic range: the instrument hears of it
    // only when that is a change.
    const bool wasSet = AmplitudeChooser->currentData().toDouble() > 0.0;
    const QSignalBlocker quiet(AmplitudeChooser);
    AmplitudeChooser->clear();
    AmplitudeChooser->addItem(TScopePanelText::tr("Amplitude automatisch"), 0.0);
    if (ShowsVolts(calibration)) {
        for (double volts : VoltsPerDivisionSteps) {
            const double percent = PercentOfVolts(calibration, volts);
            if (percent >= LeastPercentPerDivision && percent <= MostPercentPerDivision)
                AmplitudeChooser->addItem(TScopePanelText::tr("%1 V/Div").arg(volts), percent);
        }
    } else {
        for (double percent : PercentPerDivisionSteps) AmplitudeChooser->addItem(TScopePanelText::tr("%1 %/Div").arg(percent), percent);
    }
    if (wasSet) Apply();
}

void TScopePanel::SetHistory(const TSoundHistory* history) {
    FRoll.SetHistory(history);
    const auto* items = static_cast<QStandardItemModel*>(TimeChooser->model());
    const QString why = history != nullptr ? QString() : TScopePanelText::tr(
        "Rollen braucht den Verlauf der letzten Minuten; er wird nur in der Analyseansicht gehalten.");
    for (int i = 0; i < TimeChooser->count(); ++i) {
        if (!TimeChooser->itemData(i, RollRole).toBool()) continue;
        items->item(i)->setEnabled(history != nullptr);
        items->item(i)->setToolTip(why);
    }
    if (history == nullptr && RollMsPerDivision() > 0.0) TimeChooser->setCurrentIndex(0);
}

double TScopePanel::RollMsPerDivision() const {
    return TimeChooser->currentData(RollRole).toBool() ? TimeChooser->currentData().toDouble() : 0.0;
}

TScopeSettings TScopePanel::Settings() const {
    TScopeSettings s;
    s.Trigger = ChosenOf<TTriggerMode>(TriggerChooser);
    s.LevelPercent = LevelBox->value();
    s.Slope = ChosenOf<TTriggerSlope>(SlopeChooser);
    s.Source = ChosenOf<TTriggerSource>(SourceChooser);
    s.PositionPercent = PositionBox->value();
    s.Sweep = ChosenOf<TSweepMode>(SweepChooser);
    // A roll time base leaves the sweep at the stored time bases.
    s.MsPerDivision = RollMsPerDivision() > 0.0 ? 0.0 : TimeChooser->currentData().toDouble();
    s.PercentPerDivision = AmplitudeChooser->currentData().toDouble();
    return s;
}

void TScopePanel::SetSettings(const TScopeSettings& s) {
    const auto choose = [](QComboBox* chooser, QVariant value) {
        if (const int index = chooser->findData(value); index >= 0) chooser->setCurrentIndex(index);
    };
    choose(TriggerChooser, static_cast<int>(s.Trigger));
    LevelBox->setValue(s.LevelPercent);
    choose(SlopeChooser, static_cast<int>(s.Slope));
    choose(SourceChooser, static_cast<int>(s.Source));
    PositionBox->setValue(s.PositionPercent);
    choose(SweepChooser, static_cast<int>(s.Sweep));
    choose(TimeChooser, s.MsPerDivision);
    choose(AmplitudeChooser, s.PercentPerDivision);
}

void TScopePanel::Apply() {
    const TScopeSettings s = Settings();
    const bool edge = s.Trigger == TTriggerMode::Edge;
    for (QWidget* edgeControl : {static_cast<QWidget*>(LevelBox), static_cast<QWidget*>(SlopeChooser),
                                 static_cast<QWidget*>(SourceChooser)})
        edgeControl->setEnabled(edge);
    RearmButton->setEnabled(s.Sweep == TSweepMode::Single);
    // The X-Y picture has no time axis to roll along.
    const bool rolling = FInView && !XYBox->isChecked() && RollMsPerDivision() > 0.0;
    if (FInView && edge && !rolling) {
        FLiveTimer->start();
    } else {
        FLiveTimer->stop();
        FInstrument.Scope.SetLive(false);
    }
    if (!FInView) return;
    FInstrument.SetScope(s);
    FInstrument.Scope.SetXY(XYBox->isChecked(), FInstrument.FastTimeBase());
    FInstrument.Scope.SetChannelVisible(TChannel::A, ChannelA->isChecked());
    FInstrument.Scope.SetChannelVisible(TChannel::B, ChannelB->isChecked());
    FRoll.SetMsPerDivision(rolling ? RollMsPerDivision() : 0.0);
}

void TScopePanel::FollowLive() {
    const TSampleTap* tap = FTap();
    if (tap == nullptr) {
        FInstrument.Scope.SetLive(false);
        return;
    }
    const std::uint64_t end = tap->Written();
    if (end == FLiveEnd) return;
    const bool channelB = tap->Channels() == 2;
    constexpr std::size_t frames = 2 * FftFrameLength;
    TScopeTrace& scope = FInstrument.Scope;
    // A copy the capture overtook is skipped; the next one will do.
    if (!tap->Latest(0, scope.LiveWindow(TChannel::A), frames, end)) return;
    if (channelB && !tap->Latest(1, scope.LiveWindow(TChannel::B), frames, end)) return;
    FLiveEnd = end;
    scope.SetLive(true);
    FInstrument.DrawLiveTrace(channelB);
}

void TScopePanel::Show(bool inView) {
    FInView = inView;
    Apply();
    ShowCursors();
    if (inView) return;
    FRoll.SetMsPerDivision(0.0);
    FInstrument.Scope.SetXY(false, FInstrument.FastTimeBase());
    FInstrument.SetScope({});
    FInstrument.Scope.SetChannelVisible(TChannel::A, true);
    FInstrument.Scope.SetChannelVisible(TChannel::B, true);
}

}  // namespace wellenschau
