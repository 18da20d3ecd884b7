#pragma once

#include "link/ui_dispatcher.h"

#include <functional>
#include <memory>
#include <mutex>

namespace brenvik {

// The way back from the link thread to the thread that owns a session: a copy of the gate goes
// with each completion handed to the link, and the session closes it as it goes, so that a reply
// arriving after that is posted nowhere, whichever of the session and its dispatcher goes first.
// Copies share one state; Post and Close may be called from any thread.
class PostGate {
public:
    explicit PostGate(UiDispatcher& ui) : m_state(std::make_shared<State>(&ui)) {}

    void Post(std::function<void()> task) const {
        const std::lock_guard lock(m_state->mutex);
        if (m_state->ui != nullptr) {
            m_state->ui->Post(std::move(task));
        }
    }
    void Close() const {
        const std::lock_guard lock(m_state->mutex);
        m_state->ui = nullptr;
    }

private:
    struct State {
        explicit State(UiDispatcher* dispatcher) : ui(dispatcher) {}
        std::mutex mutex; // guards ui
        UiDispatcher* ui; // nullptr once closed
    };
    std::shared_ptr<State> m_state;
};

} // namespace brenvik
