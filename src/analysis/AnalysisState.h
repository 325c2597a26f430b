// The analysis state: the variables and tables that the window's handlers
// and the per-buffer analysis share for the whole life of the process, and
// the one-time set-up that fills the look-up tables. Everything here is
// used on the user-interface thread only.
#pragma once

#include "core/FixedArray.h"

#include <cstdint>
#include <string>

namespace wellenschau {

// Samples per FFT frame (one 8192-byte capture buffer of 16-bit samples).
inline constexpr int FftFrameLength = 4096;
// FFT bins that carry the spectrum: 0 .. FftFrameLength / 2 - 1.
inline constexpr int BinsUsed = 2048;
// Bin j lies at ln(j + 1) / ln(BinsUsed) * LogPositionScale on the log scale.
inline constexpr double LogPositionScale = 300.0;
// Level given to rows before any bin has been seen, and to silent bins.
inline constexpr double LevelFloor = -1000.0;

// Table sizes: FFT and row tables, pixel-row tables of the pictures.
inline constexpr std::size_t FftTableSize = 4097;
inline constexpr std::size_t PixelTableSize = 1025;
inline constexpr std::size_t LabelCount = 28;

using TFftTable = TFixedArray<double, FftTableSize>;

struct AnalysisState {
    double SampleRate = 44100.0;
    double NyquistFrequency = 0.0;  // SampleRate / 2
    double BinWidth = 0.0;          // NyquistFrequency / BinsUsed, in Hz
    // Full range of the automatic amplitude scale, percent of full scale.
    double AmplitudeScale = 100.0;
    // Peak of the snapshot trace (0 when there is none) and of the latest
    // trace, as sample magnitudes.
    std::int32_t StoredPeak = 0;
    std::int32_t LastPeak = 0;

    // Frequencies (Hz) and texts of the frequency-axis labels; an empty
    // text puts a tick without a label.
    TFixedArray<std::int32_t, LabelCount> LabelFrequencies{};
    TFixedArray<std::string, LabelCount> LabelTexts{};

    TFftTable FftRealIn{};
    TFftTable FftImagIn{};
    TFftTable FftRealOut{};
    TFftTable FftImagOut{};
    // Squared magnitude of bins 0 .. n/2 - 1 of the latest transform.
    TFftTable FftPower{};

    // First byte of each pixel row (row 0 at the top) of the spectrogram
    // and legend bitmaps; taken once when the bitmaps are made.
    TFixedArray<std::uint8_t*, PixelTableSize> SpectrogramLines{};
    TFixedArray<std::uint8_t*, PixelTableSize> LegendLines{};

    TFftTable Window{};  // window factor per sample, 0..4095 used
    TFixedArray<std::int32_t, FftTableSize> BinRow{};  // row of FFT bin j
    // For pixel row k counted from the bottom: the nearest spectrum row,
    // which neighbour (-1, +1, 0) is blended in, and the nearest row's weight.
    TFixedArray<std::int32_t, PixelTableSize> PixelRow{};
    TFixedArray<std::int32_t, PixelTableSize> PixelRowStep{};
    TFixedArray<double, PixelTableSize> PixelRowWeight{};
    TFftTable RowFrequency{};  // Hz per row
    TFftTable RowBinCount{};   // bins per row
    TFftTable RowLevel{};      // dB per row for the current buffer
    TFftTable PrevRowLevel{};  // dB per row of the previous buffer
    std::int32_t RowCount = 0;
    TFftTable BackgroundLevel{};
    std::int32_t BackgroundCount = 0;
    bool BackgroundSubtract = false;
    bool BackgroundLearning = false;
    bool PeakHold = false;

    AnalysisState();
};

// Fills the look-up tables in their fixed order: frequencies, window,
// grouping of the bins into rows, mapping of the spectrogram's pixel rows
// (spectrogramHeight of them, at most PixelTableSize) and the start levels
// of the peak display. Run once, before any buffer is analysed.
void SetupAnalysis(AnalysisState& state, int spectrogramHeight);

}  // namespace wellenschau
