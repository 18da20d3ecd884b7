#include "controls/shade_picture_button.h"

#include <QPainter>

namespace brenvik {

bool ShadePictureButton::SetShadePicture(int slot, const QImage& picture) {
    if (slot < 0 || slot >= kSlotCount) {
        return false;
    }
    m_slots[static_cast<std::size_t>(slot)] = picture;
    update();
    return true;
}

void ShadePictureButton::DrawBackgroundStep(QPainter& painter, bool hovered, bool pressed) {
    const QImage& shade = m_slots[hovered ? kHoverSlot : kAwaySlot];
    if (shade.isNull()) {
        return;
    }
    painter.drawImage(hovered && pressed ? QPoint(1, 1) : QPoint(0, 0), shade);
}

} // namespace brenvik
