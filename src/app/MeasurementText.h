// How the window and the export write measurements as text. Values that a
// buffer does not have (the level and tone of digital silence) show as
// "–" in the window and as empty fields in CSV files.
#pragma once

#include "analysis/Measurements.h"

#include <QLocale>
#include <QString>

namespace wellenschau {

// Numbers in a readout: the system's decimal mark, no group separators.
QLocale ReadoutNumbers();

// The nearest note in international spelling with its octave (A4 =
// 440 Hz, C4 the middle C) and the distance in cents: "A4 +3 ct".
QString NoteText(double hz);

// The readout line: dominant frequency and note, tone level, RMS level and
// peak, with the decimal mark of the system's locale, and the buffers the
// display skipped while the window was busy, if any.
QString ReadoutText(const TMeasurements& measurements, int skippedBuffers);

}  // namespace wellenschau
