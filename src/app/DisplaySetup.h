// The display set-up of the program's three charts: placements, German
// axis titles, series names, colours and fixed ranges as the main window
// holds them. Each Configure function configures a chart and the caller's
// series (attaching them in the stored order) as loading the window would;
// it leaves the back walls transparent. The window's start-up then writes
// BackColor on Chart1 and Chart2 (which makes their walls solid) and fills
// the label carriers SxAchse and SyAchse (FillLabelCarrier). The window,
// the headless export and the chart picture tool all use these functions.
// UI thread only.
#pragma once

#include "chart/Chart.h"
#include "chart/FastLineSeries.h"

#include <QRect>

namespace wellenschau {

struct AnalysisState;

// Placement of the charts in the window's client area. Chart2 fills the
// area below the tool bar and takes its size from the window.
inline const QRect Chart1Bounds(0, 30, 429, 345);
inline const QRect Chart3Bounds(434, 29, 360, 346);
// The spectrogram picture inside Chart3's plot, the legend beside Chart1's.
inline const QRect Image1Bounds(46, 11, 304, 300);
inline const QRect Image2Bounds(422, 9, 7, 302);
// The black 1-pixel marks of the stored layout, on Chart2 and on Chart3.
inline constexpr QPoint OscilloscopeMark(785, 145);
inline constexpr QPoint SpectrogramMark(350, 311);

// Colours of the stored layout, $BBGGRR.
inline constexpr TColor LabelCarrierColor = 0x1F1F1F;
inline constexpr TColor LiveTraceColor = 0x00FF80;
inline constexpr TColor OscilloscopeBackColor = 0x004000;
inline constexpr TColor AmplitudeGridColor = 0x408000;

// Spectrum: snapshot SRight, live spectrum SLeft, label carrier SxAchse.
void ConfigureChart1(TChart& chart, TFastLineSeries& SRight, TFastLineSeries& SLeft, TFastLineSeries& SxAchse);
// Oscilloscope: snapshot FastLineSeries2 under the live trace FastLineSeries1.
void ConfigureChart2(TChart& chart, TFastLineSeries& FastLineSeries2, TFastLineSeries& FastLineSeries1);
// Spectrogram: label carrier SyAchse and the always empty Series1.
void ConfigureChart3(TChart& chart, TFastLineSeries& SyAchse, TFastLineSeries& Series1);

// Attaches a mark of a harmonic to the spectrum, above its other series:
// a vertical line at the harmonic's frequency (MarkHarmonic).
void AttachHarmonicMark(TChart& spectrum, TFastLineSeries& mark);
// Puts the mark at a frequency across the whole level range.
void MarkHarmonic(TFastLineSeries& mark, double hz);

// Attaches a further series to the oscilloscope, above the others, on its
// time and amplitude axes.
void AttachOscilloscopeSeries(TChart& oscilloscope, TFastLineSeries& series, TColor color);

// Where a label carrier puts its points across its frequency axis: SxAchse
// lies on the bottom axis at Y = 0, SyAchse on the left axis at Y = frequency.
enum class TCarrierY : std::uint8_t { Zero, Frequency };

// Replaces the carrier's points by the analysis' LabelCount frequency
// labels, X = frequency, labelled with their texts.
void FillLabelCarrier(TFastLineSeries& carrier, const AnalysisState& analysis, TCarrierY y);

// The oscilloscope's time axis (ms): 0 .. 40.8 labelled every 2 ms, or three
// times faster, 0 .. 13.6 every 0.5 ms. Writes Maximum, then Increment.
void SetOscilloscopeTimeBase(TChart& oscilloscope, bool fast);

}  // namespace wellenschau
