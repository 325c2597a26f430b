#include "StatusLine.h"

namespace wellenschau {

namespace {

// A pale yellow, as a note stuck on the window.
constexpr QRgb NoteColour = qRgb(255, 255, 210);

}  // namespace

TStatusLine::TStatusLine(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(NoteColour));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setContentsMargins(6, 0, 6, 0);
    setTextFormat(Qt::PlainText);
    setFixedHeight(Height);
    hide();
}

void TStatusLine::Show(const QString& text) {
    setText(text);
    setToolTip(text);
    show();
}

void TStatusLine::Clear() {
    hide();
    clear();
}

}  // namespace wellenschau
