#pragma once

#include "recording_messages.h"

#include "controls/operator_dialogs.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace brenvik::test {

// Records every box the console would show and answers its questions from a script (OK when the
// script has run out).
class RecordingDialogs : public OperatorDialogs {
public:
    void ShowError(const std::string& text) override { m_messages.ShowError(text); }
    void DebugText(const std::string& text) override { m_messages.DebugText(text); }
    bool AskWarning(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_questions.push_back(text);
        if (m_answers.empty()) {
            return true;
        }
        const bool answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void AnswerNext(bool ok) {
        std::lock_guard lock(m_mutex);
        m_answers.push_back(ok);
    }
    std::vector<std::string> Errors() const { return m_messages.Errors(); }
    std::vector<std::string> DebugLines() const { return m_messages.DebugLines(); }
    std::vector<std::string> Questions() const {
        std::lock_guard lock(m_mutex);
        return m_questions;
    }

private:
    RecordingMessages m_messages;
    mutable std::mutex m_mutex; // guards the answers and questions
    std::deque<bool> m_answers;
    std::vector<std::string> m_questions;
};

} // namespace brenvik::test
