// The multiviewer core's parsers of outside bytes: the state block with everything drawn from it,
// the status reports on every page, and the serial state read.
#include "fuzz/harnesses.h"
#include "fuzz/replay_link.h"

#include "multiviewer/core/console_view.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/main_window_hooks.h"
#include "multiviewer/core/preview_placement.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/core/state_block.h"
#include "multiviewer/core/status_report.h"
#include "multiviewer/core/status_report_applier.h"
#include "multiviewer/core/unit_state_reader.h"

#include <algorithm>

namespace brenvik::fuzz {

namespace {

class QuietView : public ConsoleView {
public:
    void RedrawPreview() override {}
    void UpdatePage(const PageUpdate&) override {}
};

class QuietMainWindow : public MainWindowHooks {
public:
    void ShowCustomNameText(const std::u16string&) override {}
    void ShowLockPicture(int) override {}
};

StateBlock BlockFrom(std::span<const std::uint8_t> input) {
    StateBlock block{};
    std::copy_n(input.begin(), std::min(input.size(), block.size()), block.begin());
    return block;
}

// What a state read brings about: the decode, then everything the console derives from the record.
void DecodeAndDraw(MultiviewerState& state, std::uint8_t otherLayout) {
    QuietView view;
    DecodeStateBlock(state.stateBlock, state);
    RecomputeSwitcherCells(state);
    RefreshPreviewAll(state, view);
    PlacePreview(state);
    // One more layout drawn from the input: the record's geometry stays, the code changes, as when
    // a layout report comes while the SWITCHER page is shown.
    state.layoutCode = otherLayout;
    PlacePreview(state);
    state.pageType = kSwitcherPageType;
    PlacePreview(state);
}

} // namespace

void FuzzStateBlock(std::span<const std::uint8_t> input) {
    MultiviewerState state = MultiviewerState::Defaults();
    state.stateBlock = BlockFrom(input);
    const std::uint8_t otherLayout =
        input.size() > state.stateBlock.size() ? input[state.stateBlock.size()] : 0;
    DecodeAndDraw(state, otherLayout);
}

void FuzzStatusReports(std::span<const std::uint8_t> input) {
    if (input.empty()) {
        return;
    }
    MultiviewerState state = MultiviewerState::Defaults();
    QuietView view;
    QuietMainWindow mainWindow;
    const bool locked = false;
    StatusReportApplier applier(state, view, mainWindow, locked);
    // The first byte picks the page shown (0 none, 1..6), as reports reach whichever page it is.
    state.pageType = static_cast<std::uint8_t>(input[0] % 7);
    DeviceEntry unit;
    unit.unitId = {0x0A, 0x0B, 0x0C, 0x0D};
    for (const auto report : Pieces(input.subspan(1))) {
        // The unit's own identifier is written in, so that the applier sees every report the
        // receiver would pass, not only those that happen to carry it.
        std::vector<std::uint8_t> stamped(report.begin(), report.end());
        for (std::size_t i = 0; i < unit.unitId.size() && frame_offset::kUnitId + i < stamped.size(); ++i) {
            stamped[frame_offset::kUnitId + i] = unit.unitId[i];
        }
        if (IsAcceptableReport(stamped, unit)) {
            applier.Apply(stamped);
        }
    }
    RefreshPreviewAll(state, view);
    PlacePreview(state);
}

void FuzzSerialStateRead(std::span<const std::uint8_t> input) {
    ReplayLink link(LinkMode::Serial);
    DeviceEntry unit;
    unit.typeCode = kTypeMultiviewer;
    std::optional<StateRead> read;
    QueryUnitState(link, unit, {}, [&read](StateRead answer) { read = std::move(answer); });
    const bool answered = link.FeedStream(Pieces(input));
    link.End(answered ? ExchangeOutcome::Completed : ExchangeOutcome::WindowEnded);
    if (!read) {
        __builtin_trap();
    }
    MultiviewerState state = MultiviewerState::Defaults();
    QuietMainWindow mainWindow;
    ApplyStateRead(*read, state, false, mainWindow);
    DecodeAndDraw(state, state.layoutCode);
}

} // namespace brenvik::fuzz
