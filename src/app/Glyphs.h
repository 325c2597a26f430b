// The pictures of the tool bar buttons, drawn at start-up: 16 x 16 for the
// speed buttons, 20 x 20 for the palette button.
#pragma once

#include <QIcon>

namespace wellenschau {

QIcon StartGlyph();
QIcon PauseGlyph();
QIcon SnapshotGlyph();
QIcon EraseGlyph();
QIcon PaletteGlyph();

}  // namespace wellenschau
