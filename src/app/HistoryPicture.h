// THistoryPicture: the spectrogram of a whole kept history as an RGB32
// image: each pixel takes the loudest of the buffers under its column in
// the spectrum row under it (HistoryView.h), coloured through a palette of
// 256 colours; columns without a kept buffer are black. The image is kept
// and rendered again only where something changed: in full when the size,
// columns' scale, frequency range, rows or palette change; after buffers
// were added or dropped, or after a scroll, only the columns concerned.
// The image holds its columns as a ring (picture column x lives in image
// column (FirstColumn + x) mod width), so a scroll moves no pixels; Draw
// puts the columns in their order. Updating allocates nothing.
// User-interface thread only.
#pragma once

#include "analysis/HistoryView.h"

#include <QImage>
#include <QList>
#include <QRgb>

#include <array>
#include <cstdint>
#include <vector>

class QPainter;
class QRectF;

namespace wellenschau {

class TSoundHistory;

// Picture columns First .. Last, both included; none when First > Last.
struct TColumnRange {
    int First = 0;
    int Last = -1;
    bool Empty() const { return First > Last; }
};

// The columns an update changed: the dropped buffers' and the new ones',
// which lie apart while the history is full.
using TChangedColumns = std::array<TColumnRange, 2>;

class THistoryPicture {
public:
    // The frequencies of the spectrum rows (ascending, Hz), one per entry of
    // a kept column; the picture stays black while the history's row count
    // differs.
    void SetRows(std::span<const double> rowFrequency);
    // The history shown; nullptr shows nothing. It must outlive its use.
    void SetHistory(const TSoundHistory* history);
    // The colour of each index (an 8-bit picture's colour table); missing
    // entries are black.
    void SetPalette(const QList<QRgb>& colours);

    // Brings the picture to `size` device pixels showing `columns` and lowHz
    // (bottom edge) to highHz (top edge), and up to date with the history;
    // returns the columns that look different now (all after a scroll).
    TChangedColumns Update(QSize size, const THistoryColumns& columns, double lowHz, double highHz);

    // Draws the picture over target (logical pixels) with its columns in order.
    void Draw(QPainter& painter, const QRectF& target) const;

    const THistoryColumns& Columns() const { return FColumns; }
    QSize Size() const { return FImage.size(); }
    // Picture columns rendered since construction (for checks of the work done).
    std::int64_t RenderedColumns() const { return FRenderedColumns; }

private:
    // Renders every column for a new size, scale, range or content.
    void RenderAll(QSize size, const THistoryColumns& columns, double lowHz, double highHz);
    // Paints every pixel from the columns' levels.
    void PaintRows();
    // Renders the columns a scroll brought in and those whose buffers changed.
    void RenderChanges(const THistoryColumns& columns, std::int64_t shift);
    // Renders picture columns first .. last (clipped to the picture).
    void RenderColumns(std::int64_t first, std::int64_t last);
    void RenderColumn(int x);
    // The loudest levels under picture column x, into its image column.
    void FindLevels(int x);
    // The colour of a spectrum row in an image column.
    QRgb Colour(int column, std::int32_t row) const;
    // Notes columns first .. last as changed.
    void NoteChanged(int first, int last);
    // Renders the columns that show buffers first .. last (clipped).
    void RenderBuffers(std::int64_t first, std::int64_t last);
    int ImageColumn(int x) const;
    bool RowsFitHistory() const;

    const TSoundHistory* FHistory = nullptr;
    std::vector<double> FRowFrequency;
    std::array<QRgb, 256> FColours{};
    QImage FImage;
    THistoryColumns FColumns;
    double FLowHz = 0.0;
    double FHighHz = 0.0;
    // Spectrum row of each pixel row.
    std::vector<std::int32_t> FPixelRows;
    // Per image column: the loudest level of each spectrum row (RowCount
    // entries after each other), and whether it shows a kept buffer at all.
    std::vector<std::uint8_t> FLevels;
    std::vector<std::uint8_t> FKept;
    // Kept buffers when the picture was last brought up to date.
    std::int64_t FShownFirst = 0;
    std::int64_t FShownEnd = 0;
    // Columns rendered by the update under way, in the order rendered.
    TChangedColumns FChanged;
    std::size_t FChangedCount = 0;
    // Everything must be rendered again (a setter changed what it shows).
    bool FStale = true;
    std::int64_t FRenderedColumns = 0;
};

}  // namespace wellenschau
