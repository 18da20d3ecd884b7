#pragma once

#include "link/device_table.h"
#include "link/post_gate.h"
#include "link/ui_dispatcher.h"
#include "link/unit_link.h"
#include "multiviewer/core/multiviewer_observer.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/core/unit_state_reader.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace brenvik {

// One multiviewer as the console knows it: its record, the command set, the unit's reports and the
// one workflow that reads the whole state again. Qt-free. Every call, and every call of an
// observer, happens on the thread that owns the session (the UI thread); the link's results come
// back to it through the dispatcher.
//
// Who writes the record: the senders write what they send, with an explicit target, just before
// they queue the frame; the reports write what the unit reports, each applied whole; a state read
// writes everything. Each write recomputes the drawing data that follows from it and then tells the
// observers which field changed. Nothing else writes the record: pages read it and call the senders.
//
// Every sender does nothing and returns false while the console is locked, and so does one given a
// window, input or output outside what its command takes. Otherwise it stores, tells the observers
// and queues the frame for the selected unit, and returns whether the link queued it: the record
// keeps what was sent also when the link refused the frame, so that the console shows what the
// operator chose.
class MultiviewerSession {
public:
    struct Timing {
        std::chrono::milliseconds stateRead{kStateReadWait};
        // The unit takes this long to replace its settings: a load waits for it before the state is
        // read, and after the unit reports a replacement its next reports wait as long.
        std::chrono::milliseconds unitSettles{3000};
    };
    // The most reports held while the state is read again; a flood beyond it loses the oldest.
    static constexpr std::size_t kMaxHeldReports = 100000;

    MultiviewerSession(UnitLink& link, const DeviceTable& devices, const bool& consoleLocked, UiDispatcher& ui);
    MultiviewerSession(UnitLink& link, const DeviceTable& devices, const bool& consoleLocked, UiDispatcher& ui,
                       Timing timing);
    ~MultiviewerSession();
    MultiviewerSession(const MultiviewerSession&) = delete;
    MultiviewerSession& operator=(const MultiviewerSession&) = delete;

    void AddObserver(MultiviewerObserver& observer);
    void RemoveObserver(MultiviewerObserver& observer);

    const MultiviewerState& State() const { return m_state; }
    UnitLink& Link() const { return m_link; }

    // --- the unit's reports and the re-read ---

    // One report, the whole datagram, as the status receiver took it from the unit. A report that
    // the unit sends after replacing its settings starts the re-read; reports that come while a
    // re-read is under way are held and applied after it, in their order.
    void ApplyReport(std::span<const std::uint8_t> report);
    // Reads the unit's whole state again, as `cause` needs it: a load first gives the unit its time
    // to settle; a reported replacement holds the reports after the read for that time. `done` says
    // how it ended, on the owning thread. A cancel ends the re-read at the owning thread's next turn
    // without applying anything; `done` is then not called. Reports held for it are applied as it
    // ends; a report that the unit replaced its settings, held before the read went out, is
    // answered by the read and starts no second one.
    void Reread(RereadCause cause, std::stop_token cancel, std::function<void(RereadResult)> done);
    bool Rereading() const { return m_reread != nullptr; }
    // Ends the re-read under way without applying it and drops the reports held for it: the page
    // of this unit is going.
    void CancelReread();
    // A serial search's whole-state frame: the block is kept, to be decoded by the next read.
    bool StoreStateFrame(std::span<const std::uint8_t> frame);

    // --- the command set ---

    bool SetLayoutCode(std::uint8_t code);
    bool SetWindowSource(int window, int input);
    bool SetLoopRoute(int output, int input);
    bool RouteOneToOne();
    bool SetSwitcherMode(std::uint8_t switcherMode);
    // Window 1..16 sends 0x36 for that window; window 0 sends 0x5C for all of them.
    bool SetUmd(int window, std::uint8_t on);
    bool SetInputName(int input, const std::u16string& name);
    // Input or window 0 is "all": the frame carries 0 and every entry takes the colour.
    bool SetUmdTextColor(int input, std::uint8_t colour);
    bool SetUmdBackColor(int input, std::uint8_t colour);
    bool SetFormatTextColor(int window, std::uint8_t colour);
    bool SetFormatBackColor(int window, std::uint8_t colour);
    bool SetTimecodeTextColor(int window, std::uint8_t colour);
    bool SetTimecodeBackColor(int window, std::uint8_t colour);
    bool SetBorder(std::uint8_t on);
    bool SetFormatStatus(std::uint8_t on);
    bool SetTimecode(std::uint8_t on);
    bool SetAudioAlarm(std::uint8_t on);
    bool SetOutputFormat(std::uint8_t code);
    bool SetAudioSource(std::uint8_t source);
    // Window 1..16 sends 0x37 for that window; window 0 sends 0x5B for all of them.
    bool SetMeter(int window, std::uint8_t on);
    bool SetMeterChannel(int window, std::uint8_t channelPair);
    bool SetCustomName(const std::u16string& name);
    bool SaveCustom(std::uint8_t slot);
    // Sends the load, then reads the state again once the unit has settled (Reread); returns
    // whether the load was queued. While locked Load Default does nothing (`done` gets NotRead);
    // Load Custom sends nothing but still reads the state again.
    bool LoadDefault(std::stop_token cancel, std::function<void(RereadResult)> done);
    bool LoadCustom(std::uint8_t slot, std::stop_token cancel, std::function<void(RereadResult)> done);

    // The console's own selections, kept with the record so that a page opened again shows them;
    // nothing is sent. Colour input and window 0..16 (0 = all), meter window 0..15.
    void SelectColourInput(std::uint8_t input);
    void SelectColourWindow(std::uint8_t window);
    void SelectMeterWindow(std::uint8_t windowIndex);

private:
    struct RereadRun;

    void Changed(MultiviewerChange change);
    void StartReread(RereadCause cause, std::stop_token cancel, std::function<void(RereadResult)> done);
    void ReadState(std::uint64_t run);
    void FinishRead(std::uint64_t run, const StateRead& read);
    void EndReread(std::uint64_t run);
    void ApplyHeldReports();
    void ApplyOneReport(std::span<const std::uint8_t> report);
    bool IsCurrent(std::uint64_t run) const;
    std::weak_ptr<int> Alive() const { return m_alive; }

    bool Send(std::uint8_t opcode, std::span<const std::uint8_t> payload);
    bool SendFrame(const Frame& frame);
    bool SendFlag(std::uint8_t opcode, std::uint8_t MultiviewerState::*flag, MultiviewerField field,
                  std::uint8_t on);
    bool SendColour(std::uint8_t opcode, PerWindow<std::uint8_t> MultiviewerState::*colours,
                    MultiviewerField field, int target, std::uint8_t colour);
    bool SendSource(PerWindow<std::uint8_t> MultiviewerState::*targets, MultiviewerField field, int target,
                    int input);

    UnitLink& m_link;
    const DeviceTable& m_devices;
    const bool& m_locked;
    UiDispatcher& m_ui;
    const Timing m_timing;
    MultiviewerState m_state = MultiviewerState::Defaults();
    std::vector<MultiviewerObserver*> m_observers;

    PostGate m_gate; // the link thread's way back to the owning thread

    std::unique_ptr<RereadRun> m_reread; // the re-read under way
    std::uint64_t m_rereadRuns = 0;      // numbers each re-read; a result of an older one is dropped
    std::deque<std::vector<std::uint8_t>> m_heldReports;
    // Tasks posted back to the owning thread hold a weak copy: once the session is gone they do
    // nothing.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace brenvik
