#include "multiviewer/core/unit_state_reader.h"

#include "link/frame.h"
#include "multiviewer/core/multiviewer_opcodes.h"

#include <algorithm>
#include <memory>

namespace brenvik {

namespace {

StateBlock BlockOf(std::span<const std::uint8_t> answer) {
    StateBlock block{};
    std::copy_n(answer.begin() + frame_offset::kUnitData, block.size(), block.begin());
    return block;
}

// On the LAN only a datagram of the right size, opcode and type code is the answer; every other
// datagram is passed over and the wait goes on.
bool IsStateAnswer(std::span<const std::uint8_t> datagram) {
    return datagram.size() >= kStateAnswerMinSize && datagram[frame_offset::kOpcode] == mv_opcode::kQueryState &&
           datagram[frame_offset::kTypeCode] == kTypeMultiviewer;
}

StateRead::Outcome ReadOutcome(ExchangeOutcome outcome) {
    switch (outcome) {
    case ExchangeOutcome::Completed:
        return StateRead::Outcome::Answered;
    case ExchangeOutcome::WindowEnded:
        return StateRead::Outcome::TimedOut;
    case ExchangeOutcome::Cancelled:
        return StateRead::Outcome::Stopped;
    case ExchangeOutcome::NotAddressed:
    case ExchangeOutcome::SocketUnavailable:
    case ExchangeOutcome::PortClosed:
        break;
    }
    return StateRead::Outcome::NotSent;
}

} // namespace

void QueryUnitState(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel,
                    std::function<void(StateRead)> done, std::chrono::milliseconds wait) {
    // The block is written on the link thread by the collector and read by `done` after it.
    auto block = std::make_shared<std::optional<StateBlock>>();
    Exchange exchange;
    // With no unit the link refuses before anything is built into a frame.
    if (unit) {
        exchange.request = BuildFrame(unit->typeCode, unit->unitAddress, link.LinkByte(), mv_opcode::kQueryState);
    }
    exchange.datagramWindow = wait;
    exchange.takeDatagram = [block](std::span<const std::uint8_t> datagram, const Ipv4Address&) {
        if (!IsStateAnswer(datagram)) {
            return false;
        }
        *block = BlockOf(datagram);
        return true;
    };
    // The serial line carries no datagram boundaries: the first 809 bytes that arrive are the answer.
    exchange.streamWindow = wait;
    exchange.takeStream = [block](std::span<const std::uint8_t> received) {
        if (received.size() < kStateAnswerMinSize) {
            return false;
        }
        *block = BlockOf(received);
        return true;
    };
    exchange.done = [block, done = std::move(done)](ExchangeOutcome outcome) {
        StateRead read{ReadOutcome(outcome), std::nullopt};
        if (read.outcome == StateRead::Outcome::Answered) {
            read.block = *block;
        }
        done(std::move(read));
    };
    link.StartExchange(unit, std::move(exchange), std::move(cancel));
}

} // namespace brenvik
