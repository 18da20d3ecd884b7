#include "sim/matrix_model.h"

#include "link/frame.h"
#include "link/text_codec.h"
#include "sim/unit_frame.h"

#include <algorithm>

namespace brenvik::sim {

namespace {

// Opcodes of the matrix switcher, as the unit knows them.
namespace op {
constexpr std::uint8_t kQueryBacklight = 0x50;
constexpr std::uint8_t kSetBacklightTime = 0x51;
constexpr std::uint8_t kSetBacklightBrightness = 0x52;
constexpr std::uint8_t kQueryState = 0x53;
constexpr std::uint8_t kUnknown = 0x7E; // no reply has it: the fault's opcode
} // namespace op

constexpr std::size_t kOpcodeAt = 16;
constexpr std::size_t kValueAt = 17;
constexpr std::size_t kShortReplySize = 21;
constexpr std::size_t kNameFieldBytes = 32;
constexpr int kPorts = 8;

bool IsFrame(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kFrameOverhead && bytes[0] == kSync1 && bytes[1] == kSync2;
}

bool IsPort(int number) {
    return number >= 1 && number <= kPorts;
}

// A number of one or two digits at `at`; nothing when there is none or it is no port.
std::optional<int> ReadPort(const std::string& text, std::size_t& at) {
    std::size_t end = at;
    while (end < text.size() && end - at < 2 && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    if (end == at) {
        return std::nullopt;
    }
    const int number = std::stoi(text.substr(at, end - at));
    at = end;
    return IsPort(number) ? std::optional<int>(number) : std::nullopt;
}

} // namespace

MatrixModel::MatrixModel(MatrixSettings settings) : m_settings(std::move(settings)) {}

void MatrixModel::OnDatagram(SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
                             const Ipv4Address& from) {
    if (!IsFrame(bytes)) {
        ApplyRoutingText(std::string(bytes.begin(), bytes.end()));
        return;
    }
    const std::uint8_t linkByte = bytes[frame_offset::kLinkByte];
    switch (bytes[kOpcodeAt]) {
    case op::kQueryState: {
        std::vector<std::uint8_t> data(m_settings.routing.begin(), m_settings.routing.end());
        data.push_back(m_settings.locked);
        data.push_back(m_settings.dhcp);
        std::vector<std::uint8_t> name = ToUtf16le(m_settings.customName);
        name.resize(std::min(name.size(), kNameFieldBytes));
        data.push_back(m_settings.nameLengthByte.value_or(static_cast<std::uint8_t>(name.size())));
        name.resize(kNameFieldBytes, 0x00);
        data.insert(data.end(), name.begin(), name.end());
        Answer(unit, from, linkByte, op::kQueryState, data);
        break;
    }
    case op::kQueryBacklight: {
        const std::array<std::uint8_t, 2> data{m_settings.backlightTime, m_settings.backlightBrightness};
        Answer(unit, from, linkByte, op::kQueryBacklight, data);
        break;
    }
    case op::kSetBacklightTime:
        m_settings.backlightTime = bytes[kValueAt];
        break;
    case op::kSetBacklightBrightness:
        m_settings.backlightBrightness = bytes[kValueAt];
        break;
    default:
        break;
    }
}

bool MatrixModel::ApplyRoutingText(const std::string& text) {
    m_routingTexts.push_back(text);
    if (text == "All#.") {
        for (int m = 1; m <= kPorts; ++m) {
            m_settings.routing[static_cast<std::size_t>(m - 1)] = static_cast<std::uint8_t>(m);
        }
        return true;
    }
    std::size_t at = 0;
    const std::optional<int> input = ReadPort(text, at);
    if (!input) {
        return false;
    }
    const auto routed = static_cast<std::uint8_t>(*input);
    if (text.substr(at) == "All.") {
        m_settings.routing.fill(routed);
        return true;
    }
    if (at >= text.size() || text[at] != 'V') {
        return false;
    }
    // "nV1,4,8.": the outputs are applied only when the whole text reads.
    std::array<bool, kPorts> outputs{};
    ++at;
    while (true) {
        const std::optional<int> output = ReadPort(text, at);
        if (!output || at >= text.size()) {
            return false;
        }
        outputs[static_cast<std::size_t>(*output - 1)] = true;
        if (text[at] == '.' && at + 1 == text.size()) {
            break;
        }
        if (text[at] != ',') {
            return false;
        }
        ++at;
    }
    for (std::size_t m = 0; m < outputs.size(); ++m) {
        if (outputs[m]) {
            m_settings.routing[m] = routed;
        }
    }
    return true;
}

void MatrixModel::Answer(SimulatedUnit& unit, const Ipv4Address& to, std::uint8_t linkByte,
                         std::uint8_t opcode, std::span<const std::uint8_t> data) {
    if (m_fault == MatrixReplyFault::Silent) {
        return;
    }
    Frame reply = BuildUnitFrame(unit.Config(), linkByte,
                                 m_fault == MatrixReplyFault::WrongOpcode ? op::kUnknown : opcode, data);
    if (m_fault == MatrixReplyFault::Short) {
        reply.resize(kShortReplySize);
    }
    SimulatedUnit& sender =
        m_fault == MatrixReplyFault::FromNeighbour && m_neighbour != nullptr ? *m_neighbour : unit;
    m_lastReplyAt = std::chrono::steady_clock::now();
    sender.SendTo(to, reply);
}

} // namespace brenvik::sim
