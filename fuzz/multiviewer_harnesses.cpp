// The multiviewer core's parsers of outside bytes: the state block with everything drawn from it,
// the status reports as the session applies them, and the serial state read.
#include "fuzz/harnesses.h"
#include "fuzz/replay_link.h"

#include "link/task_queue.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/preview_placement.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/core/state_block.h"
#include "multiviewer/core/status_report.h"

#include <algorithm>
#include <chrono>

namespace brenvik::fuzz {

namespace {

using namespace std::chrono_literals;

// The unit never needs time to settle here: every wait of the session ends when its queue runs.
constexpr MultiviewerSession::Timing kTiming{1000ms, 0ms};

StateBlock BlockFrom(std::span<const std::uint8_t> input) {
    StateBlock block{};
    std::copy_n(input.begin(), std::min(input.size(), block.size()), block.begin());
    return block;
}

// Both previews of the record, as the console draws them in either mode.
void Draw(const MultiviewerState& state) {
    PlacePreview(state, PreviewKind::Layout);
    PlacePreview(state, PreviewKind::SwitcherGrid);
}

// The selected multiviewer, with the session's results run on this thread.
struct Session {
    explicit Session(LinkMode mode) : link(mode) {
        devices.At(0).typeCode = kTypeMultiviewer;
        devices.At(0).unitAddress = 0x01;
        devices.At(0).unitId = {0x0A, 0x0B, 0x0C, 0x0D};
        devices.SetSelectedIndex(0);
    }

    ReplayLink link;
    DeviceTable devices;
    bool locked = false;
    TaskQueue queue;
    MultiviewerSession session{link, devices, locked, queue, kTiming};
};

} // namespace

void FuzzStateBlock(std::span<const std::uint8_t> input) {
    MultiviewerState state = MultiviewerState::Defaults();
    state.stateBlock = BlockFrom(input);
    DecodeStateBlock(state.stateBlock, state);
    RefreshAllDrawingData(state);
    Draw(state);
    // The placement must not trust the record to be consistent: the rectangles of one layout with
    // the code of another, taken from the input, are drawn as well.
    state.layoutCode = input.size() > state.stateBlock.size() ? input[state.stateBlock.size()] : 0;
    Draw(state);
}

void FuzzStatusReports(std::span<const std::uint8_t> input) {
    if (input.empty()) {
        return;
    }
    Session unit(LinkMode::Lan);
    // The first byte picks the unit's mode, which decides where a source report goes.
    unit.session.SetSwitcherMode(static_cast<std::uint8_t>(input[0] & 1));
    const DeviceEntry& entry = unit.devices.At(0);
    const auto reports = Pieces(input.subspan(1));
    for (const auto report : reports) {
        // The unit's own identifier is written in, so that the session sees every report the
        // receiver would pass, not only those that happen to carry it.
        std::vector<std::uint8_t> stamped(report.begin(), report.end());
        for (std::size_t i = 0; i < entry.unitId.size() && frame_offset::kUnitId + i < stamped.size(); ++i) {
            stamped[frame_offset::kUnitId + i] = entry.unitId[i];
        }
        if (IsAcceptableReport(stamped, entry)) {
            unit.session.ApplyReport(stamped);
        }
    }
    // A report that the unit replaced its settings started a re-read, and the reports after it are
    // held: the unit stays silent, and each re-read must end and apply what it held, which may start
    // the next. Every one of them was started by a report, so there are never more than those.
    for (std::size_t rereads = 0; unit.session.Rereading(); ++rereads) {
        if (rereads > reports.size()) {
            __builtin_trap();
        }
        unit.link.End(ExchangeOutcome::WindowEnded);
        unit.queue.RunPending();
    }
    Draw(unit.session.State());
}

void FuzzSerialStateRead(std::span<const std::uint8_t> input) {
    Session unit(LinkMode::Serial);
    std::optional<RereadResult> result;
    unit.session.Reread(RereadCause::Opening, {}, [&result](RereadResult r) { result = r; });
    const bool answered = unit.link.FeedStream(Pieces(input));
    unit.link.End(answered ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
    unit.queue.RunPending();
    if (!result || unit.session.Rereading()) {
        __builtin_trap();
    }
    Draw(unit.session.State());
}

} // namespace brenvik::fuzz
