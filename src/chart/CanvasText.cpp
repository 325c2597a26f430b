// The text of the drawing surface: fonts, measuring, and drawing through
// the text stamps (or the QPainter where a stamp cannot be used, and on a
// scaled image, where the stamps' pixels would not fit the device pixels).
#include "chart/Canvas3D.h"
#include "chart/QtColor.h"

#include <algorithm>

namespace wellenschau {

namespace {

// Unrotated text: a static text laid out once, its top-left corner at
// offset from the reference point. Painters draw in the font and colour
// given (a scratch painter has neither).
class TStaticTextPainter final : public TTextPainter {
public:
    TStaticTextPainter(const QStaticText& text, const QFont& font, const QColor& color, QPoint offset)
        : FText(text), FFont(font), FColor(color), FOffset(offset) {}
    void Paint(QPainter& painter, QPoint reference) const override {
        if (painter.font() != FFont) painter.setFont(FFont);
        if (painter.pen().color() != FColor) painter.setPen(FColor);
        painter.drawStaticText(reference + FOffset, FText);
    }

private:
    const QStaticText& FText;
    const QFont& FFont;
    const QColor& FColor;
    QPoint FOffset;
};

// Text turned counter-clockwise by angle degrees about the reference point,
// its baseline origin at origin in the turned frame.
class TRotatedTextPainter final : public TTextPainter {
public:
    TRotatedTextPainter(const QString& text, const QFont& font, const QColor& color, int angle, QPoint origin)
        : FText(text), FFont(font), FColor(color), FAngle(angle), FOrigin(origin) {}
    void Paint(QPainter& painter, QPoint reference) const override {
        if (painter.font() != FFont) painter.setFont(FFont);
        painter.save();
        painter.setPen(FColor);
        painter.translate(reference);
        painter.rotate(-FAngle);  // Qt turns clockwise on screen
        painter.drawText(FOrigin, FText);
        painter.restore();
    }

private:
    const QString& FText;
    const QFont& FFont;
    const QColor& FColor;
    int FAngle;
    QPoint FOrigin;
};

}  // namespace

TCanvas3D::TCanvas3D() : FMetrics(QFont()) { FFontTexts.push_back({FFont, {}}); }

void TCanvas3D::SetFont(const TChartFont& font) {
    if (FFont != font.Font()) {
        FFont = font.Font();
        FMetrics = QFontMetrics(FFont);
        const auto same = std::find_if(FFontTexts.begin(), FFontTexts.end(),
                                       [this](const TFontTexts& texts) { return texts.Font == FFont; });
        FCurrentFontTexts = static_cast<std::size_t>(same - FFontTexts.begin());
        if (same == FFontTexts.end()) FFontTexts.push_back({FFont, {}});
    }
    if (FPainter.isActive() && FPainter.font() != FFont) FPainter.setFont(FFont);
    FTextColor = ToQColor(font.Color());
}

const TCanvas3D::TPreparedText& TCanvas3D::Prepared(const QString& text) {
    QHash<QString, TPreparedText>& texts = FFontTexts[FCurrentFontTexts].Texts;
    auto found = texts.constFind(text);
    if (found != texts.constEnd()) return *found;
    if (texts.size() >= MaxPreparedTexts) texts.clear();
    TPreparedText prepared{QStaticText(text), FMetrics.horizontalAdvance(text)};
    prepared.Text.setTextFormat(Qt::PlainText);
    prepared.Text.prepare(QTransform(), FFont);
    return *texts.insert(text, prepared);
}

QPoint TCanvas3D::TextOrigin(int width, THorizTextAlign horiz, TVertTextAlign vert) const {
    int left = 0;
    if (horiz == THorizTextAlign::Center) left = -(width / 2);
    if (horiz == THorizTextAlign::Right) left = -width;
    const int baseline = vert == TVertTextAlign::Top ? FMetrics.ascent() : -FMetrics.descent();
    return {left, baseline};
}

TPixelTarget TCanvas3D::PixelTarget() const { return {FBits, FStride, FClip}; }

// Room a text may take around its reference point, in any direction.
int TCanvas3D::TextReach(int width) const { return width + FMetrics.height() + 4; }

void TCanvas3D::TextOut(int x, int y, const QString& text, THorizTextAlign horiz, TVertTextAlign vert) {
    if (!IsActive() || text.isEmpty()) return;
    // Text is rare behind series: any row it might reach.
    TouchRows(FClip.Top, FClip.Bottom);
    const TPreparedText& prepared = Prepared(text);
    // A static text is placed by the top of its line.
    const TStaticTextPainter painter(prepared.Text, FFont, FTextColor,
                                     TextOrigin(prepared.Width, horiz, vert) - QPoint(0, FMetrics.ascent()));
    const TTextStamps::TKey key{text, static_cast<int>(FCurrentFontTexts), FTextColor.rgba(), 0, horiz, vert};
    if (!FScaled && FStamps.Draw(PixelTarget(), key, {x, y}, TextReach(prepared.Width), painter)) return;
    painter.Paint(EnsurePainter(), {x, y});
}

void TCanvas3D::RotatedTextOut(int x, int y, const QString& text, int angle, THorizTextAlign horiz,
                               TVertTextAlign vert) {
    if (!IsActive() || text.isEmpty()) return;
    TouchRows(FClip.Top, FClip.Bottom);
    const int width = TextWidth(text);
    const TRotatedTextPainter painter(text, FFont, FTextColor, angle, TextOrigin(width, horiz, vert));
    const TTextStamps::TKey key{text, static_cast<int>(FCurrentFontTexts), FTextColor.rgba(), angle, horiz, vert};
    if (!FScaled && FStamps.Draw(PixelTarget(), key, {x, y}, TextReach(width), painter)) return;
    painter.Paint(EnsurePainter(), {x, y});
}

}  // namespace wellenschau
