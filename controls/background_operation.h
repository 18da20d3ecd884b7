#pragma once

#include "controls/input_blocker.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <stop_token>
#include <utility>

namespace brenvik {

// One long operation on the link (a search, a state read, a load and its re-read) seen from a
// window: while it runs the window keeps painting, refuses the operator's input and shows that work
// is under way; its result is applied on the UI thread; destroying the owner, or starting the next
// operation, cancels it, and a result that comes back after that is dropped.
class BackgroundOperation : public QObject {
public:
    // `showBusy(true)` as the operation starts, `showBusy(false)` as it ends (not when cancelled).
    BackgroundOperation(QWidget* window, std::function<void(bool busy)> showBusy = {});
    ~BackgroundOperation() override;

    // Calls `start` at once with a cancel token and a completion that may be called from any thread,
    // once; `apply` then runs on the UI thread with the result, after input is allowed again.
    template <typename Result>
    void Run(const std::function<void(std::stop_token, std::function<void(Result)>)>& start,
             std::function<void(Result)> apply) {
        const std::uint64_t generation = Begin();
        start(m_cancel.get_token(),
              [self = QPointer<BackgroundOperation>(this), generation, apply = std::move(apply)](Result result) {
                  // Posted to the application object, which outlives every window: the owner may be
                  // gone by the time the result arrives.
                  QMetaObject::invokeMethod(
                      qApp,
                      [self, generation, apply, result = std::move(result)]() mutable {
                          if (self != nullptr && self->End(generation)) {
                              apply(std::move(result));
                          }
                      },
                      Qt::QueuedConnection);
              });
    }

    bool Running() const { return m_blocker != nullptr; }
    // Cancels the operation under way, if any; its result is dropped.
    void Cancel();

private:
    std::uint64_t Begin();
    // True when `generation` is the operation under way, which then ends.
    bool End(std::uint64_t generation);

    QPointer<QWidget> m_window;
    std::function<void(bool)> m_showBusy;
    std::unique_ptr<InputBlocker> m_blocker;
    std::stop_source m_cancel;
    std::uint64_t m_generation = 0;
};

} // namespace brenvik
