#include "controls/accessible_list.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace brenvik {

namespace {

QAccessibleInterface* MakeAccessibleList(const QString& className, QObject* object) {
    // Asked once for each class of the object's chain; answering at QComboBox covers the console's
    // own kinds of list too. An editable list keeps Qt's view, which knows its edit field.
    if (className != QLatin1String("QComboBox")) {
        return nullptr;
    }
    auto* list = qobject_cast<QComboBox*>(object);
    if (list == nullptr || list->isEditable()) {
        return nullptr;
    }
    return new AccessibleList(list);
}

} // namespace

AccessibleList::AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

void AccessibleList::Install() {
    QAccessible::installFactory(MakeAccessibleList);
}

QComboBox* AccessibleList::List() const {
    return static_cast<QComboBox*>(widget());
}

QString AccessibleList::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) {
        return List()->currentText();
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State AccessibleList::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    const bool open = List()->view()->isVisible();
    state.expandable = true;
    state.expanded = open;
    state.collapsed = !open;
    return state;
}

int AccessibleList::childCount() const {
    return 1;
}

QAccessibleInterface* AccessibleList::child(int index) const {
    return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
}

int AccessibleList::indexOfChild(const QAccessibleInterface* child) const {
    return child != nullptr && child->object() == List()->view() ? 0 : -1;
}

QStringList AccessibleList::actionNames() const {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleList::doAction(const QString& actionName) {
    if (actionName == showMenuAction() || actionName == pressAction()) {
        if (List()->view()->isVisible()) {
            List()->hidePopup();
        } else {
            List()->showPopup();
        }
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

} // namespace brenvik
