#include "CalibrationDialog.h"

#include "MeasurementText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace wellenschau {

namespace {

// What an uncalibrated device starts from: a usual measurement microphone
// on a usual interface, and a line level of 1 V.
constexpr double FirstFullScaleSpl = 120.0;
constexpr double FirstFullScaleVolts = 1.0;
constexpr double CalibratorDefaultSpl = 94.0;
// Beyond any microphone: a tone measured this far below full scale is
// not the calibrator's.
constexpr double MostFullScaleSpl = 250.0;

// The translation context of this file's texts.
struct TCalibrationDialogText {
    Q_DECLARE_TR_FUNCTIONS(TCalibrationDialogText)
};

QString UnitText(TLevelUnit unit) { return QString::fromUtf8(UnitName(unit)); }

}  // namespace

TCalibrationDialog::TCalibrationDialog(const QString& deviceName, const TCalibration& current,
                                       std::function<double()> measuredLevel, QWidget* parent)
    : QDialog(parent),
      FMeasuredLevel(std::move(measuredLevel)),
      FSpl(current.Unit == TLevelUnit::DbSpl ? current.FullScaleSpl : FirstFullScaleSpl),
      FVolts(current.Calibrated() && current.Unit != TLevelUnit::DbSpl ? current.FullScaleVolts : FirstFullScaleVolts) {
    setWindowTitle(TCalibrationDialogText::tr("Kalibrierung"));
    Unit = new QComboBox(this);
    for (const TLevelUnit unit : {TLevelUnit::DbSpl, TLevelUnit::DbV, TLevelUnit::DbU, TLevelUnit::Volts})
        Unit->addItem(UnitText(unit), static_cast<int>(unit));
    Unit->setCurrentIndex(std::max(0, Unit->findData(static_cast<int>(current.Unit))));
    FullScale = new QDoubleSpinBox(this);
    auto* form = new QFormLayout;
    form->addRow(TCalibrationDialogText::tr("Eingang:"), new QLabel(deviceName, this));
    form->addRow(TCalibrationDialogText::tr("Einheit:"), Unit);
    form->addRow(TCalibrationDialogText::tr("Ein Sinus mit Vollaussteuerung entspricht:"), FullScale);

    auto* calibrator = new QGroupBox(TCalibrationDialogText::tr("Mit Schallpegelkalibrator"), this);
    CalibratorLevel = new QDoubleSpinBox(calibrator);
    CalibratorLevel->setRange(0.0, 200.0);
    CalibratorLevel->setDecimals(1);
    CalibratorLevel->setValue(CalibratorDefaultSpl);
    CalibratorLevel->setSuffix(" " + UnitText(TLevelUnit::DbSpl));
    MeasureCalibrator = new QPushButton(TCalibrationDialogText::tr("Kalibratorton messen"), calibrator);
    auto* calibratorLayout = new QFormLayout(calibrator);
    calibratorLayout->addRow(
        new QLabel(TCalibrationDialogText::tr("Kalibrator auf das Mikrofon setzen und einschalten, seinen Pegel "
                                              "eintragen, dann messen."),
                   calibrator));
    calibratorLayout->addRow(TCalibrationDialogText::tr("Pegel des Kalibrators:"), CalibratorLevel);
    calibratorLayout->addRow(MeasureCalibrator);
    Message = new QLabel(this);
    Message->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(TCalibrationDialogText::tr("Übernehmen"));
    buttons->button(QDialogButtonBox::Cancel)->setText(TCalibrationDialogText::tr("Abbrechen"));
    RemoveCalibration =
        buttons->addButton(TCalibrationDialogText::tr("Kalibrierung entfernen"), QDialogButtonBox::DestructiveRole);
    RemoveCalibration->setEnabled(current.Calibrated());

    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(calibrator);
    column->addWidget(Message);
    column->addWidget(buttons);

    FShowingSpl = ShowsSpl();
    SetUpFullScale();
    QObject::connect(Unit, &QComboBox::currentIndexChanged, this, [this] { ShowUnit(); });
    QObject::connect(MeasureCalibrator, &QPushButton::clicked, this, [this] { TakeCalibratorTone(); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QObject::connect(RemoveCalibration, &QPushButton::clicked, this, [this] {
        FRemoved = true;
        accept();
    });
}

bool TCalibrationDialog::ShowsSpl() const {
    return static_cast<TLevelUnit>(Unit->currentData().toInt()) == TLevelUnit::DbSpl;
}

void TCalibrationDialog::ShowUnit() {
    if (ShowsSpl() == FShowingSpl) return;
    (FShowingSpl ? FSpl : FVolts) = FullScale->value();
    FShowingSpl = ShowsSpl();
    SetUpFullScale();
}

void TCalibrationDialog::SetUpFullScale() {
    if (FShowingSpl) {
        FullScale->setDecimals(1);
        FullScale->setRange(0.0, MostFullScaleSpl);
        FullScale->setSuffix(" " + UnitText(TLevelUnit::DbSpl));
    } else {
        FullScale->setDecimals(4);
        FullScale->setRange(0.0001, 1000.0);
        FullScale->setSuffix(TCalibrationDialogText::tr(" V (RMS)"));
    }
    FullScale->setValue(FShowingSpl ? FSpl : FVolts);
}

void TCalibrationDialog::TakeCalibratorTone() {
    const double measured = FMeasuredLevel();
    if (!std::isfinite(measured)) {
        Message->setText(TCalibrationDialogText::tr(
            "Am Eingang ist kein Ton: Kalibrator einschalten, die Aufnahme starten und erneut messen."));
        return;
    }
    const TCalibration calibration = TCalibration::FromCalibrator(measured, CalibratorLevel->value());
    if (calibration.FullScaleSpl > MostFullScaleSpl) {
        Message->setText(TCalibrationDialogText::tr(
                             "Der Ton ist mit %1 dBFS zu leise für einen Kalibrator: Eingang und Kalibrator prüfen.")
                             .arg(ReadoutNumbers().toString(measured, 'f', 1)));
        return;
    }
    Unit->setCurrentIndex(Unit->findData(static_cast<int>(TLevelUnit::DbSpl)));
    FullScale->setValue(calibration.FullScaleSpl);
    Message->setText(TCalibrationDialogText::tr("Gemessen: %1 dBFS, also entspricht Vollaussteuerung %2 dB SPL.")
                         .arg(ReadoutNumbers().toString(measured, 'f', 1),
                              ReadoutNumbers().toString(calibration.FullScaleSpl, 'f', 1)));
}

TCalibration TCalibrationDialog::Result() const {
    if (FRemoved) return {};
    TCalibration calibration;
    calibration.Unit = static_cast<TLevelUnit>(Unit->currentData().toInt());
    (ShowsSpl() ? calibration.FullScaleSpl : calibration.FullScaleVolts) = FullScale->value();
    return calibration;
}

}  // namespace wellenschau
