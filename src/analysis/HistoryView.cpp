#include "HistoryView.h"

#include "SoundHistory.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

// Scroll steps across the width of a picture that follows the newest buffer.
constexpr int FollowingScrollSteps = 16;

}  // namespace

std::int64_t THistoryColumns::GridColumnOf(std::int64_t n) const {
    const double buffer = static_cast<double>(n);
    auto g = static_cast<std::int64_t>(std::floor((buffer - Origin) / BuffersPerPixel));
    // The division may round across a column edge; the edges themselves decide.
    const auto edge = [this](std::int64_t column) { return Origin + static_cast<double>(column) * BuffersPerPixel; };
    if (edge(g) > buffer)
        --g;
    else if (edge(g + 1) <= buffer)
        ++g;
    return g;
}

TBufferSpan BuffersUnder(const THistoryColumns& columns, int x) {
    const double left = columns.Position(x);
    const double right = columns.Position(x + 1);
    const auto first = static_cast<std::int64_t>(std::ceil(left));
    const auto last = static_cast<std::int64_t>(std::ceil(right)) - 1;
    if (first <= last) return {first, last};
    const auto centre = static_cast<std::int64_t>(std::floor((left + right) / 2.0));
    return {centre, centre};
}

THistoryColumns ColumnsForRange(double minimum, double maximum, int width) {
    return {minimum, (maximum - minimum) / std::max(width, 1), 0};
}

THistoryColumns FollowingColumns(const TSoundHistory& history, int width) {
    const std::int64_t step = std::max(width / FollowingScrollSteps, 1);
    const std::int64_t spanned = std::max<std::int64_t>(width - step, 1);
    THistoryColumns columns{0.0, static_cast<double>(history.Capacity()) / static_cast<double>(spanned), 0};
    columns.FirstColumn = columns.GridColumnOf(history.First()) / step * step;
    return columns;
}

void MapPictureRows(std::span<const double> rowFrequency, double lowHz, double highHz, std::span<std::int32_t> rows) {
    const auto height = static_cast<int>(rows.size());
    const double logRange = std::log(highHz / lowHz);
    for (int k = 0; k < height; ++k) {
        const double f = std::exp(std::log(lowHz) + k * logRange / height);
        const auto above = std::ranges::lower_bound(rowFrequency, f);
        auto nearest = above == rowFrequency.end() ? above - 1 : above;
        if (above != rowFrequency.begin() && f - *(above - 1) <= std::fabs(*nearest - f)) nearest = above - 1;
        rows[static_cast<std::size_t>(height - 1 - k)] = static_cast<std::int32_t>(nearest - rowFrequency.begin());
    }
}

bool LoudestColumn(const TSoundHistory& history, TBufferSpan span, std::span<std::uint8_t> loudest) {
    const std::int64_t first = std::max(span.First, history.First());
    const std::int64_t last = std::min(span.Last, history.End() - 1);
    if (first > last) return false;
    const std::span<const std::uint8_t> column = history.Column(first);
    std::ranges::copy(column, loudest.begin());
    for (std::int64_t n = first + 1; n <= last; ++n) {
        const std::span<const std::uint8_t> next = history.Column(n);
        for (std::size_t r = 0; r < loudest.size(); ++r) loudest[r] = std::max(loudest[r], next[r]);
    }
    return true;
}

}  // namespace wellenschau
