#include "controls/field_colours.h"

#include "res/skin_palette.h"

#include <QPalette>
#include <QWidget>

namespace brenvik {

void ApplyFieldColours(QWidget& field) {
    QPalette colours = field.palette();
    for (const QPalette::ColorRole ground : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        colours.setColor(ground, QColor(palette::kField));
    }
    for (const QPalette::ColorRole text :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::HighlightedText}) {
        colours.setColor(text, QColor(palette::kFieldText));
    }
    colours.setColor(QPalette::Highlight, QColor(palette::kBlue));
    field.setPalette(colours);
}

} // namespace brenvik
