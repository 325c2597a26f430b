// TStatusLine: a one-line message along the bottom edge of its parent
// window, over whatever lies there, for what the user must know but need
// not confirm (a recording that could not start or ended by itself). It
// takes no place in the layout: hidden it leaves the window as it is, and
// showing it never stops the message loop. It follows the parent's size.
// User-interface thread only.
#pragma once

#include <QLabel>

namespace wellenschau {

class TStatusLine : public QLabel {
public:
    explicit TStatusLine(QWidget* parent);

    // Shows `text` until Clear.
    void Show(const QString& text);
    void Clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowParent();
};

}  // namespace wellenschau
