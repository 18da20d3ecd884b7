#pragma once

#include "multiviewer/core/console_view.h"
#include "multiviewer/core/main_window_hooks.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/core/unit_state_reader.h"

#include <cstdint>
#include <span>

namespace brenvik {

// Applies the unit's reports to the record, the preview and the setting page shown. UI thread
// only; the status receiver posts what it received and read to it.
class StatusReportApplier {
public:
    StatusReportApplier(MultiviewerState& state, ConsoleView& view, MainWindowHooks& mainWindow,
                        const bool& consoleLocked)
        : m_state(state), m_view(view), m_mainWindow(mainWindow), m_locked(consoleLocked) {}

    // One report, the whole datagram. Reports too short for their values, unknown opcodes and
    // window or input numbers outside what the report allows change nothing. The identifier is the
    // receiver's business. The settings-replaced reports do nothing here: their state read and the
    // steps after it come through ApplyStateRead and FinishSettingsReplaced.
    void Apply(std::span<const std::uint8_t> report);

    // The re-read after a settings-replaced report, as the receiver brought it back.
    void ApplyStateRead(const StateRead& read);

    // After the wait that follows the re-read: RefreshPreviewAll; for 0x0B and 0x38 the colour page
    // and audio page selections back to 0; then the refresh of the page shown.
    void FinishSettingsReplaced(std::uint8_t opcode);

private:
    MultiviewerState& m_state;
    ConsoleView& m_view;
    MainWindowHooks& m_mainWindow;
    const bool& m_locked;
};

} // namespace brenvik
