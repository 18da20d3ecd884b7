#include "link/discovery.h"

#include <memory>

#include "link/text_codec.h"

#include <algorithm>
#include <string_view>

namespace brenvik {

namespace {

constexpr std::uint8_t kNameSeparator = '-';
// After the separator at p: one byte, a second separator at p + 2, the identifier from p + 3.
constexpr std::size_t kSecondSeparatorAfter = 2;
constexpr std::size_t kIdentifierAfter = 3;
// Checksum and terminator close every reply; separators are looked for before them.
constexpr std::size_t kReplyTrailer = 3;

// A unit's whole-state frame on the serial line; a shorter one is still arriving.
constexpr std::uint8_t kOpcodeStateFrame = 0x32;
constexpr std::size_t kStateFrameMinLength = 809;

// Records every unit that one LAN discovery datagram describes. A reply carries its model name
// from offset 18 up to a "-" x "-" separator, and the identifier in the four bytes after it;
// every separator position counts, so one datagram can list a unit more than once, with the
// longer name that ends there. Identifier bytes beyond the received datagram read as zero.
void RecordLanReply(std::span<const std::uint8_t> datagram, const Ipv4Address& sender,
                    std::vector<DiscoveredUnit>& units) {
    if (datagram.size() <= frame_offset::kUnitAddress || datagram[frame_offset::kSync1] != kSync1 ||
        datagram[frame_offset::kSync2] != kSync2 || datagram.back() != kTerminator) {
        return;
    }
    if (!IsKnownTypeCode(datagram[frame_offset::kTypeCode])) {
        return;
    }
    const std::size_t scanLimit = datagram.size() - kReplyTrailer;
    const std::string ip = sender.DottedText();
    for (std::size_t p = frame_offset::kUnitData; p < scanLimit; ++p) {
        if (datagram[p] != kNameSeparator || datagram[p + kSecondSeparatorAfter] != kNameSeparator) {
            continue;
        }
        if (units.size() >= kDeviceTableSize) {
            return;
        }
        DeviceEntry entry;
        entry.SetIp(ip);
        entry.typeCode = datagram[frame_offset::kTypeCode];
        entry.unitAddress = datagram[frame_offset::kUnitAddress];
        for (std::size_t i = 0; i < entry.unitId.size(); ++i) {
            const std::size_t at = p + kIdentifierAfter + i;
            entry.unitId[i] = at < datagram.size() ? datagram[at] : 0x00;
        }
        units.push_back(
            {entry, FromLatin1(datagram.subspan(frame_offset::kUnitData, p - frame_offset::kUnitData))});
    }
}

} // namespace

void StartDiscovery(UnitLink& link, std::stop_token cancel, std::function<void(DiscoveryResult)> done,
                    std::chrono::milliseconds window, std::chrono::milliseconds serialWindow) {
    // The collectors live in the exchange's functions, on the link thread alone.
    auto units = std::make_shared<std::vector<DiscoveredUnit>>();
    auto serialFound = std::make_shared<SerialScanResult>();
    Exchange exchange;
    exchange.request = BuildDiscoveryRequest(link.LinkByte());
    exchange.broadcast = true;
    exchange.datagramWindow = window;
    exchange.takeDatagram = [units](std::span<const std::uint8_t> datagram, const Ipv4Address& from) {
        RecordLanReply(datagram, from, *units);
        return false; // every unit that answers within the window is listed
    };
    exchange.streamWindow = serialWindow;
    exchange.takeStream = [units, serialFound](std::span<const std::uint8_t> received) {
        // Only the newest bytes are kept: a reply that follows a long run of noise is still found.
        const std::size_t kept = std::min(received.size(), kSerialAccumulation);
        *serialFound = ScanSerialReplies(received.last(kept));
        if (serialFound->over && serialFound->entry && serialFound->modelName) {
            units->push_back({*serialFound->entry, *serialFound->modelName});
        }
        return serialFound->over;
    };
    exchange.done = [units, serialFound, done = std::move(done)](ExchangeOutcome outcome) {
        DiscoveryResult result;
        switch (outcome) {
        case ExchangeOutcome::Cancelled:
            return;
        case ExchangeOutcome::SocketUnavailable:
        case ExchangeOutcome::NotAddressed:
            result.outcome = DiscoveryResult::Outcome::SocketError;
            break;
        case ExchangeOutcome::PortClosed:
            result.outcome = DiscoveryResult::Outcome::SerialPortClosed;
            break;
        case ExchangeOutcome::WindowEnded:
        case ExchangeOutcome::Completed:
            result.units = std::move(*units);
            result.stateFrame = std::move(serialFound->stateFrame);
            result.outcome =
                result.units.empty() ? DiscoveryResult::Outcome::NoneFound : DiscoveryResult::Outcome::Found;
            break;
        }
        done(std::move(result));
    };
    link.StartExchange(std::nullopt, std::move(exchange), std::move(cancel));
}

namespace {

// Handles one whole frame of the serial search; true when it ends the scan.
bool HandleSerialFrame(std::span<const std::uint8_t> frame, SerialScanResult& result) {
    const std::uint8_t opcode = frame[frame_offset::kOpcode];
    if (opcode == kOpcodeDiscovery) {
        result.over = true;
        for (std::size_t j = frame_offset::kUnitData; j + kSecondSeparatorAfter < frame.size(); ++j) {
            if (frame[j] == kNameSeparator && frame[j + kSecondSeparatorAfter] == kNameSeparator) {
                result.modelName =
                    FromLatin1(frame.subspan(frame_offset::kUnitData, j - frame_offset::kUnitData));
                DeviceEntry entry;
                entry.typeCode = frame[frame_offset::kTypeCode];
                entry.unitAddress = frame[frame_offset::kUnitAddress];
                result.entry = entry;
                break;
            }
        }
        return true;
    }
    if (opcode == kOpcodeStateFrame) {
        // A short state frame ends this scan; the search goes on with the next pass.
        if (frame.size() >= kStateFrameMinLength) {
            result.stateFrame = Frame(frame.begin(), frame.end());
            result.over = true;
        }
        return true;
    }
    return false;
}

} // namespace

SerialScanResult ScanSerialReplies(std::span<const std::uint8_t> accumulated) {
    SerialScanResult result;
    ScanSerialFrames(accumulated, [&result](std::span<const std::uint8_t> frame) {
        return HandleSerialFrame(frame, result);
    });
    return result;
}

void ApplyDiscovery(DeviceTable& table, const DiscoveryResult& result) {
    table.SetSelectedIndex(-1);
    // A serial search that could not start leaves the table as it was.
    if (result.outcome == DiscoveryResult::Outcome::SerialPortClosed) {
        return;
    }
    table.Clear();
    const std::size_t count = std::min(result.units.size(), kDeviceTableSize);
    for (std::size_t i = 0; i < count; ++i) {
        table.At(i) = result.units[i].entry;
    }
    table.SetSelectedIndex(count > 0 ? 0 : -1);
}

} // namespace brenvik
