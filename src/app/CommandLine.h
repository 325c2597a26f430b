// The program's command line. Without options the program is the plain
// oscilloscope window; every option is opt-in. Parsing needs no
// application object, so that the program can choose its platform (a
// window, or none at all) before it makes one.
#pragma once

#include "analysis/Calibration.h"
#include "analysis/Sweep.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace wellenschau {

struct TOptions {
    QString InputFile;   // --input: play a sound file instead of a sound card
    bool ListDevices = false;
    std::optional<QString> Device;  // --device: input device number or name
    QString ExportDir;          // --export: headless analysis of InputFile
    std::optional<int> Buffers;  // --buffers: stop the export after N buffers
    QString Palette;             // --palette: spectrogram palette name
    bool Fast = false;           // --fast: "3x schneller"
    bool NoAutoScale = false;    // --no-auto-scale: "Auto-Skala" off
    bool PeakHold = false;       // --peak-hold: peak display on
    int Channels = 1;            // --channels: 2 records left as A, right as B
    QString RecordFile;          // --record: every sample into a new WAV file
    bool Overwrite = false;      // --overwrite: --record may replace an existing file
    bool Analyser = false;       // --analyser: start in the analyser view
    bool Measurements = false;   // --measurements: show the readout line
    // --history: minutes the analyser view keeps (its default without)
    std::optional<double> HistoryMinutes;
    bool Distortion = false;     // --distortion: distortion figures in exported files
    bool SoundLevel = false;     // --sound-level: sound levels in exported files
    // --spl-at-full-scale, --volts-at-full-scale: the exported levels'
    // unit (each implies SoundLevel)
    TCalibration Calibration;
    // --trigger, --trigger-level, --trigger-slope, --trigger-source,
    // --trigger-position: the oscilloscope's trigger (the plain trace
    // without them)
    TScopeSettings Scope;

    // Runs without a window: no display is needed.
    bool Headless() const { return ListDevices || !ExportDir.isEmpty(); }
};

// What parsing gives: the options, or a text to print and the exit status
// (help and version go to standard output with status 0, errors to
// standard error with status 2).
struct TCommandLine {
    std::optional<TOptions> Options;
    QString Text;
    int ExitStatus = 0;
};

// Parses the program's arguments (the first is the program's name) and
// checks them against each other.
TCommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace wellenschau
