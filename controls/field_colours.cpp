#include "controls/field_colours.h"

#include "res/skin_palette.h"

#include <QPalette>
#include <QWidget>

namespace brenvik {

FieldLook MainFieldLook() {
    return {palette::kFieldText, palette::kField, std::nullopt, std::nullopt, palette::kFieldText};
}

void ApplyFieldLook(QWidget& field, const FieldLook& look) {
    QPalette colours = field.palette();
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        colours.setColor(role, QColor(look.ground));
        if (look.disabledGround) {
            colours.setColor(QPalette::Disabled, role, QColor(*look.disabledGround));
        }
    }
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        colours.setColor(role, QColor(look.text));
        if (look.disabledText) {
            colours.setColor(QPalette::Disabled, role, QColor(*look.disabledText));
        }
    }
    if (look.highlightedText) {
        colours.setColor(QPalette::Highlight, QColor(palette::kBlue));
        colours.setColor(QPalette::HighlightedText, QColor(*look.highlightedText));
    }
    field.setPalette(colours);
}

} // namespace brenvik
