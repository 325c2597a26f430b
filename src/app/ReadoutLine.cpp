#include "ReadoutLine.h"

#include "MeasurementText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TReadoutLineText {
    Q_DECLARE_TR_FUNCTIONS(TReadoutLineText)
};

}  // namespace

TReadoutLine::TReadoutLine(QWidget* parent) : QLabel(parent) {
    setContentsMargins(4, 0, 4, 0);
    setFixedHeight(Height);
    QLabel::setVisible(false);
}

void TReadoutLine::Watch(QWidget* widget, TPointerText pointerText) {
    widget->installEventFilter(this);
    FWatched.emplace_back(widget, std::move(pointerText));
}

void TReadoutLine::setVisible(bool visible) {
    QLabel::setVisible(visible);
    for (auto& [widget, text] : FWatched) widget->setMouseTracking(visible);
    FPointerText.clear();
    Refresh();
}

void TReadoutLine::ShowMeasurements(const TMeasurements& measurements, const std::optional<TDistortion>& distortion,
                                    int skippedBuffers, const TReadoutLevels& levels) {
    if (!isVisible()) return;
    FMeasurementText = ReadoutText(measurements, distortion, skippedBuffers, levels);
    Refresh();
}

bool TReadoutLine::eventFilter(QObject* watched, QEvent* event) {
    if (!isVisible() || (event->type() != QEvent::MouseMove && event->type() != QEvent::Leave)) return false;
    for (auto& [widget, text] : FWatched) {
        if (widget != watched) continue;
        FPointerText = event->type() == QEvent::Leave
                           ? QString()
                           : text(static_cast<QMouseEvent*>(event)->position().toPoint());
        Refresh();
    }
    return false;  // the widget still gets the event: zoom and pan go on
}

void TReadoutLine::Refresh() {
    setText(FPointerText.isEmpty() ? FMeasurementText
                                   : FMeasurementText + TReadoutLineText::tr("   |   Zeiger: ") + FPointerText);
}

}  // namespace wellenschau
