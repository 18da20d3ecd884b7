#include "controls/input_blocker.h"

#include <QApplication>
#include <QEvent>

namespace brenvik {

InputBlocker::InputBlocker(QWidget* window) : m_window(window) {
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    qApp->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
        break;
    default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || m_window == nullptr) {
        return false;
    }
    return widget == m_window || m_window->isAncestorOf(widget);
}

} // namespace brenvik
