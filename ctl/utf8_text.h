#pragma once

#include <optional>
#include <string>

namespace brenvik::ctl {

// Names travel as UTF-16 on the wire; a shell speaks UTF-8.
std::string Utf8(const std::u16string& text);
// Nothing for bytes that are not UTF-8.
std::optional<std::u16string> FromUtf8(const std::string& text);

// JSON string literal of UTF-8 text, with its quotes.
std::string JsonQuote(const std::string& utf8);

} // namespace brenvik::ctl
