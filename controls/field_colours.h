#pragma once

#include <QRgb>

#include <optional>

class QWidget;

namespace brenvik {

// How an edit field or a list is coloured, whatever the desktop's palette: its text on its ground,
// and where given, what it shows while disabled and the text of a selection, which is drawn in the
// console's blue.
struct FieldLook {
    QRgb text;
    QRgb ground;
    std::optional<QRgb> disabledText;
    std::optional<QRgb> disabledGround;
    std::optional<QRgb> highlightedText;
};

// Light text on the field grey, the selection in the console's blue: the main window's fields.
FieldLook MainFieldLook();

void ApplyFieldLook(QWidget& field, const FieldLook& look);

} // namespace brenvik
