#include "controls/limit_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace brenvik {
namespace {

// Backspace, Enter, Tab and the Ctrl combinations arrive as control characters; they go to the
// edit field's own key handling untouched, so editing keys and shortcuts (paste included) work.
bool IsControlText(const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() >= 0x20 && character.unicode() != 0x7f) {
            return false;
        }
    }
    return true;
}

} // namespace

QString CLimitEdit::Filtered(const QString& typed) {
    QString kept;
    kept.reserve(typed.size());
    for (const QChar character : typed) {
        if (!Refuses(character.unicode())) {
            kept.append(character);
        }
    }
    return kept;
}

void CLimitEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty() || IsControlText(typed)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString kept = Filtered(typed);
    // QLineEdit types only printable characters, and code 128 is a control code that this field
    // takes as typed, so it is inserted here.
    if (kept == typed && !typed.contains(QChar(kHighestPassed))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!kept.isEmpty() && !isReadOnly()) {
        insert(kept);
    }
    event->accept();
}

void CLimitEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Characters composed through an input method are typed characters too.
    const QString kept = Filtered(event->commitString());
    if (kept == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
}

} // namespace brenvik
