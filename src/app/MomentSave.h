// Saving a moment of the kept history: the samples of a span of buffers as
// a WAV file, and over that file the file set of --export, made by the very
// code of --export, so that the saved set is what the export of the saved
// sound gives. User-interface thread only.
#pragma once

#include "CommandLine.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace wellenschau {

class TForm1;
class TSoundHistory;

// The name of the moment's WAV file beside the export's files.
inline constexpr char MomentWavName[] = "moment.wav";

// Writes buffers first .. last (both kept, first <= last) of `history` into
// `folder`, made if need be: their samples as moment.wav (16-bit, 44100 Hz,
// the history's channels, the buffers one after the other) and the export's
// files over it, with the export settings of `settings` (palette, check
// boxes, trigger, distortion and sound level files; its input, folder,
// channels, recording and buffer count are the moment's). Replaces nothing:
// a folder that already holds one of these files, a span that is not kept,
// a folder that cannot be made, a full disk: EWellenschauError saying that
// the moment was not saved and why, and no file of the moment is left
// behind. Runs the export's
// event loop; the user's input waits meanwhile.
void SaveMoment(const TSoundHistory& history, std::int64_t first, std::int64_t last, const TOptions& settings,
                const QString& folder);

// The export settings the window has, as options: palette, "3x
// schneller", "Auto-Skala", peak display, the oscilloscope's trigger and
// time base, the distortion files of Ctrl+S, and the sound level files in
// the instrument's calibration while its meter is on.
TOptions WindowExportSettings(TForm1& form);

// The caption of the control that saves a moment.
QString SaveMomentCaption();

// Asks for the folder (a dialog over `parent`) and saves the moment there;
// nothing when the user cancels. Errors reach the application's error
// handler like those of any other control.
void AskAndSaveMoment(QWidget* parent, const TSoundHistory& history, std::int64_t first, std::int64_t last,
                      const TOptions& settings);

}  // namespace wellenschau
