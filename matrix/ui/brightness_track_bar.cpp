#include "matrix/ui/brightness_track_bar.h"

#include <QMouseEvent>

namespace brenvik {

BrightnessTrackBar::BrightnessTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickPosition(QSlider::NoTicks);
}

void BrightnessTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit releasedOver(value());
    }
}

} // namespace brenvik
