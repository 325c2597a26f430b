// The analyser view's sound level: the band chart follows its choosers and
// shows the instrument's levels, the calibration dialog stores, loads per
// device and removes a calibration, and the readout states levels in the
// calibrated unit; the plain window measures nothing of it.
#include "AppTestSupport.h"
#include "app/AnalyserView.h"
#include "app/BandPanel.h"
#include "app/CalibrationDialog.h"
#include "app/CalibrationStore.h"
#include "app/ReadoutLine.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

const QString Microphone = "Messmikrofon (USB) hw:1,0";
const QString Interface = "Line/Interface: 1+2";

// Chooses the entry of a chooser whose data is value.
template <typename T>
void Choose(QComboBox* chooser, T value) {
    const int index = chooser->findData(static_cast<int>(value));
    ASSERT_GE(index, 0);
    chooser->setCurrentIndex(index);
}

class SoundLevelViewTest : public ::testing::Test {
protected:
    SoundLevelViewTest() {
        W.Device.SetDeviceCount(2);
        Form().SetInputDevices({{0, Microphone.toStdString(), "", true, false, 0}, {1, Interface.toStdString(), "", false, false, 0}});
        Form().show();
        Form().StartButton->click();
        Form().SetAnalyserView(true);
        RunPostedEvents();
    }
    ~SoundLevelViewTest() override {
        for (const QString& device : {Microphone, Interface}) SaveCalibration(device, {});
    }
    TForm1& Form() { return *W.Form; }
    TAnalyserView& View() { return Form().Analyser(); }
    TBandPanel& Bands() { return View().Bands(); }
    const TSoundLevelMeter& Meter() { return Form().Instrument().SoundLevel(); }
    // Buffers of a 1 kHz sine of `amplitude` times full scale, phase kept.
    void RecordTone(double amplitude, int buffers) {
        for (int b = 0; b < buffers; ++b) {
            TSamples samples(4096);
            for (std::int16_t& sample : samples)
                sample = static_cast<std::int16_t>(
                    std::lround(amplitude * 32767 * std::sin(2 * std::numbers::pi * 1000 * FSample++ / 44100.0)));
            ASSERT_TRUE(W.Record(samples));
        }
    }
    // Calibrates the chosen device through the dialog.
    void Calibrate(TLevelUnit unit, double fullScale) {
        TCalibrationDialog* dialog = View().OpenCalibrationDialog();
        Choose(dialog->Unit, unit);
        dialog->FullScale->setValue(fullScale);
        dialog->accept();
        RunPostedEvents();
    }

    TWindowOnSimulatedDevice W;
    long FSample = 0;
};

TEST_F(SoundLevelViewTest, TheBandChartShowsTheChosenLevelsOfTheInstrument) {
    RecordTone(0.5, 12);
    for (const TBandSet set : {TBandSet::Octave, TBandSet::ThirdOctave})
        for (const TWeighting weighting : {TWeighting::A, TWeighting::C, TWeighting::Z})
            for (const TLevelTime time : {TLevelTime::Fast, TLevelTime::Slow, TLevelTime::Leq}) {
                Choose(Bands().BandSetChooser, set);
                Choose(Bands().WeightingChooser, weighting);
                Choose(Bands().TimeChooser, time);
                const TBarSeries& bars = Bands().Bars;
                ASSERT_EQ(bars.PointCount(), BandCount(set));
                int loudest = 0;
                for (int band = 0; band < BandCount(set); ++band) {
                    EXPECT_EQ(bars.Label(band), QString::fromLatin1(BandName(set, band)));
                    EXPECT_EQ(bars.YValue(band), Meter().BandLevel(set, band, weighting, time)) << band;
                    if (bars.YValue(band) > bars.YValue(loudest)) loudest = band;
                }
                // The tone's band stands out.
                EXPECT_EQ(bars.Label(loudest), "1000");
            }
    // The chart draws the tone's bar with the bands' names below the bars.
    TChart& chart = Bands().Chart;
    chart.Paint();
    const int tone = 16;  // the third octave of 1 kHz
    ASSERT_EQ(Bands().Bars.Label(tone), "1000");
    const std::optional<TRect> bar = Bands().Bars.BarBounds(tone);
    ASSERT_TRUE(bar);
    EXPECT_LT(bar->Top, chart.PlotRect().Top + chart.PlotHeight() / 10);
    const std::vector<TAxisLabel>& labels = chart.BottomAxis().DrawnLabels();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front().Text, "25");
    EXPECT_EQ(chart.LeftAxis().Title().Caption(), "Pegel (dBFS)");
}

TEST_F(SoundLevelViewTest, OnlyTheViewMeasuresTheSoundLevel) {
    RecordTone(0.5, 4);
    const double leq = Meter().Level(TWeighting::Z, TLevelTime::Leq);
    EXPECT_NEAR(leq, 20 * std::log10(0.5), 0.1);
    Form().SetAnalyserView(false);
    RecordTone(0.05, 4);
    EXPECT_EQ(Meter().Level(TWeighting::Z, TLevelTime::Leq), leq);
}

TEST_F(SoundLevelViewTest, ACalibrationIsStoredPerDeviceLoadedWithItAndRemoved) {
    EXPECT_FALSE(View().Calibration().Calibrated());
    Calibrate(TLevelUnit::DbSpl, 120);
    EXPECT_EQ(View().Calibration().Unit, TLevelUnit::DbSpl);
    EXPECT_EQ(View().Calibration().FullScaleSpl, 120);
    EXPECT_EQ(LoadCalibration(Microphone).FullScaleSpl, 120);
    // What the view saves (Ctrl+S) is in it too; the plain window saves dBFS.
    EXPECT_EQ(Form().Instrument().Calibration().FullScaleSpl, 120);
    Form().SetAnalyserView(false);
    EXPECT_FALSE(Form().Instrument().Calibration().Calibrated());
    Form().SetAnalyserView(true);
    EXPECT_EQ(Form().Instrument().Calibration().FullScaleSpl, 120);
    EXPECT_EQ(Bands().Chart.LeftAxis().Title().Caption(), "Pegel (dB SPL)");
    EXPECT_EQ(Bands().Chart.LeftAxis().Minimum(), 20);
    EXPECT_EQ(Bands().Chart.LeftAxis().Maximum(), 120);

    Form().ChooseInputDevice(1);
    EXPECT_EQ(View().DeviceName(), Interface);
    EXPECT_FALSE(View().Calibration().Calibrated());
    Calibrate(TLevelUnit::Volts, 2.5);
    EXPECT_EQ(Bands().Chart.LeftAxis().Title().Caption(), "Pegel (V)");
    EXPECT_EQ(Bands().Chart.LeftAxis().Minimum(), 0);
    EXPECT_EQ(Bands().Chart.LeftAxis().Maximum(), 2.5);

    Form().ChooseInputDevice(0);
    EXPECT_EQ(View().Calibration().FullScaleSpl, 120);
    // Another window (the program started again) finds it.
    TWindowOnSimulatedDevice other;
    other.Form->SetInputDevices({{0, Microphone.toStdString(), "", true, false, 0}});
    other.Form->SetAnalyserView(true);
    EXPECT_EQ(other.Form->Analyser().Calibration().FullScaleSpl, 120);

    TCalibrationDialog* dialog = View().OpenCalibrationDialog();
    EXPECT_EQ(dialog->FullScale->value(), 120);
    dialog->RemoveCalibration->click();
    RunPostedEvents();
    EXPECT_FALSE(View().Calibration().Calibrated());
    EXPECT_FALSE(LoadCalibration(Microphone).Calibrated());
    EXPECT_EQ(Bands().Chart.LeftAxis().Title().Caption(), "Pegel (dBFS)");
    EXPECT_EQ(LoadCalibration(Interface).FullScaleVolts, 2.5);
}

TEST_F(SoundLevelViewTest, TheCalibratorsToneGivesTheFullScaleLevel) {
    TCalibrationDialog* dialog = View().OpenCalibrationDialog();
    Choose(dialog->Unit, TLevelUnit::DbV);
    // Silence: a message, and the dialog keeps what it has.
    dialog->MeasureCalibrator->click();
    EXPECT_FALSE(dialog->Message->text().isEmpty());
    EXPECT_EQ(dialog->Unit->currentData().toInt(), static_cast<int>(TLevelUnit::DbV));

    RecordTone(0.25, 6);
    dialog->CalibratorLevel->setValue(94);
    dialog->MeasureCalibrator->click();
    const double measured = Meter().Level(TWeighting::Z, TLevelTime::Fast);
    EXPECT_EQ(dialog->Unit->currentData().toInt(), static_cast<int>(TLevelUnit::DbSpl));
    EXPECT_NEAR(dialog->FullScale->value(), 94 - measured, 0.05);
    EXPECT_NEAR(dialog->FullScale->value(), 94 - 20 * std::log10(0.25), 0.15);
    dialog->accept();
    RunPostedEvents();
    EXPECT_NEAR(LoadCalibration(Microphone).FullScaleSpl, 94 - measured, 0.05);
}

TEST_F(SoundLevelViewTest, TheReadoutStatesLevelsInTheCalibratedUnit) {
    Calibrate(TLevelUnit::DbSpl, 100);
    RecordTone(0.1, 4);
    const QString unit = QString(QChar(0x202F)) + "dB SPL";
    for (const auto& [weighting, symbol] :
         {std::pair{TWeighting::A, "LAF"}, {TWeighting::C, "LCF"}, {TWeighting::Z, "LZF"}}) {
        Choose(Bands().WeightingChooser, weighting);
        const QString level = ReadoutNumbers().toString(100 + Meter().Level(weighting, TLevelTime::Fast), 'f', 1);
        const QString text = Form().Readout()->text();
        EXPECT_TRUE(text.contains(QString("   %1 %2%3").arg(symbol, level, unit))) << text.toStdString();
        EXPECT_TRUE(text.contains("RMS 80.0" + unit)) << text.toStdString();
    }
    // The plain window's readout keeps dBFS and shows no weighted level.
    Form().SetAnalyserView(false);
    Form().SetReadoutVisible(true);
    const QString plain = Form().Readout()->text();
    EXPECT_TRUE(plain.contains("RMS -20.0" + QString(QChar(0x202F)) + "dBFS")) << plain.toStdString();
    EXPECT_FALSE(plain.contains("LZF"));
}

TEST(CalibrationDialogTest, EachKindOfUnitKeepsItsOwnValue) {
    TCalibration volts;
    volts.Unit = TLevelUnit::DbU;
    volts.FullScaleVolts = 1.228;
    TCalibrationDialog dialog("Karte", volts, [] { return 0.0; }, nullptr);
    EXPECT_EQ(dialog.FullScale->value(), 1.228);
    EXPECT_TRUE(dialog.RemoveCalibration->isEnabled());
    Choose(dialog.Unit, TLevelUnit::DbSpl);
    EXPECT_EQ(dialog.FullScale->value(), 120);
    dialog.FullScale->setValue(110);
    Choose(dialog.Unit, TLevelUnit::Volts);
    EXPECT_EQ(dialog.FullScale->value(), 1.228);
    EXPECT_EQ(dialog.Result().Unit, TLevelUnit::Volts);
    EXPECT_EQ(dialog.Result().FullScaleVolts, 1.228);
    Choose(dialog.Unit, TLevelUnit::DbSpl);
    EXPECT_EQ(dialog.Result().FullScaleSpl, 110);
    EXPECT_FALSE(TCalibrationDialog("Karte", {}, [] { return 0.0; }, nullptr).RemoveCalibration->isEnabled());
}

// What a damaged or foreign entry in the settings reads as: no calibration.
TEST(CalibrationStoreTest, ADamagedEntryReadsAsNone) {
    struct TRow {
        const char* Unit;
        QVariant FullScale;
    };
    const TRow rows[] = {{"Pa", 1.0}, {"dB SPL", "viel"}, {"V", -1.0}, {"dBV", 0.0}, {"dB SPL", "inf"}, {"", 1.0}};
    const QString device = "Kaputt";
    SaveCalibration(device, TCalibration{TLevelUnit::DbV, 0, 1.0});
    const auto storedDevices = [] {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Wellenschau", "Wellenschau");
        settings.beginGroup("Kalibrierung");
        return settings.childGroups();
    };
    ASSERT_EQ(storedDevices().size(), 1);
    const QString group = "Kalibrierung/" + storedDevices().front();
    for (const TRow& row : rows) {
        {
            QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Wellenschau", "Wellenschau");
            settings.beginGroup(group);
            settings.setValue("Einheit", row.Unit);
            settings.setValue("Vollaussteuerung", row.FullScale);
        }
        EXPECT_FALSE(LoadCalibration(device).Calibrated()) << row.Unit << " " << row.FullScale.toString().toStdString();
    }
    SaveCalibration(device, {});
    EXPECT_TRUE(storedDevices().isEmpty());
}

}  // namespace
