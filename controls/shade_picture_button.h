#pragma once

#include "controls/picture_button.h"

#include <QImage>

#include <array>

namespace brenvik {

// The picture button every window of the console uses. Its background comes from six shade
// picture slots instead of a colour fill: the first slot while the pointer is off the button, the
// fourth while it is over it. The console never fills the slots, so the background step draws
// nothing and what lies behind the button shows wherever its picture is see-through.
class ShadePictureButton : public PictureButton {
    Q_OBJECT

public:
    static constexpr int kSlotCount = 6;
    static constexpr int kAwaySlot = 0;
    static constexpr int kHoverSlot = 3;

    explicit ShadePictureButton(QWidget* parent = nullptr) : PictureButton(parent) {}

    // Fills one slot (0..5) with a picture; an empty image empties it. Returns false for a slot
    // number outside 0..5.
    bool SetShadePicture(int slot, const QImage& picture);

protected:
    void DrawBackgroundStep(QPainter& painter, bool hovered, bool pressed) override;

private:
    std::array<QImage, kSlotCount> m_slots;
};

} // namespace brenvik
