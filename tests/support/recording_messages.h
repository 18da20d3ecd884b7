#pragma once

#include "link/operator_messages.h"

#include <mutex>
#include <string>
#include <vector>

namespace brenvik::test {

// Records what the console would have shown the operator, from any thread.
class RecordingMessages : public OperatorMessages {
public:
    void ShowError(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_errors.push_back(text);
    }
    void DebugText(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_debug.push_back(text);
    }
    std::vector<std::string> Errors() const {
        std::lock_guard lock(m_mutex);
        return m_errors;
    }
    std::vector<std::string> DebugLines() const {
        std::lock_guard lock(m_mutex);
        return m_debug;
    }

private:
    mutable std::mutex m_mutex; // guards both lists
    std::vector<std::string> m_errors;
    std::vector<std::string> m_debug;
};

} // namespace brenvik::test
