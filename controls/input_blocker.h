#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace brenvik {

// Refuses the operator's input to one window while a long operation (a search, a state read)
// runs off the UI thread, so the window keeps painting but nothing can be clicked or typed.
// Input is refused from construction until destruction.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace brenvik
