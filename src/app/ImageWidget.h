// An image control: shows its picture over the whole control, stretched
// pixel by pixel (no smoothing) where the sizes differ, and reports clicks. The picture belongs to the caller and must outlive the
// control; it is painted straight from that QImage (no copy into a
// pixmap), so that an 8-bit bitmap written through stored row addresses
// stays unshared. User-interface thread only.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace wellenschau {

class TImageWidget : public QWidget {
public:
    TImageWidget(QImage& picture, QWidget* parent);

    QImage& Picture() { return FPicture; }
    const QImage& Picture() const { return FPicture; }
    // Shows another picture instead of its own (nullptr: its own again);
    // it must outlive its time on show.
    void ShowInstead(const QImage* picture);
    const QImage& ShownPicture() const { return FInstead ? *FInstead : FPicture; }

    std::function<void(QObject* Sender)> OnClick;

    // The picture pixel under a point of the control.
    QPoint PicturePixelAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage& FPicture;
    const QImage* FInstead = nullptr;
};

}  // namespace wellenschau
