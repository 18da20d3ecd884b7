#pragma once

#include "controls/operator_dialogs.h"

#include <QPointer>
#include <QWidget>

namespace brenvik {

// Message boxes over the console's main window. Errors raised off the UI thread (a state re-read
// of the status receiver) are queued to it; questions are asked on the UI thread only.
class MessageBoxDialogs : public OperatorDialogs {
public:
    void SetParentWindow(QWidget* window) { m_parent = window; }

    void ShowError(const std::string& text) override;
    void DebugText(const std::string& text) override;
    bool AskWarning(const std::string& text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace brenvik
