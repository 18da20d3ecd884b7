#pragma once

#include "ctl/utf8_text.h"

#include <string>
#include <vector>

namespace brenvik::ctl {

// One JSON object on one line, its members in the order they are added.
class JsonObject {
public:
    JsonObject& Raw(const std::string& name, const std::string& json) {
        if (!m_text.empty()) {
            m_text += ',';
        }
        m_text += JsonQuote(name);
        m_text += ':';
        m_text += json;
        return *this;
    }
    JsonObject& Number(const std::string& name, int value) { return Raw(name, std::to_string(value)); }
    JsonObject& Bool(const std::string& name, bool value) { return Raw(name, value ? "true" : "false"); }
    JsonObject& Text(const std::string& name, const std::string& utf8) { return Raw(name, JsonQuote(utf8)); }
    std::string Json() const { return "{" + m_text + "}"; }

private:
    std::string m_text;
};

// A JSON array of values already written as JSON.
inline std::string JsonArray(const std::vector<std::string>& items) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += items[i];
    }
    return text + "]";
}

} // namespace brenvik::ctl
