// The one conversion of a stored colour (TColor) to the colour Qt draws.
#pragma once

#include "core/Colors.h"

#include <QColor>

namespace wellenschau {

// The colour as Qt draws it. System colours take this platform's fixed
// look; clNone is transparent; clDefault has no colour of its own and gives
// fallback, which the owner supplies.
QColor ToQColor(TColor color, const QColor& fallback = QColor(Qt::black));

}  // namespace wellenschau
