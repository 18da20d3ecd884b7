#pragma once

#include <QLineEdit>

namespace brenvik {

// An edit field that refuses the backslash and every character above code 128 as they are typed,
// silently. Code 128 itself and backspace pass. Text that the console sets or the operator pastes
// is not filtered.
class CLimitEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CLimitEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

    // Whether a typed character with this code is dropped.
    static bool Refuses(char16_t code) { return code == kBackslash || code > kHighestPassed; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    static constexpr char16_t kBackslash = 92;
    static constexpr char16_t kHighestPassed = 128;

    static QString Filtered(const QString& typed);
};

} // namespace brenvik
