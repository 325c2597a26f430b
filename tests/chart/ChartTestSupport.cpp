#include "ChartTestSupport.h"

#include "analysis/AnalysisState.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace wellenschau::test {

namespace {

// Widgets and fonts need an application object; number labels a fixed locale.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        FApp = std::make_unique<QApplication>(FArgc, FArgv);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { FApp.reset(); }

private:
    int FArgc = 1;
    char FName[16] = "test_chart";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] ::testing::Environment* const Environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void FillLabelCarrier(TFastLineSeries& carrier, bool yIsFrequency) {
    const auto analysis = std::make_unique<AnalysisState>();
    carrier.ClearPoints();
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(LabelCount); ++i) {
        const double frequency = analysis->LabelFrequencies[i];
        carrier.AddPoint(frequency, yIsFrequency ? frequency : 0.0, QString::fromStdString(analysis->LabelTexts[i]));
    }
}

void FillTrace(TFastLineSeries& series, int count) {
    series.ClearPoints();
    for (int i = 0; i < count; ++i) series.AddPoint(i / 44.1, 60.0 * std::sin(i * 0.0627));
}

TChart1::TChart1() {
    ConfigureChart1(Chart, SRight, SLeft, SxAchse);
    Chart.SetBackColor(clBlack);
    FillLabelCarrier(SxAchse, false);
}

TChart2::TChart2(int width, int height) {
    ConfigureChart2(Chart, FastLineSeries2, FastLineSeries1);
    Chart.SetSize(width, height);
    Chart.SetBackColor(OscilloscopeBackColor);
}

TChart3::TChart3() {
    ConfigureChart3(Chart, SyAchse, Series1);
    FillLabelCarrier(SyAchse, true);
}

}  // namespace wellenschau::test
