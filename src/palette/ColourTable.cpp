#include "ColourTable.h"

#include <QImage>
#include <QList>

namespace wellenschau {

void InstallColourTable(QImage& image, const TColourTable& table) {
    QList<QRgb> colours;
    colours.reserve(static_cast<qsizetype>(table.size()));
    for (const TColourTableEntry& entry : table) colours.append(qRgb(entry.Red, entry.Green, entry.Blue));
    image.setColorTable(colours);
}

}  // namespace wellenschau
