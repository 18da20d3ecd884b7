#include "matrix/core/matrix_queries.h"

#include "link/frame.h"
#include "link/text_codec.h"
#include "matrix/core/matrix_frames.h"
#include "matrix/core/matrix_opcodes.h"

#include <algorithm>
#include <memory>

namespace brenvik {

namespace {

namespace state_offset {
constexpr std::size_t kRouting = frame_offset::kUnitData;
constexpr std::size_t kLock = 26;
constexpr std::size_t kAddressMode = 27;
constexpr std::size_t kNameLength = 28;
constexpr std::size_t kName = 29;
} // namespace state_offset

namespace backlight_offset {
constexpr std::size_t kTime = frame_offset::kUnitData;
constexpr std::size_t kBrightness = 19;
} // namespace backlight_offset

bool HasOpcode(std::span<const std::uint8_t> bytes, std::uint8_t opcode) {
    return bytes.size() > frame_offset::kOpcode && bytes[frame_offset::kOpcode] == opcode;
}

bool Ran(ExchangeOutcome outcome) {
    // A LAN socket that could not be had still counts as a query that ran (and found no reply):
    // the console goes on with what it holds.
    return (RequestSent(outcome) && outcome != ExchangeOutcome::Cancelled) ||
           outcome == ExchangeOutcome::SocketUnavailable;
}

// A query of one reply kind: `read` turns bytes into the reply or nothing.
template <typename Reply>
void StartQuery(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel, Frame request,
                std::size_t streamNeeds, std::optional<Reply> (*read)(std::span<const std::uint8_t>),
                std::function<void(MatrixQueryResult<Reply>)> done) {
    // Written on the link thread by the collector and read by `done` after it.
    auto taken = std::make_shared<std::optional<Reply>>();
    std::optional<Ipv4Address> unitAddress;
    if (unit) {
        unitAddress = Ipv4Address::Parse(unit->Ip(), 0);
    }

    Exchange exchange;
    exchange.request = std::move(request);
    exchange.datagramWindow = kMatrixLanReplyWindow;
    // Any other sender's datagram, one with another opcode and one too short for its fields are
    // passed over; the wait goes on for the unit's own reply.
    exchange.takeDatagram = [taken, unitAddress, read](std::span<const std::uint8_t> datagram,
                                                       const Ipv4Address& from) {
        if (!unitAddress || from.octets != unitAddress->octets) {
            return false;
        }
        *taken = read(datagram);
        return taken->has_value();
    };
    exchange.streamWindow = kMatrixSerialReplyWindow;
    // The line carries no datagram boundaries: once enough bytes have come they are the reply, and a
    // reply with another opcode ends the query without one.
    exchange.takeStream = [taken, streamNeeds, read](std::span<const std::uint8_t> received) {
        if (received.size() < streamNeeds) {
            return false;
        }
        *taken = read(received);
        return true;
    };
    exchange.done = [taken, done = std::move(done)](ExchangeOutcome outcome) {
        MatrixQueryResult<Reply> result;
        result.ran = Ran(outcome);
        if (result.ran) {
            result.reply = *taken;
        }
        done(std::move(result));
    };
    link.StartExchange(unit, std::move(exchange), std::move(cancel));
}

} // namespace

std::optional<MatrixStateReply> ReadMatrixStateReply(std::span<const std::uint8_t> bytes) {
    if (!HasOpcode(bytes, matrix_opcode::kQueryState) || bytes.size() <= state_offset::kNameLength) {
        return std::nullopt;
    }
    MatrixStateReply reply;
    std::copy_n(bytes.begin() + state_offset::kRouting, kMatrixPorts, reply.routing.begin());
    reply.locked = bytes[state_offset::kLock] != 0;
    reply.addressMode = bytes[state_offset::kAddressMode];
    const std::size_t nameBytes = bytes[state_offset::kNameLength];
    if (nameBytes >= 1 && nameBytes <= kMatrixNameMaxBytes) {
        if (bytes.size() < state_offset::kName + nameBytes) {
            return std::nullopt;
        }
        reply.name = FromUtf16le(bytes.subspan(state_offset::kName, nameBytes), nameBytes);
    }
    return reply;
}

std::optional<BacklightReply> ReadBacklightReply(std::span<const std::uint8_t> bytes) {
    if (!HasOpcode(bytes, matrix_opcode::kQueryBacklight) || bytes.size() <= backlight_offset::kBrightness) {
        return std::nullopt;
    }
    return BacklightReply{bytes[backlight_offset::kTime], bytes[backlight_offset::kBrightness]};
}

void QueryMatrixState(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel,
                      std::function<void(MatrixStateRead)> done) {
    StartQuery<MatrixStateReply>(link, unit, std::move(cancel), BuildQueryMatrixState(link.LinkByte()),
                                 kMatrixStateStreamNeeds, &ReadMatrixStateReply, std::move(done));
}

void QueryBacklight(UnitLink& link, const std::optional<DeviceEntry>& unit, std::stop_token cancel,
                    std::function<void(BacklightRead)> done) {
    StartQuery<BacklightReply>(link, unit, std::move(cancel), BuildQueryBacklight(link.LinkByte()),
                               kBacklightReplySize, &ReadBacklightReply, std::move(done));
}

} // namespace brenvik
