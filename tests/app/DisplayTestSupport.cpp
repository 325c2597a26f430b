#include "DisplayTestSupport.h"

#include "analysis/AnalysisState.h"

#include <memory>

namespace wellenschau::test {

namespace {

// The labels of a fresh analysis state, as the window's start-up adds them.
void FillLabels(TFastLineSeries& carrier, TCarrierY y) {
    const auto analysis = std::make_unique<AnalysisState>();
    FillLabelCarrier(carrier, *analysis, y);
}

}  // namespace

TChart1::TChart1() {
    ConfigureChart1(Chart, SRight, SLeft, SxAchse);
    Chart.SetBackColor(clBlack);
    FillLabels(SxAchse, TCarrierY::Zero);
}

TChart2::TChart2(int width, int height) {
    ConfigureChart2(Chart, FastLineSeries2, FastLineSeries1);
    Chart.SetSize(width, height);
    Chart.SetBackColor(OscilloscopeBackColor);
}

TChart3::TChart3() {
    ConfigureChart3(Chart, SyAchse, Series1);
    FillLabels(SyAchse, TCarrierY::Frequency);
}

}  // namespace wellenschau::test
