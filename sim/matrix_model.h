#pragma once

#include "sim/simulated_unit.h"
#include "sim/unit_behaviour.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brenvik::sim {

// Everything a matrix switcher keeps about itself and serves to the two queries.
struct MatrixSettings {
    std::array<std::uint8_t, 8> routing{1, 2, 3, 4, 5, 6, 7, 8}; // input per output; any byte is served
    std::uint8_t locked = 0;
    std::uint8_t dhcp = 0;
    std::u16string customName;
    // The length byte the state reply carries; nothing: the name's own length. Lets a test send 0
    // or 33 with a name behind it.
    std::optional<std::uint8_t> nameLengthByte;
    std::uint8_t backlightTime = 4;        // served as it is, also above 4
    std::uint8_t backlightBrightness = 80; // served as it is, also above 100
    bool operator==(const MatrixSettings&) const = default;
};

// How the unit spoils its replies to the two queries.
enum class MatrixReplyFault : std::uint8_t {
    None,
    Silent,        // no reply at all
    WrongOpcode,   // opcode 0x7E at 16
    Short,         // cut after offset 20, long before the name or the brightness
    FromNeighbour, // the reply comes from another unit's address (SetNeighbour), not its own
};

// A simulated 8 x 8 matrix switcher: applies the three routing texts ("3V1,4,8.", "5All.", "All#.")
// and the two backlight frames to its settings, and answers the state query (0x53, 64 bytes) and the
// backlight query (0x50, 23 bytes) from them. Runs on the simulator thread; tests reach it through
// UnitSimulator::Invoke.
class MatrixModel : public UnitBehaviour {
public:
    explicit MatrixModel(MatrixSettings settings = {});

    void OnDatagram(SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
                    const Ipv4Address& from) override;

    const MatrixSettings& Settings() const { return m_settings; }
    MatrixSettings& Settings() { return m_settings; }
    MatrixReplyFault& Fault() { return m_fault; }
    // The unit whose socket a FromNeighbour reply leaves from.
    void SetNeighbour(SimulatedUnit* neighbour) { m_neighbour = neighbour; }
    // Every routing text applied so far, in arrival order.
    const std::vector<std::string>& RoutingTexts() const { return m_routingTexts; }
    // When the last reply to a query left the unit.
    std::chrono::steady_clock::time_point LastReplyAt() const { return m_lastReplyAt; }

private:
    bool ApplyRoutingText(const std::string& text);
    void Answer(SimulatedUnit& unit, const Ipv4Address& to, std::uint8_t linkByte, std::uint8_t opcode,
                std::span<const std::uint8_t> data);

    MatrixSettings m_settings;
    MatrixReplyFault m_fault = MatrixReplyFault::None;
    SimulatedUnit* m_neighbour = nullptr;
    std::vector<std::string> m_routingTexts;
    std::chrono::steady_clock::time_point m_lastReplyAt{};
};

} // namespace brenvik::sim
