#pragma once

#include "link/ui_dispatcher.h"

#include <QObject>

namespace brenvik {

// The UI thread's dispatcher: tasks run from the event loop, bound to `context`, so tasks still
// pending when the context goes are dropped with it.
class QtUiDispatcher : public UiDispatcher {
public:
    explicit QtUiDispatcher(QObject* context) : m_context(context) {}
    void Post(std::function<void()> task) override;
    void PostAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

private:
    QObject* m_context;
};

} // namespace brenvik
