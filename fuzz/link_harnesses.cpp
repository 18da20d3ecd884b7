// The link's parsers of outside bytes: the serial frame scanner, the serial search's reply scan, the
// LAN discovery replies and the text decoders.
#include "fuzz/harnesses.h"
#include "fuzz/replay_link.h"

#include "link/discovery.h"
#include "link/frame.h"
#include "link/text_codec.h"

#include <optional>

namespace brenvik::fuzz {

void FuzzSerialFrames(std::span<const std::uint8_t> input) {
    // The handler ends the scan at frames whose opcode is odd, as a search ends at its reply.
    ScanSerialFrames(input, [](std::span<const std::uint8_t> frame) {
        return frame.size() > frame_offset::kOpcode && (frame[frame_offset::kOpcode] & 1) != 0;
    });
}

void FuzzSerialReplies(std::span<const std::uint8_t> input) {
    // The serial search scans its whole accumulation again after every read.
    std::vector<std::uint8_t> accumulated;
    for (const auto chunk : Pieces(input)) {
        accumulated.insert(accumulated.end(), chunk.begin(), chunk.end());
        if (ScanSerialReplies(accumulated).over) {
            return;
        }
    }
}

void FuzzLanDiscovery(std::span<const std::uint8_t> input) {
    ReplayLink link(LinkMode::Lan);
    std::size_t listed = 0;
    StartDiscovery(link, {}, [&listed](DiscoveryResult result) { listed = result.units.size(); });
    link.FeedDatagrams(Pieces(input), Ipv4Address{{10, 0, 0, 7}, 7000});
    link.End(ExchangeOutcome::WindowEnded);
    if (listed > kDeviceTableSize) {
        __builtin_trap();
    }
}

void FuzzSerialDiscovery(std::span<const std::uint8_t> input) {
    // The search as the serial line runs it: chunks as they arrive, all of them so far handed to the
    // collector each time, which looks only at the newest 1024 bytes.
    ReplayLink link(LinkMode::Serial);
    std::optional<DiscoveryResult> result;
    StartDiscovery(link, {}, [&result](DiscoveryResult found) { result = std::move(found); });
    const bool over = link.FeedStream(Pieces(input));
    link.End(over ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
    // The serial line has one unit: the search ends at the first reply it finds.
    if (!result || result->units.size() > 1 ||
        (result->units.empty() == (result->outcome == DiscoveryResult::Outcome::Found))) {
        __builtin_trap();
    }
    DeviceTable table;
    ApplyDiscovery(table, *result);
}

void FuzzUtf16Names(std::span<const std::uint8_t> input) {
    if (input.empty()) {
        return;
    }
    // The length byte a name record carries, then the bytes it describes.
    const std::size_t claimed = input[0];
    const std::u16string name = FromUtf16le(input.subspan(1), claimed);
    // An odd last byte is read as a code unit of its own, zero-filled as in the unit's buffer.
    if (name.size() > (claimed + 1) / 2) {
        __builtin_trap();
    }
    FromLatin1(input);
}

} // namespace brenvik::fuzz
