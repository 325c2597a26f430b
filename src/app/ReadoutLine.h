// The measurement readout: one line of text with the last buffer's
// measurements and the value under the mouse pointer on the charts it
// watches. Hidden unless the user asks for it; while hidden it leaves the
// watched widgets exactly as they were (no pointer tracking).
// User-interface thread only.
#pragma once

#include "MeasurementText.h"

#include <QLabel>

#include <functional>
#include <vector>

namespace wellenschau {

class TReadoutLine : public QLabel {
public:
    // Text of the value under the pointer at a point of the watched
    // widget; empty where there is none.
    using TPointerText = std::function<QString(QPoint)>;

    static constexpr int Height = 20;

    explicit TReadoutLine(QWidget* parent);

    void Watch(QWidget* widget, TPointerText pointerText);
    // Shows the measurements and distortion figures of a new buffer, its
    // levels as `levels` says, and the count of buffers the display
    // skipped so far (only while visible).
    void ShowMeasurements(const TMeasurements& measurements, const std::optional<TDistortion>& distortion,
                          int skippedBuffers, const TReadoutLevels& levels);

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();

    std::vector<std::pair<QWidget*, TPointerText>> FWatched;
    QString FMeasurementText;
    QString FPointerText;
};

}  // namespace wellenschau
