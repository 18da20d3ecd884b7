#include "controls/unit_page.h"

#include "controls/enter_escape.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace brenvik {

void UnitPage::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(*event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void UnitPage::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void UnitPage::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

} // namespace brenvik
