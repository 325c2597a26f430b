// TScopeRoll: the oscilloscope's roll mode for slow signals (RollTrace.h)
// on the instrument's oscilloscope. While it rolls, buffers no longer draw
// the trace; 40 times a second, when the kept history has grown (or the
// moment to show has changed), the last ten divisions of it up to the
// newest buffer (or the moment's buffer) are drawn, channel A and, with
// two channels, B, newest at the right, so the trace scrolls from right to
// left. The time axis shows the roll time base and the amplitude axis full
// scale unless an amplitude per division is set; stopping gives both axes
// back as they were. User-interface thread only.
#pragma once

#include <QTimer>

#include <cstdint>
#include <optional>

namespace wellenschau {

class TInstrument;
class TSoundHistory;

class TScopeRoll {
public:
    explicit TScopeRoll(TInstrument& instrument);

    // The history to roll through, which must outlive this object, or
    // nullptr: none (rolling stops).
    void SetHistory(const TSoundHistory* history);
    const TSoundHistory* History() const { return FHistory; }
    // Rolls at msPerDivision, or stops at 0.
    void SetMsPerDivision(double msPerDivision);
    bool Rolling() const { return FMsPerDivision > 0.0; }
    // Rolls on another instrument's oscilloscope (the one shown: a held
    // moment's), giving the previous one its own trace back.
    void SetInstrument(TInstrument& instrument);
    // The buffer whose end is at the right edge: a kept moment, or the
    // newest buffer (nullopt).
    void ShowMoment(std::optional<std::int64_t> buffer);
    // Draws the trace now (the timer does, when something has changed).
    void Draw();

private:
    // Draws when the history or the moment has changed since the last trace.
    void Follow();

    TInstrument* FInstrument;
    const TSoundHistory* FHistory = nullptr;
    double FMsPerDivision = 0.0;
    std::optional<std::int64_t> FMoment;
    QTimer FTimer;
    // The buffer at the right edge of the last trace; -1 before one.
    std::int64_t FDrawnNewest = -1;
    // The amplitude axis' range before rolling.
    double FAmplitudeMinimum = 0.0;
    double FAmplitudeMaximum = 0.0;
};

}  // namespace wellenschau
