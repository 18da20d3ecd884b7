#pragma once

#include "link/operator_messages.h"

#include <mutex>
#include <ostream>
#include <string>

namespace brenvik::ctl {

// What the link would tell the operator in a message box goes to standard error as one line;
// the link's debug lines are for the window console's developers and are dropped. The link
// thread may speak while the program writes, so each line is written whole.
class StreamMessages : public OperatorMessages {
public:
    explicit StreamMessages(std::ostream& err) : m_err(err) {}

    void ShowError(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_err << "brenvik-ctl: " << text << '\n';
        m_shown = true;
    }
    void DebugText(const std::string&) override {}

    bool AnyShown() const {
        std::lock_guard lock(m_mutex);
        return m_shown;
    }

private:
    std::ostream& m_err;
    mutable std::mutex m_mutex; // guards m_err's lines and m_shown
    bool m_shown = false;
};

} // namespace brenvik::ctl
