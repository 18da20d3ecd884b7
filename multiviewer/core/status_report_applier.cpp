#include "multiviewer/core/status_report_applier.h"
#include "multiviewer/core/multiviewer_opcodes.h"

#include "link/frame.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/core/page_controls.h"
#include "multiviewer/core/page_type.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/core/status_report.h"

#include <algorithm>
#include <array>

namespace brenvik {

namespace {

namespace pc = page_control;

// The values of a report, [18] onwards; the receiver has checked that the report holds them.
class Values {
public:
    explicit Values(std::span<const std::uint8_t> report) : m_report(report) {}
    std::uint8_t operator[](std::size_t k) const { return m_report[frame_offset::kUnitData + k]; }

private:
    std::span<const std::uint8_t> m_report;
};

struct Context {
    MultiviewerState& state;
    ConsoleView& view;

    // Only the page shown gets updates.
    void Page(std::uint8_t page, const PageUpdate& update) const {
        if (state.pageType == page) {
            view.UpdatePage(update);
        }
    }
    bool Shown(std::uint8_t page) const { return state.pageType == page; }
};

using Handler = void (*)(const Context& context, Values values);

void LayoutCode(const Context& c, Values v) {
    c.state.layoutCode = v[0];
    if (!c.Shown(kPageSwitcher)) {
        RecomputeLayoutGeometry(c.state, c.view);
    }
    c.Page(kPageLayout, PageUpdate::Refresh(kPageLayout));
    if (v[0] <= kWindowCount) {
        c.Page(kPageLayout, PageUpdate::Select(kPageLayout, pc::LayoutSourceList(1), v[0] - 1));
    }
}

void Source(const Context& c, Values v) {
    const std::uint8_t input = v[0];
    const int target = v[1];
    if (c.Shown(kPageSwitcher)) {
        c.state.loopRoute.At(target) = input;
        c.state.switcherCells.at(static_cast<std::size_t>(target - 1)).number = input;
    } else if (c.Shown(kPageLayout)) {
        c.state.windowSource.At(target) = input;
    }
    c.view.RedrawPreview();
    c.Page(kPageSwitcher, PageUpdate::Select(kPageSwitcher, pc::SwitcherOutputList(target), input - 1));
    c.Page(kPageLayout, PageUpdate::Select(kPageLayout, pc::LayoutSourceList(target), input - 1));
}

void WindowUmd(const Context& c, Values v) {
    const int window = v[0];
    c.state.umdOn.At(window) = v[1];
    c.view.RedrawPreview();
    c.Page(kPageUmdOverlay, PageUpdate::Image(kPageUmdOverlay, pc::UmdWindowButton(window),
                                              pc::UmdWindowPicture(window, v[1] != 0)));
}

// The on/off reports of one unit-wide flag and the toggle that shows it.
struct FlagReport {
    std::uint8_t MultiviewerState::*flag;
    bool redraw;
    std::uint8_t page;
    int button;
    int pictureOff;
    int pictureOn;
};

constexpr FlagReport kUmdAll{
    &MultiviewerState::umdAllOn, true, kPageUmdOverlay, pc::kAllUmdButton, pc::kAllUmdPictureOff,
    pc::kAllUmdPictureOn};
constexpr FlagReport kFormatStatus{&MultiviewerState::formatStatusOn,
                                   true,
                                   kPageControls,
                                   pc::kFormatStatusButton,
                                   pc::kFormatStatusPictureOff,
                                   pc::kFormatStatusPictureOn};
constexpr FlagReport kTimecode{
    &MultiviewerState::timecodeOn, false, kPageControls, pc::kTimecodeButton, pc::kTimecodePictureOff,
    pc::kTimecodePictureOn};
constexpr FlagReport kAudioAlarm{
    &MultiviewerState::audioAlarmOn, false, kPageControls, pc::kAudioAlarmButton, pc::kAudioAlarmPictureOff,
    pc::kAudioAlarmPictureOn};
constexpr FlagReport kAllMeters{
    &MultiviewerState::meterAllOn, true, kPageAudio, pc::kAllMetersButton, pc::kAllMetersPictureOff,
    pc::kAllMetersPictureOn};

template <const FlagReport& kReport> void Flag(const Context& c, Values v) {
    c.state.*kReport.flag = v[0];
    if (kReport.redraw) {
        c.view.RedrawPreview();
    }
    c.Page(kReport.page, PageUpdate::Image(kReport.page, kReport.button,
                                           v[0] != 0 ? kReport.pictureOn : kReport.pictureOff));
}

void Border(const Context& c, Values v) {
    c.state.borderOn = v[0];
    c.view.RedrawPreview();
    c.Page(kPageColors, PageUpdate::Select(kPageColors, pc::kBorderList, v[0]));
}

// A colour report: the target (0 = all, which stores into entry 1) becomes the colour page's
// selection, and the page shows the reported colour and the other colour of the same target.
struct ColourReport {
    std::uint8_t MultiviewerState::*selection;
    PerWindow<std::uint8_t> MultiviewerState::*colour;
    PerWindow<std::uint8_t> MultiviewerState::*otherColour;
    int selectorList;
    int colourList;
    int otherList;
    void (*refresh)(MultiviewerState&, ConsoleView&); // nullptr: just redraw
};

constexpr ColourReport kUmdTextColour{&MultiviewerState::umdColorInput,
                                      &MultiviewerState::umdTextColor,
                                      &MultiviewerState::umdBackColor,
                                      pc::kColourInputList,
                                      pc::kUmdTextColourList,
                                      pc::kUmdBackColourList,
                                      &RefreshUmdTextColors};
constexpr ColourReport kUmdBackColour{&MultiviewerState::umdColorInput,
                                      &MultiviewerState::umdBackColor,
                                      &MultiviewerState::umdTextColor,
                                      pc::kColourInputList,
                                      pc::kUmdBackColourList,
                                      pc::kUmdTextColourList,
                                      &RefreshUmdBackColors};
constexpr ColourReport kFormatTextColour{&MultiviewerState::formatColorWindow,
                                         &MultiviewerState::formatTextColor,
                                         &MultiviewerState::formatBackColor,
                                         pc::kColourWindowList,
                                         pc::kFormatTextColourList,
                                         pc::kFormatBackColourList,
                                         &RefreshFormatTextColors};
constexpr ColourReport kFormatBackColour{&MultiviewerState::formatColorWindow,
                                         &MultiviewerState::formatBackColor,
                                         &MultiviewerState::formatTextColor,
                                         pc::kColourWindowList,
                                         pc::kFormatBackColourList,
                                         pc::kFormatTextColourList,
                                         &RefreshFormatBackColors};
constexpr ColourReport kTimecodeTextColour{&MultiviewerState::formatColorWindow,
                                           &MultiviewerState::timecodeTextColor,
                                           &MultiviewerState::timecodeBackColor,
                                           pc::kColourWindowList,
                                           pc::kTimecodeTextColourList,
                                           pc::kTimecodeBackColourList,
                                           nullptr};
constexpr ColourReport kTimecodeBackColour{&MultiviewerState::formatColorWindow,
                                           &MultiviewerState::timecodeBackColor,
                                           &MultiviewerState::timecodeTextColor,
                                           pc::kColourWindowList,
                                           pc::kTimecodeBackColourList,
                                           pc::kTimecodeTextColourList,
                                           nullptr};

template <const ColourReport& kReport> void Colour(const Context& c, Values v) {
    const int target = v[0] == 0 ? 1 : v[0];
    c.state.*kReport.selection = v[0];
    (c.state.*kReport.colour).At(target) = v[1];
    if (kReport.refresh != nullptr) {
        kReport.refresh(c.state, c.view);
    } else {
        c.view.RedrawPreview();
    }
    c.Page(kPageColors, PageUpdate::Select(kPageColors, kReport.selectorList, v[0]));
    c.Page(kPageColors, PageUpdate::Select(kPageColors, kReport.colourList, v[1]));
    c.Page(kPageColors,
           PageUpdate::Select(kPageColors, kReport.otherList, (c.state.*kReport.otherColour).At(target)));
}

void OutputFormat(const Context& c, Values v) {
    c.state.outputFormat = v[1];
    if (const auto position = OutputFormatListPosition(v[1])) {
        c.Page(kPageControls, PageUpdate::Select(kPageControls, pc::kOutputFormatList, *position));
    }
}

void AudioSource(const Context& c, Values v) {
    c.state.audioSource = v[0];
    if (c.Shown(kPageAudio)) {
        c.view.RedrawPreview();
    }
    c.Page(kPageAudio, PageUpdate::Select(kPageAudio, pc::kAudioSourceList, v[0]));
}

void Meter(const Context& c, Values v) {
    const int window = v[0];
    c.state.meterWindow = static_cast<std::uint8_t>(window - 1);
    c.state.meterOn.At(window) = v[1];
    c.view.RedrawPreview();
    c.Page(kPageAudio, PageUpdate::Select(kPageAudio, pc::kMeterWindowList, window - 1));
    c.Page(kPageAudio, PageUpdate::MeterRadios(kPageAudio, c.state.meterOn.At(window) != 0));
    c.Page(kPageAudio,
           PageUpdate::Select(kPageAudio, pc::kMeterChannelList, c.state.meterChannel.At(window)));
}

void MeterChannel(const Context& c, Values v) {
    const int window = v[0];
    c.state.meterWindow = static_cast<std::uint8_t>(window - 1);
    c.state.meterChannel.At(window) = v[1];
    c.Page(kPageAudio, PageUpdate::Select(kPageAudio, pc::kMeterWindowList, window - 1));
    c.Page(kPageAudio, PageUpdate::Select(kPageAudio, pc::kMeterChannelList, v[1]));
    c.Page(kPageAudio, PageUpdate::MeterRadios(kPageAudio, c.state.meterOn.At(window) != 0));
}

// The signal report alone counts windows from 0.
void Signal(const Context& c, Values v) {
    const int window = v[0] + 1;
    c.state.signalPresent.At(window) = v[1];
    c.state.signalFormat.At(window) = v[2];
    RefreshFormatTexts(c.state);
    c.view.RedrawPreview();
}

struct ReportHandler {
    std::uint8_t opcode;
    Handler handler;
};

constexpr std::array<ReportHandler, 22> kReportHandlers{{
    {mv_opcode::kSetLayoutCode, &LayoutCode},
    {mv_opcode::kSetSource, &Source},
    {mv_opcode::kSetUmd, &WindowUmd},
    {mv_opcode::kSetUmdAll, &Flag<kUmdAll>},
    {mv_opcode::kSetUmdTextColor, &Colour<kUmdTextColour>},
    {mv_opcode::kSetUmdBackColor, &Colour<kUmdBackColour>},
    {mv_opcode::kSetFormatTextColor, &Colour<kFormatTextColour>},
    {mv_opcode::kSetFormatBackColor, &Colour<kFormatBackColour>},
    {mv_opcode::kSetTimecodeTextColor, &Colour<kTimecodeTextColour>},
    {mv_opcode::kSetTimecodeBackColor, &Colour<kTimecodeBackColour>},
    {mv_opcode::kSetBorder, &Border},
    {mv_opcode::kReportFormatStatus, &Flag<kFormatStatus>},
    {mv_opcode::kSetFormatStatus, &Flag<kFormatStatus>},
    {mv_opcode::kReportTimecode, &Flag<kTimecode>},
    {mv_opcode::kSetTimecode, &Flag<kTimecode>},
    {mv_opcode::kSetAudioAlarm, &Flag<kAudioAlarm>},
    {mv_opcode::kSetOutputFormat, &OutputFormat},
    {mv_opcode::kSetAudioSource, &AudioSource},
    {mv_opcode::kSetMeter, &Meter},
    {mv_opcode::kSetMeterAll, &Flag<kAllMeters>},
    {mv_opcode::kSetMeterChannel, &MeterChannel},
    {mv_opcode::kReportSignal, &Signal},
}};

// Every page refreshes itself after the unit replaced its settings; the SWITCHER page too, or its
// lists would keep showing the routing the unit no longer has.
constexpr std::array<std::uint8_t, 6> kPagesRefreshedAfterReplace{kPageLayout,   kPageUmdOverlay, kPageColors,
                                                                  kPageControls, kPageSwitcher,   kPageAudio};

} // namespace

void StatusReportApplier::Apply(std::span<const std::uint8_t> report) {
    if (report.size() <= frame_offset::kOpcode) {
        return;
    }
    const std::uint8_t opcode = report[frame_offset::kOpcode];
    const auto layout = FindReportLayout(opcode);
    const auto minimum = ReportMinimumLength(opcode);
    if (!layout || !minimum || report.size() < *minimum || !ReportNumbersInRange(*layout, report)) {
        return;
    }
    const auto* row =
        std::find_if(kReportHandlers.begin(), kReportHandlers.end(),
                     [opcode](const ReportHandler& handler) { return handler.opcode == opcode; });
    if (row == kReportHandlers.end()) {
        return;
    }
    row->handler(Context{m_state, m_view}, Values(report));
}

void StatusReportApplier::ApplyStateRead(const StateRead& read) {
    brenvik::ApplyStateRead(read, m_state, m_locked, m_mainWindow);
}

void StatusReportApplier::FinishSettingsReplaced(std::uint8_t opcode) {
    RefreshPreviewAll(m_state, m_view);
    if (opcode == mv_opcode::kLoadDefault || opcode == mv_opcode::kReportSettingsReplaced) {
        m_state.meterWindow = 0;
        m_state.formatColorWindow = 0;
        m_state.umdColorInput = 0;
    }
    const std::uint8_t page = m_state.pageType;
    if (std::find(kPagesRefreshedAfterReplace.begin(), kPagesRefreshedAfterReplace.end(), page) !=
        kPagesRefreshedAfterReplace.end()) {
        m_view.UpdatePage(PageUpdate::Refresh(page));
    }
}

} // namespace brenvik
