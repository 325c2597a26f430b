// The palette texts the program ships in its hidden memo, and the names the
// palette chooser offers. Constant data; any thread may read it.
#pragma once

#include <QStringList>

namespace wellenschau {

// The 147 lines of the palette memo, exactly as shipped: 13 blocks, each
// framed by "s<Name>" and "e<Name>", with "index, value" point lines in
// between (some with one blank at their end).
QStringList ShippedPaletteMemo();

// The palette chooser's 13 items in their order; item 0, "Rainbow", is the
// palette in force from the start.
QStringList PaletteNames();

}  // namespace wellenschau
