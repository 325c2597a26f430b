// TTextMeasure: the narrow view of a font that label arithmetic needs, so
// that it can run without a canvas.
#pragma once

#include <QString>

namespace wellenschau {

// Text sizes in pixels in the font the labels are drawn in.
class TTextMeasure {
public:
    virtual ~TTextMeasure() = default;
    virtual int TextWidth(const QString& text) = 0;
    // Height of one text line.
    virtual int FontHeight() = 0;
};

}  // namespace wellenschau
