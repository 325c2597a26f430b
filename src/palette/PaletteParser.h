// Turns a named palette text of the palette memo into a colour table and
// installs it in an 8-bit indexed image. Runs on the user-interface thread
// when a palette is chosen; not on the per-buffer path.
//
// A palette named N is the block of lines strictly between the line "sN"
// and the line "eN" (exact, case-sensitive; a later duplicate wins). Each
// line is a point "index, value"; blanks are ignored; both numbers lie in
// 0..255. The points form three runs, red, green, blue, each ending with
// the point of index 255.
#pragma once

#include "palette/ColourTable.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QImage;

namespace wellenschau {

// The most points one palette block may hold.
inline constexpr int MaxPalettePoints = 1001;

struct TPalettePoint {
    int Index = 0;
    int Value = 0;
};

// Text with every blank (" ") removed.
QString StripBlanks(const QString& Text);

// Reads one point line: the index is the text before the first comma, the
// value the text after it. Raises EConvertError naming the (blank-free)
// text that is not an integer, ERangeError for a number outside 0..255.
TPalettePoint ReadPalettePoint(const QString& Line);

// The points of the block named Name, or nothing when the memo has no
// "s"+Name line before an "e"+Name line. Raises the errors of
// ReadPalettePoint, and ERangeError for more than MaxPalettePoints points.
std::optional<std::vector<TPalettePoint>> ReadPaletteBlock(const QStringList& MemoLines, const QString& Name);

// Builds the colour table from the runs of a block's points; entries that
// no point and no segment reaches stay black.
TColourTable ColourTableFromPoints(const std::vector<TPalettePoint>& Points);

// Reads the palette Name from the memo and installs its colour table in
// Image. Returns false and leaves Image untouched when the memo has no
// block of that name. A malformed block raises its error before anything
// is installed, so the image keeps its previous colours.
bool LoadPaletteIntoImage(QImage& Image, const QStringList& MemoLines, const QString& Name);

}  // namespace wellenschau
