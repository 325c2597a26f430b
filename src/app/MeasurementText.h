// How the window and the export write measurements as text. Values that a
// buffer does not have (the level and tone of digital silence) show as
// "–" in the window and as empty fields in CSV files.
#pragma once

#include "analysis/Calibration.h"
#include "analysis/Distortion.h"
#include "analysis/Measurements.h"
#include "analysis/SecondChannel.h"
#include "analysis/Weighting.h"

#include <QLocale>
#include <QString>

namespace wellenschau {

// Numbers in a readout: the system's decimal mark, no group separators.
QLocale ReadoutNumbers();

// The nearest note in international spelling with its octave (A4 =
// 440 Hz, C4 the middle C) and the distance in cents: "A4 +3 ct".
QString NoteText(double hz);

// Which side of a figure that is only a bound the true value lies on:
// distortion and noise figures are at most it, SNR, SINAD and ENOB at least.
enum class TBoundSide : std::uint8_t { AtMost, AtLeast };

// "<" or ">" before a figure that is only a bound; empty for a measured one.
QString BoundMark(const TFigure& figure, TBoundSide side);

// The harmonics' levels relative to the fundamental: "H2 -40.0 dBc   H3
// <-92.1 dBc ..."; "–" without a tone.
QString HarmonicsText(const std::optional<TDistortion>& distortion);

// A level in dB re full scale in the calibration's unit: "-20.0 dBFS",
// "74.0 dB SPL", "0.1000 V" (four significant digits); "–" for silence.
QString LevelText(double dbFullScale, const TCalibration& calibration);

// The frequency-weighted Fast level the readout shows while the sound
// level is measured, in dB re full scale.
struct TSoundLevelReading {
    TWeighting Weighting = TWeighting::A;
    double DbFullScale = 0;
};

// How the readout states levels: in the calibration's unit (dBFS without
// one), and with the weighted level when it is measured.
struct TReadoutLevels {
    TCalibration Calibration;
    std::optional<TSoundLevelReading> SoundLevel;
};

// "LAF", "LCF", "LZF": the symbol of a weighted Fast level.
QString FastLevelSymbol(TWeighting weighting);

// The readout line: dominant frequency and note, tone level, RMS level and
// peak, the weighted Fast level when measured, THD, THD+N and SNR where
// there is a tone, with the decimal mark of the system's locale, and the
// buffers the display skipped while the window was busy, if any.
QString ReadoutText(const TMeasurements& measurements, const std::optional<TDistortion>& distortion,
                    int skippedBuffers, const TReadoutLevels& levels = {});

// Channel B's readout line: its measurements as ReadoutText states them
// (levels in the calibration), then the phase of B relative to A at A's
// dominant frequency: "Kanal B: Frequenz ...   Phase B−A 90.0 °".
QString ChannelBReadoutText(const TChannelBFigures& figures, const TCalibration& calibration);

}  // namespace wellenschau
