#include "ScopeRoll.h"

#include "Instrument.h"
#include "ScopePanel.h"
#include "analysis/RollTrace.h"

#include <algorithm>

namespace wellenschau {

TScopeRoll::TScopeRoll(TInstrument& instrument) : FInstrument(&instrument) {
    FTimer.setTimerType(Qt::PreciseTimer);
    FTimer.setInterval(TScopePanel::LiveIntervalMs);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Follow(); });
}

void TScopeRoll::SetHistory(const TSoundHistory* history) {
    if (history == nullptr) SetMsPerDivision(0.0);
    FHistory = history;
    FDrawnNewest = -1;
}

void TScopeRoll::SetMsPerDivision(double msPerDivision) {
    if (msPerDivision > 0.0 && FHistory == nullptr) msPerDivision = 0.0;
    if (msPerDivision == FMsPerDivision) return;
    TChartAxis& amplitude = FInstrument->Chart2.LeftAxis();
    if (!Rolling()) {
        FAmplitudeMinimum = amplitude.Minimum();
        FAmplitudeMaximum = amplitude.Maximum();
    }
    FMsPerDivision = msPerDivision;
    FInstrument->Scope.SetRolling(Rolling(), FInstrument->FastTimeBase());
    FDrawnNewest = -1;
    if (Rolling()) {
        FTimer.start();
        Draw();
        return;
    }
    FTimer.stop();
    if (FInstrument->Scope.Settings().PercentPerDivision == 0.0) amplitude.SetMinMax(FAmplitudeMinimum, FAmplitudeMaximum);
    FInstrument->FastLineSeries1.ClearPoints();
    FInstrument->Scope.TraceB.ClearPoints();
}

void TScopeRoll::SetInstrument(TInstrument& instrument) {
    if (&instrument == FInstrument) return;
    const double msPerDivision = FMsPerDivision;
    SetMsPerDivision(0.0);  // the old instrument's own trace and axes come back
    FInstrument = &instrument;
    SetMsPerDivision(msPerDivision);
}

void TScopeRoll::ShowMoment(std::optional<std::int64_t> buffer) {
    FMoment = buffer;
    if (Rolling()) Draw();
}

void TScopeRoll::Follow() {
    if (FHistory == nullptr || FHistory->Count() == 0) return;
    if (FMoment.value_or(FHistory->End() - 1) != FDrawnNewest) Draw();
}

void TScopeRoll::Draw() {
    if (!Rolling()) return;
    TChart& chart = FInstrument->Chart2;
    const double screenMs = FMsPerDivision * TimeDivisions;
    chart.BottomAxis().SetMinMax(0.0, screenMs);
    chart.BottomAxis().SetIncrement(FMsPerDivision);
    if (FInstrument->Scope.Settings().PercentPerDivision == 0.0) chart.LeftAxis().SetMinMax(-100.0, 100.0);
    TFastLineSeries& traceA = FInstrument->FastLineSeries1;
    TFastLineSeries& traceB = FInstrument->Scope.TraceB;
    traceA.ClearPoints();
    traceB.ClearPoints();
    const std::int64_t newest = FMoment.value_or(FHistory->End() - 1);
    if (FHistory->Kept(newest)) {
        // The chart's width, known before the first paint lays the plot
        // out: at least a column for every pixel of the plot.
        const TRollSpan span{screenMs, std::max(2, chart.Width())};
        const double rate = FInstrument->Analysis().SampleRate;
        TSeriesSink pointsA(traceA);
        PlotRoll(*FHistory, 0, newest, span, rate, pointsA);
        if (FHistory->Channels() == 2) {
            TSeriesSink pointsB(traceB);
            PlotRoll(*FHistory, 1, newest, span, rate, pointsB);
        }
    }
    FDrawnNewest = newest;
}

}  // namespace wellenschau
