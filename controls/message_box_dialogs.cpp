#include "controls/message_box_dialogs.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QThread>

#include <cstdio>

namespace brenvik {

namespace {

bool OnUiThread() {
    return QThread::currentThread() == qApp->thread();
}

} // namespace

void MessageBoxDialogs::ShowError(const std::string& text) {
    if (!OnUiThread()) {
        QMetaObject::invokeMethod(
            qApp, [this, text] { ShowError(text); }, Qt::QueuedConnection);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Err"), QString::fromStdString(text), QMessageBox::Ok,
                    m_parent);
    box.exec();
}

void MessageBoxDialogs::DebugText(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

bool MessageBoxDialogs::AskWarning(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), QString::fromStdString(text),
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    // The question is always asked in US English, whatever the desktop's language.
    box.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    return box.exec() == QMessageBox::Ok;
}

} // namespace brenvik
