#include "ctl/command_words.h"

#include "ctl/usage_error.h"

#include <algorithm>
#include <charconv>

namespace brenvik::ctl {

namespace {

bool IsOption(const std::string& word) {
    return word.size() > 2 && word.starts_with("--");
}

} // namespace

std::string CommandWords::Peek() const {
    const auto found =
        std::find_if(m_words.begin(), m_words.end(), [](const auto& w) { return !IsOption(w); });
    return found == m_words.end() ? std::string() : *found;
}

std::string CommandWords::Next(const std::string& what) {
    const auto found =
        std::find_if(m_words.begin(), m_words.end(), [](const auto& w) { return !IsOption(w); });
    if (found == m_words.end()) {
        throw UsageError("missing " + what);
    }
    std::string word = *found;
    m_words.erase(found);
    return word;
}

std::optional<std::string> CommandWords::TakeOption(const std::string& name) {
    const auto found = std::find(m_words.begin(), m_words.end(), name);
    if (found == m_words.end()) {
        return std::nullopt;
    }
    if (found + 1 == m_words.end()) {
        throw UsageError("option " + name + " needs a value");
    }
    std::string value = *(found + 1);
    m_words.erase(found, found + 2);
    return value;
}

void CommandWords::Finish() const {
    if (m_words.empty()) {
        return;
    }
    const std::string& extra = m_words.front();
    throw UsageError(IsOption(extra) ? "unknown option '" + extra + "'"
                                     : "unexpected argument '" + extra + "'");
}

int CommandWords::Number(const std::string& text, int lowest, int highest, const std::string& what) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        throw UsageError(what + " '" + text + "' is not a number");
    }
    if (value < lowest || value > highest) {
        throw UsageError(what + " " + text + " is out of range (" + std::to_string(lowest) + ".." +
                         std::to_string(highest) + ")");
    }
    return value;
}

std::uint8_t CommandWords::OnOff(const std::string& text, const std::string& what) {
    if (text == "on" || text == "1") {
        return 1;
    }
    if (text == "off" || text == "0") {
        return 0;
    }
    throw UsageError(what + " '" + text + "' must be on or off");
}

} // namespace brenvik::ctl
