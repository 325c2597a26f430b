#include "PaletteParser.h"

#include "core/CheckedMath.h"
#include "palette/PaletteChannels.h"

#include <QImage>

#include <algorithm>
#include <iterator>

namespace wellenschau {

namespace {

constexpr int LastColourIndex = static_cast<int>(ColourTableSize) - 1;

// A blank-free decimal integer in 0..255.
int ReadByteNumber(const QString& text) {
    const std::int32_t number = StrToInt(StripBlanks(text).toStdString());
    if (number < 0 || number > LastColourIndex) throw ERangeError();
    return number;
}

}  // namespace

QString StripBlanks(const QString& Text) {
    QString stripped = Text;
    stripped.remove(QLatin1Char(' '));
    return stripped;
}

TPalettePoint ReadPalettePoint(const QString& Line) {
    // A line without a comma has an empty index text, which is no integer.
    // The value text is taken whole, however long: cutting it short could
    // silently read a different number.
    const qsizetype comma = Line.indexOf(QLatin1Char(','));
    const QString indexText = comma < 0 ? QString() : Line.left(comma);
    const int index = ReadByteNumber(indexText);
    const int value = ReadByteNumber(Line.mid(comma + 1));
    return {index, value};
}

std::optional<std::vector<TPalettePoint>> ReadPaletteBlock(const QStringList& MemoLines, const QString& Name) {
    const QString startLine = QLatin1Char('s') + Name;
    const QString endLine = QLatin1Char('e') + Name;
    qsizetype start = -1;
    qsizetype end = -1;
    for (qsizetype i = 0; i < MemoLines.size(); ++i) {
        if (MemoLines[i] == startLine) start = i;
        if (MemoLines[i] == endLine) end = i;
    }
    if (start < 0 || end <= start) return std::nullopt;

    std::vector<TPalettePoint> points;
    points.reserve(static_cast<std::size_t>(std::min<qsizetype>(end - start - 1, MaxPalettePoints)));
    for (qsizetype i = start + 1; i < end; ++i) {
        if (std::ssize(points) == MaxPalettePoints) throw ERangeError();
        points.push_back(ReadPalettePoint(MemoLines[i]));
    }
    return points;
}

TColourTable ColourTableFromPoints(const std::vector<TPalettePoint>& Points) {
    TPaletteChannels channels;
    const std::size_t count = Points.size();
    std::size_t d = 0;
    for (TPaletteChannel channel : {TPaletteChannel::Red, TPaletteChannel::Green, TPaletteChannel::Blue}) {
        // One run: points up to and including the one with index 255.
        for (; d < count; ++d) {
            const TPalettePoint& point = Points[d];
            channels.SetEntry(channel, point.Index, point.Value);
            if (d + 1 < count) {
                const TPalettePoint& next = Points[d + 1];
                channels.InterpolateSegment(channel, point.Value, next.Value, point.Index, next.Index);
            }
            if (point.Index == LastColourIndex) break;
        }
        ++d;  // the next run starts after the point that ended this one
    }
    return channels.ToColourTable();
}

bool LoadPaletteIntoImage(QImage& Image, const QStringList& MemoLines, const QString& Name) {
    const std::optional<std::vector<TPalettePoint>> points = ReadPaletteBlock(MemoLines, Name);
    if (!points) return false;
    InstallColourTable(Image, ColourTableFromPoints(*points));
    return true;
}

}  // namespace wellenschau
