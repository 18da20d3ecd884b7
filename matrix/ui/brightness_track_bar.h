#pragma once

#include <QSlider>

namespace brenvik {

// The backlight brightness bar: a horizontal slider that also says when the left mouse button
// was let go over it, the one moment the page sends the brightness.
class BrightnessTrackBar : public QSlider {
    Q_OBJECT

public:
    explicit BrightnessTrackBar(QWidget* parent = nullptr);

signals:
    // The left button was released over the bar; `position` is where the bar stands then.
    void releasedOver(int position);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace brenvik
