#include "controls/qt_ui_dispatcher.h"

#include <QMetaObject>
#include <QTimer>

namespace brenvik {

void QtUiDispatcher::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(m_context, std::move(task), Qt::QueuedConnection);
}

void QtUiDispatcher::PostAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    QTimer::singleShot(delay, m_context, std::move(task));
}

} // namespace brenvik
