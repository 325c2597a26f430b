// An image control: shows its picture at its top-left corner, unscaled,
// or stretched over the whole control pixel by pixel (no smoothing), and
// reports clicks. The picture is painted straight from the held QImage
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

    // Stretched, every picture pixel covers a block of the control's
    // pixels; off (the default) the picture shows at its own size.
    void SetStretched(bool stretched);
    // The picture pixel under a point of the control.
    QPoint PicturePixelAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage FPicture;
    bool FStretched = false;
};

}  // namespace wellenschau
