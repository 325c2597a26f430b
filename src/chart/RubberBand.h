// The zoom's rubber band on screen: the outline of the dragged rectangle,
// right and bottom edges excluded, each pixel once, drawn over a copy of
// the chart's image as not(image pixel xor pen). Computing the colours
// from the image (instead of from the screen) makes every paint show the
// same band without redrawing the chart. UI thread only.
#pragma once

#include "chart/ChartTypes.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

namespace wellenschau {

// Draws the band's outline with painter, over the place where chartImage
// was drawn at (0, 0). An empty band draws nothing.
void DrawRubberBand(QPainter& painter, const QImage& chartImage, const TRect& band, QRgb pen);

// The pixels the band's outline covers, for a partial repaint.
QRegion RubberBandRegion(const TRect& band);

}  // namespace wellenschau
