#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brenvik::ctl {

// The words of one command, taken from the front as the command reads them. Every read that
// fails throws UsageError naming the word (or the missing one).
class CommandWords {
public:
    explicit CommandWords(std::vector<std::string> words) : m_words(std::move(words)) {}

    bool Empty() const { return m_words.empty(); }
    // The next positional word, or "" when there is none; does not take it.
    std::string Peek() const;
    // Takes the next positional word; `what` names it in the message when it is missing.
    std::string Next(const std::string& what);
    // Takes "--name VALUE" from anywhere among the words.
    std::optional<std::string> TakeOption(const std::string& name);
    // Throws for every word that no one took.
    void Finish() const;

    // A whole decimal number lowest..highest; `what` names it in the message.
    static int Number(const std::string& text, int lowest, int highest, const std::string& what);
    // "on" or "off" (also 1 / 0).
    static std::uint8_t OnOff(const std::string& text, const std::string& what);

private:
    std::vector<std::string> m_words;
};

} // namespace brenvik::ctl
