#include "ctl/input_names.h"

#include "ctl/command_words.h"
#include "ctl/usage_error.h"
#include "ctl/utf8_text.h"

#include <algorithm>

namespace brenvik::ctl {

namespace {

constexpr char16_t kBackslash = u'\\';
constexpr char16_t kHighestAccepted = 128;
constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kDelete = 0x7F;
constexpr std::string_view kHeader = "input,name";

bool NeedsQuotes(const std::string& field) {
    return field.find_first_of(",\"") != std::string::npos ||
           (!field.empty() && (field.front() == ' ' || field.back() == ' '));
}

std::string CsvField(const std::string& field) {
    if (!NeedsQuotes(field)) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// The second field of a row: plain up to the end of the line, or quoted with doubled quotes inside.
std::optional<std::string> NameField(const std::string& text) {
    if (text.empty() || text.front() != '"') {
        return text.find('"') == std::string::npos ? std::optional(text) : std::nullopt;
    }
    std::string name;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            name += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            name += '"';
            ++i;
        } else {
            return i + 1 == text.size() ? std::optional(name) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::u16string CheckedInputName(const std::string& utf8, const std::string& where) {
    const auto name = FromUtf8(utf8);
    if (!name) {
        throw UsageError(where + ": name is not UTF-8 text");
    }
    if (name->size() > kMaxInputNameCharacters) {
        throw UsageError(where + ": name '" + utf8 + "' is longer than " +
                         std::to_string(kMaxInputNameCharacters) + " characters");
    }
    const auto refused = std::find_if(name->begin(), name->end(), [](char16_t c) {
        return c == kBackslash || c > kHighestAccepted || c < kFirstPrintable || c == kDelete;
    });
    if (refused != name->end()) {
        throw UsageError(where + ": name '" + utf8 + "' has a character the unit cannot take (code " +
                         std::to_string(static_cast<unsigned>(*refused)) + ")");
    }
    return *name;
}

void WriteNamesCsv(const PerWindow<std::u16string>& names, std::ostream& out) {
    out << kHeader << '\n';
    for (int n = 1; n <= kWindowCount; ++n) {
        out << n << ',' << CsvField(Utf8(names.At(n))) << '\n';
    }
}

std::map<int, std::u16string> ReadNamesCsv(std::istream& in, const std::string& fileName) {
    std::map<int, std::u16string> names;
    std::string line;
    int lineNumber = 0;
    bool headerSeen = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string where = fileName + ":" + std::to_string(lineNumber);
        if (!headerSeen) {
            if (line != kHeader) {
                throw UsageError(where + ": the first row must be the header '" + std::string(kHeader) + "'");
            }
            headerSeen = true;
            continue;
        }
        if (line.empty()) {
            continue;
        }
        const auto comma = line.find(',');
        if (comma == std::string::npos) {
            throw UsageError(where + ": unreadable row '" + line + "' (input,name)");
        }
        int input = 0;
        try {
            input = CommandWords::Number(line.substr(0, comma), 1, kWindowCount, "input");
        } catch (const UsageError& error) {
            throw UsageError(where + ": " + error.what());
        }
        const auto name = NameField(line.substr(comma + 1));
        if (!name) {
            throw UsageError(where + ": unreadable row '" + line + "' (input,name)");
        }
        if (!names.emplace(input, CheckedInputName(*name, where)).second) {
            throw UsageError(where + ": input " + std::to_string(input) + " is named twice");
        }
    }
    if (!headerSeen) {
        throw UsageError(fileName + ":1: the first row must be the header '" + std::string(kHeader) + "'");
    }
    return names;
}

} // namespace brenvik::ctl
