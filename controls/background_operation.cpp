#include "controls/background_operation.h"

namespace brenvik {

BackgroundOperation::BackgroundOperation(QWidget* window, std::function<void(bool busy)> showBusy)
    : m_window(window), m_showBusy(std::move(showBusy)) {}

BackgroundOperation::~BackgroundOperation() {
    m_cancel.request_stop();
}

void BackgroundOperation::Cancel() {
    m_cancel.request_stop();
    ++m_generation;
    m_blocker.reset();
}

std::uint64_t BackgroundOperation::Begin() {
    Cancel();
    m_cancel = std::stop_source();
    m_blocker = std::make_unique<InputBlocker>(m_window);
    if (m_showBusy) {
        m_showBusy(true);
    }
    return m_generation;
}

bool BackgroundOperation::End(std::uint64_t generation) {
    if (generation != m_generation || m_blocker == nullptr) {
        return false;
    }
    m_blocker.reset();
    if (m_showBusy) {
        m_showBusy(false);
    }
    return true;
}

} // namespace brenvik
