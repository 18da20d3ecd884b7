#pragma once

#include <QKeyEvent>

namespace brenvik {

// Enter and Escape never close a window of the console. The main window swallows both keys for
// every widget in it, except under a widget that carries this property (set true): such a widget
// (a setting page) swallows them itself, so that it can give Enter a meaning of its own.
inline constexpr char kOwnEnterEscapeProperty[] = "brenvikOwnEnterEscape";

inline bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

inline bool IsEnterOrEscape(const QKeyEvent& key) {
    return IsEnter(key) || key.key() == Qt::Key_Escape;
}

} // namespace brenvik
