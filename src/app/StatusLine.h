// TStatusLine: a one-line message along the bottom of the window, for
// what the user must know but need not confirm (a recording that could not
// start or ended by itself). The window makes room for it while it shows,
// so that it hides nothing; hidden it leaves the window as it is. Showing
// it never stops the message loop. User-interface thread only.
#pragma once

#include <QLabel>

namespace wellenschau {

class TStatusLine : public QLabel {
public:
    static constexpr int Height = 20;

    explicit TStatusLine(QWidget* parent);

    // Shows `text` until Clear.
    void Show(const QString& text);
    void Clear();
};

}  // namespace wellenschau
