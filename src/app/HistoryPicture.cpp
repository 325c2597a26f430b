#include "HistoryPicture.h"

#include "analysis/SoundHistory.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace wellenschau {

namespace {

constexpr QRgb NoBufferColour = 0xFF000000u;

}  // namespace

void THistoryPicture::SetRows(std::span<const double> rowFrequency) {
    FRowFrequency.assign(rowFrequency.begin(), rowFrequency.end());
    FStale = true;
}

void THistoryPicture::SetHistory(const TSoundHistory* history) {
    FHistory = history;
    FStale = true;
}

void THistoryPicture::SetPalette(const QList<QRgb>& colours) {
    for (std::size_t i = 0; i < FColours.size(); ++i)
        FColours[i] = 0xFF000000u | (std::cmp_less(i, colours.size()) ? colours[static_cast<qsizetype>(i)] : 0u);
    FStale = true;
}

bool THistoryPicture::RowsFitHistory() const {
    return FHistory && !FRowFrequency.empty() && std::cmp_equal(FHistory->RowCount(), FRowFrequency.size());
}

TChangedColumns THistoryPicture::Update(QSize size, const THistoryColumns& columns, double lowHz, double highHz) {
    FChanged = {};
    FChangedCount = 0;
    if (size.isEmpty()) return FChanged;
    const std::int64_t shift = columns.FirstColumn - FColumns.FirstColumn;
    const bool sameScale = columns.Origin == FColumns.Origin && columns.BuffersPerPixel == FColumns.BuffersPerPixel;
    if (FStale || !sameScale || size != FImage.size() || lowHz != FLowHz || highHz != FHighHz ||
        std::abs(shift) >= size.width())
        RenderAll(size, columns, lowHz, highHz);
    else
        RenderChanges(columns, shift);
    return FChanged;
}

void THistoryPicture::RenderChanges(const THistoryColumns& columns, std::int64_t shift) {
    FColumns = columns;
    if (shift > 0) RenderColumns(FImage.width() - shift, FImage.width() - 1);
    if (shift < 0) RenderColumns(0, -shift - 1);
    if (FHistory) {
        // Columns that lost their oldest buffers or gained new ones.
        RenderBuffers(FShownFirst, FHistory->First() - 1);
        RenderBuffers(FShownEnd, FHistory->End() - 1);
        FShownFirst = FHistory->First();
        FShownEnd = FHistory->End();
    }
    if (shift != 0) FChanged = {TColumnRange{0, FImage.width() - 1}};
}

void THistoryPicture::RenderAll(QSize size, const THistoryColumns& columns, double lowHz, double highHz) {
    if (FImage.size() != size) FImage = QImage(size, QImage::Format_RGB32);
    FColumns = columns;
    FLowHz = lowHz;
    FHighHz = highHz;
    FPixelRows.resize(static_cast<std::size_t>(size.height()));
    if (!FRowFrequency.empty()) MapPictureRows(FRowFrequency, lowHz, highHz, FPixelRows);
    FLevels.resize(static_cast<std::size_t>(size.width()) * FRowFrequency.size());
    FKept.resize(static_cast<std::size_t>(size.width()));
    FStale = false;
    const int width = FImage.width();
    for (int x = 0; x < width; ++x) FindLevels(x);
    FRenderedColumns += width;
    PaintRows();
    NoteChanged(0, width - 1);
    if (FHistory) {
        FShownFirst = FHistory->First();
        FShownEnd = FHistory->End();
    }
}

// Row by row: pixel rows that show the same spectrum row (most of them at a
// large height) are copies of the row above.
void THistoryPicture::PaintRows() {
    const int width = FImage.width();
    const auto bytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    for (int y = 0; y < FImage.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(FImage.scanLine(y));
        const std::int32_t row = FPixelRows[static_cast<std::size_t>(y)];
        if (y > 0 && row == FPixelRows[static_cast<std::size_t>(y - 1)])
            std::memcpy(line, FImage.constScanLine(y - 1), bytes);
        else
            for (int column = 0; column < width; ++column) line[column] = Colour(column, row);
    }
}

// The columns from where buffer `first` begins to where buffer last + 1
// begins: a buffer wider than a pixel also shows in the pixels after its start.
void THistoryPicture::RenderBuffers(std::int64_t first, std::int64_t last) {
    if (first > last) return;
    RenderColumns(FColumns.GridColumnOf(first) - FColumns.FirstColumn,
                  FColumns.GridColumnOf(last + 1) - FColumns.FirstColumn);
}

void THistoryPicture::RenderColumns(std::int64_t first, std::int64_t last) {
    const std::int64_t from = std::max<std::int64_t>(first, 0);
    const std::int64_t to = std::min<std::int64_t>(last, FImage.width() - 1);
    if (from > to) return;
    for (std::int64_t x = from; x <= to; ++x) RenderColumn(static_cast<int>(x));
    NoteChanged(static_cast<int>(from), static_cast<int>(to));
}

void THistoryPicture::NoteChanged(int first, int last) {
    if (FChangedCount < FChanged.size()) {
        FChanged[FChangedCount++] = {first, last};
        return;
    }
    TColumnRange& latest = FChanged.back();
    latest = {std::min(latest.First, first), std::max(latest.Last, last)};
}

int THistoryPicture::ImageColumn(int x) const {
    const std::int64_t width = FImage.width();
    return static_cast<int>(((FColumns.FirstColumn + x) % width + width) % width);
}

void THistoryPicture::FindLevels(int x) {
    const auto column = static_cast<std::size_t>(ImageColumn(x));
    const std::size_t rows = FRowFrequency.size();
    const std::span<std::uint8_t> levels(FLevels.data() + column * rows, rows);
    FKept[column] = RowsFitHistory() && LoudestColumn(*FHistory, BuffersUnder(FColumns, x), levels);
}

QRgb THistoryPicture::Colour(int column, std::int32_t row) const {
    const auto c = static_cast<std::size_t>(column);
    return FKept[c] ? FColours[FLevels[c * FRowFrequency.size() + static_cast<std::size_t>(row)]] : NoBufferColour;
}

void THistoryPicture::RenderColumn(int x) {
    FindLevels(x);
    ++FRenderedColumns;
    const int column = ImageColumn(x);
    const auto stride = static_cast<std::ptrdiff_t>(FImage.bytesPerLine() / sizeof(QRgb));
    QRgb* pixel = reinterpret_cast<QRgb*>(FImage.bits()) + column;
    for (const std::int32_t row : FPixelRows) {
        *pixel = Colour(column, row);
        pixel += stride;
    }
}

void THistoryPicture::Draw(QPainter& painter, const QRectF& target) const {
    if (FImage.isNull()) return;
    const int width = FImage.width();
    const int split = ImageColumn(0);  // picture column 0 in the image
    const double scale = target.width() / width;
    const auto part = [&](int imageLeft, int imageRight, int pictureLeft) {
        if (imageLeft >= imageRight) return;
        const QRectF source(imageLeft, 0, imageRight - imageLeft, FImage.height());
        painter.drawImage(QRectF(target.left() + pictureLeft * scale, target.top(), source.width() * scale,
                                 target.height()),
                          FImage, source);
    };
    part(split, width, 0);
    part(0, split, width - split);
}

}  // namespace wellenschau
