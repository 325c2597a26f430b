#include "StatusLine.h"

#include <QEvent>

namespace wellenschau {

namespace {

constexpr int LineHeight = 20;
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
    hide();
    parent->installEventFilter(this);
}

void TStatusLine::Show(const QString& text) {
    setText(text);
    setToolTip(text);
    FollowParent();
    raise();
    show();
}

void TStatusLine::Clear() {
    hide();
    clear();
}

bool TStatusLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) FollowParent();
    return QLabel::eventFilter(watched, event);
}

void TStatusLine::FollowParent() {
    const QWidget* window = parentWidget();
    setGeometry(0, window->height() - LineHeight, window->width(), LineHeight);
}

}  // namespace wellenschau
