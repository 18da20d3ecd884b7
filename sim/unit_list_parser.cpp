#include "sim/unit_list_parser.h"

#include "link/platform/udp_socket.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>
#include <string_view>

namespace brenvik::sim {

namespace {

struct FaultName {
    std::string_view name;
    DiscoveryFault fault;
};
constexpr std::array<FaultName, 7> kFaultNames{{
    {"none", DiscoveryFault::None},
    {"header", DiscoveryFault::WrongHeader},
    {"type", DiscoveryFault::UnknownTypeCode},
    {"short", DiscoveryFault::TooShort},
    {"twice", DiscoveryFault::AnswerTwice},
    {"silent", DiscoveryFault::Silent},
    {"idpastend", DiscoveryFault::IdentifierPastEnd},
}};

constexpr std::size_t kMinFields = 5;
constexpr std::size_t kMaxFields = 6;
constexpr std::size_t kIdentifierDigits = 8;

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::stringstream stream(text);
    std::string field;
    while (std::getline(stream, field, ',')) {
        fields.push_back(field);
    }
    if (!text.empty() && text.back() == ',') {
        fields.emplace_back();
    }
    return fields;
}

std::optional<unsigned> ParseNumber(std::string_view text, int base) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> ParseByte(std::string_view text, int base) {
    const auto value = ParseNumber(text, base);
    if (!value || *value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

} // namespace

std::optional<UnitConfig> UnitListParser::ParseUnit(const std::string& text) {
    const auto fields = SplitFields(text);
    if (fields.size() < kMinFields || fields.size() > kMaxFields) {
        m_error = "expected ip,type,address,name,id[,fault]: " + text;
        return std::nullopt;
    }
    UnitConfig unit;
    const auto address = Ipv4Address::Parse(fields[0], 0);
    if (!address) {
        m_error = "not an IPv4 address: " + fields[0];
        return std::nullopt;
    }
    unit.address = address->octets;
    const auto typeCode = ParseByte(fields[1], 16);
    const auto unitAddress = ParseByte(fields[2], 10);
    if (!typeCode || !unitAddress) {
        m_error = "type code and unit address must be bytes: " + text;
        return std::nullopt;
    }
    unit.typeCode = *typeCode;
    unit.unitAddress = *unitAddress;
    unit.modelName.assign(fields[3].begin(), fields[3].end());
    const std::string& id = fields[4];
    if (id.size() != kIdentifierDigits) {
        m_error = "the identifier is 8 hexadecimal digits: " + id;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < unit.unitId.size(); ++i) {
        const auto byte = ParseByte(std::string_view(id).substr(2 * i, 2), 16);
        if (!byte) {
            m_error = "the identifier is 8 hexadecimal digits: " + id;
            return std::nullopt;
        }
        unit.unitId[i] = *byte;
    }
    if (fields.size() == kMaxFields) {
        const auto named = std::find_if(kFaultNames.begin(), kFaultNames.end(),
                                        [&](const FaultName& f) { return f.name == fields[5]; });
        if (named == kFaultNames.end()) {
            m_error = "unknown fault: " + fields[5];
            return std::nullopt;
        }
        unit.fault = named->fault;
    }
    return unit;
}

std::optional<std::vector<UnitConfig>> UnitListParser::ParseFile(std::istream& in) {
    std::vector<UnitConfig> units;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        auto unit = ParseUnit(line);
        if (!unit) {
            return std::nullopt;
        }
        units.push_back(*unit);
    }
    return units;
}

} // namespace brenvik::sim
