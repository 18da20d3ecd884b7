#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace brenvik {

// What a screen reader sees of a drop-down list of the console: the list's own name (its caption
// or the label painted beside it) as the name, the chosen entry as the value, and the entries
// below it. Qt's own view of a list on Linux gives the chosen entry as the name as well, so every
// list would be called by whatever it happens to show and none could be found by its role.
class AccessibleList : public QAccessibleWidget {
public:
    explicit AccessibleList(QComboBox* list);

    // Makes every list that is not editable take this view. Call once after the application object
    // exists and before any screen reader asks for a list; calling it again changes nothing.
    static void Install();

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QComboBox* List() const;
};

} // namespace brenvik
