// An image control: shows its picture at its top-left corner, unscaled,
// and reports clicks. The picture is painted straight from the held QImage
// (no copy into a pixmap), so that an 8-bit bitmap written through stored
// row addresses stays unshared. User-interface thread only.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace wellenschau {

class TImageWidget : public QWidget {
public:
    explicit TImageWidget(QWidget* parent);

    QImage& Picture() { return FPicture; }
    const QImage& Picture() const { return FPicture; }

    std::function<void(QObject* Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage FPicture;
};

}  // namespace wellenschau
