#include "multiviewer/core/multiviewer_session.h"

#include "link/frame.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/core/state_block.h"
#include "multiviewer/core/status_report.h"

#include <algorithm>
#include <optional>

namespace brenvik {

namespace {

// How each cause reads the unit again. A load gives the unit its time to replace its settings
// before the read; a replacement the unit reports has happened already, but the unit's reports
// right after it wait as long. The unit's defaults bring the console's own selections back to
// "all" and window 1 too.
struct RereadPlan {
    bool settleBefore;
    bool holdReportsAfter;
    bool resetSelections;
};

constexpr RereadPlan PlanOf(RereadCause cause) {
    switch (cause) {
    case RereadCause::Opening:
        return {false, false, false};
    case RereadCause::UnitReplaced:
        return {false, true, true};
    case RereadCause::UnitLoadedCustom:
        return {false, true, false};
    case RereadCause::LoadDefault:
        return {true, false, true};
    case RereadCause::LoadCustom:
        return {true, false, false};
    }
    return {false, false, false};
}

RereadCause CauseOfReport(std::uint8_t opcode) {
    return opcode == mv_opcode::kLoadCustom ? RereadCause::UnitLoadedCustom : RereadCause::UnitReplaced;
}

} // namespace

// One re-read under way.
struct MultiviewerSession::RereadRun {
    std::uint64_t number = 0;
    RereadCause cause = RereadCause::Opening;
    std::stop_source stop; // cancels the state read on the link
    // Forwards the caller's cancel to `stop`; it may fire on any thread, so it touches nothing else.
    std::optional<std::stop_callback<std::function<void()>>> outsideCancel;
    std::function<void(RereadResult)> done;
    // How many of the held reports came before the request went out: the read answers for them.
    std::size_t heldBeforeRequest = 0;
};

MultiviewerSession::MultiviewerSession(UnitLink& link, const DeviceTable& devices, const bool& consoleLocked,
                                       UiDispatcher& ui)
    : MultiviewerSession(link, devices, consoleLocked, ui, Timing{}) {}

MultiviewerSession::MultiviewerSession(UnitLink& link, const DeviceTable& devices, const bool& consoleLocked,
                                       UiDispatcher& ui, Timing timing)
    : m_link(link), m_devices(devices), m_locked(consoleLocked), m_ui(ui), m_timing(timing),
      m_gate(ui) {
    RefreshAllDrawingData(m_state);
}

MultiviewerSession::~MultiviewerSession() {
    CancelReread();
    m_gate.Close();
}

void MultiviewerSession::AddObserver(MultiviewerObserver& observer) {
    m_observers.push_back(&observer);
}

void MultiviewerSession::RemoveObserver(MultiviewerObserver& observer) {
    std::erase(m_observers, &observer);
}

void MultiviewerSession::Changed(MultiviewerChange change) {
    RefreshDrawingData(m_state, change.field);
    // An observer may come or go while it is told (a page closing); the others are told all the same.
    const std::vector<MultiviewerObserver*> observers = m_observers;
    for (MultiviewerObserver* observer : observers) {
        observer->FieldChanged(change);
    }
}

void MultiviewerSession::ApplyReport(std::span<const std::uint8_t> report) {
    if (m_reread != nullptr) {
        if (m_heldReports.size() == kMaxHeldReports) {
            m_heldReports.pop_front();
        }
        m_heldReports.emplace_back(report.begin(), report.end());
        return;
    }
    ApplyOneReport(report);
}

void MultiviewerSession::ApplyOneReport(std::span<const std::uint8_t> report) {
    if (report.size() > frame_offset::kOpcode && IsSettingsReplacedReport(report[frame_offset::kOpcode])) {
        StartReread(CauseOfReport(report[frame_offset::kOpcode]), {}, {});
        return;
    }
    for (const MultiviewerChange& change : ApplyStatusReport(m_state, report)) {
        Changed(change);
    }
}

void MultiviewerSession::ApplyHeldReports() {
    // A held report that replaces the settings starts the next re-read; the reports after it stay
    // held for that one, in their order.
    while (!m_heldReports.empty() && m_reread == nullptr) {
        const std::vector<std::uint8_t> report = std::move(m_heldReports.front());
        m_heldReports.pop_front();
        ApplyOneReport(report);
    }
}

void MultiviewerSession::Reread(RereadCause cause, std::stop_token cancel, std::function<void(RereadResult)> done) {
    StartReread(cause, std::move(cancel), std::move(done));
}

void MultiviewerSession::StartReread(RereadCause cause, std::stop_token cancel, std::function<void(RereadResult)> done) {
    if (m_reread != nullptr) {
        // The newer read takes over; the older one's reply would be the older state.
        std::unique_ptr<RereadRun> older = std::move(m_reread);
        older->stop.request_stop();
        if (older->done) {
            older->done(RereadResult::NotRead);
        }
    }
    auto run = std::make_unique<RereadRun>();
    run->number = ++m_rereadRuns;
    run->cause = cause;
    run->done = std::move(done);
    if (cancel.stop_possible()) {
        // The caller's cancel may come on any thread: it stops the read on the link and has the
        // owning thread end the re-read at its next turn, so that held reports wait no longer.
        run->outsideCancel.emplace(std::move(cancel), [this, alive = Alive(), gate = m_gate,
                                                       stop = run->stop, number = run->number]() mutable {
            stop.request_stop();
            gate.Post([this, alive, number] {
                if (alive.lock() && IsCurrent(number)) {
                    EndReread(number);
                }
            });
        });
    }
    const std::uint64_t number = run->number;
    m_reread = std::move(run);
    if (PlanOf(cause).settleBefore) {
        m_ui.PostAfter(m_timing.unitSettles, [this, alive = Alive(), number] {
            if (alive.lock() && IsCurrent(number)) {
                ReadState(number);
            }
        });
        return;
    }
    ReadState(number);
}

bool MultiviewerSession::IsCurrent(std::uint64_t run) const {
    return m_reread != nullptr && m_reread->number == run;
}

void MultiviewerSession::ReadState(std::uint64_t run) {
    if (m_reread->stop.stop_requested()) {
        EndReread(run);
        return;
    }
    m_reread->heldBeforeRequest = m_heldReports.size();
    QueryUnitState(
        m_link, m_devices.Selected(), m_reread->stop.get_token(),
        [this, alive = Alive(), run, gate = m_gate](StateRead read) {
            // On the link thread: hand the read to the owning thread and nothing else.
            gate.Post([this, alive, run, read = std::move(read)] {
                if (alive.lock()) {
                    FinishRead(run, read);
                }
            });
        },
        m_timing.stateRead);
}

void MultiviewerSession::FinishRead(std::uint64_t run, const StateRead& read) {
    if (!IsCurrent(run)) {
        return;
    }
    // A cancel ends the re-read without applying it and without `done`, also when the answer was
    // already on its way here as the cancel came.
    if (m_reread->stop.stop_requested()) {
        EndReread(run);
        return;
    }
    std::function<void(RereadResult)> done = std::move(m_reread->done);
    const RereadPlan plan = PlanOf(m_reread->cause);
    const RereadCause cause = m_reread->cause;
    if (read.outcome == StateRead::Outcome::NotSent || read.outcome == StateRead::Outcome::Stopped) {
        EndReread(run);
        if (done) {
            done(RereadResult::NotRead);
        }
        return;
    }

    // A report that the unit replaced its settings, held while the unit settled after a load (the
    // unit's own word for that load), is answered by this read: it starts no second one.
    // (A flood past kMaxHeldReports may have dropped some of them meanwhile.)
    const std::size_t before = std::min(m_reread->heldBeforeRequest, m_heldReports.size());
    const auto answered = m_heldReports.begin() + static_cast<std::ptrdiff_t>(before);
    m_heldReports.erase(std::remove_if(m_heldReports.begin(), answered,
                                       [](const std::vector<std::uint8_t>& report) {
                                           return report.size() > frame_offset::kOpcode &&
                                                  IsSettingsReplacedReport(report[frame_offset::kOpcode]);
                                       }),
                        answered);

    if (read.block) {
        m_state.stateBlock = *read.block;
    }
    // A read that timed out decodes the block the record holds, as the unit last sent it.
    const std::optional<std::u16string> name = DecodeStateBlock(m_state.stateBlock, m_state);
    if (plan.resetSelections) {
        m_state.meterWindow = 0;
        m_state.formatColorWindow = 0;
        m_state.umdColorInput = 0;
    }
    RefreshAllDrawingData(m_state);
    const std::vector<MultiviewerObserver*> observers = m_observers;
    for (MultiviewerObserver* observer : observers) {
        observer->Replaced(cause);
        observer->NameShown(name);
        observer->LockShown(m_locked);
    }

    if (plan.holdReportsAfter) {
        m_ui.PostAfter(m_timing.unitSettles, [this, alive = Alive(), run] {
            if (alive.lock()) {
                EndReread(run);
            }
        });
    } else {
        EndReread(run);
    }
    if (done) {
        done(read.outcome == StateRead::Outcome::Answered ? RereadResult::Answered : RereadResult::TimedOut);
    }
}

void MultiviewerSession::EndReread(std::uint64_t run) {
    if (!IsCurrent(run)) {
        return;
    }
    m_reread.reset();
    ApplyHeldReports();
}

void MultiviewerSession::CancelReread() {
    if (m_reread != nullptr) {
        m_reread->stop.request_stop();
        m_reread.reset();
    }
    m_heldReports.clear();
}

bool MultiviewerSession::StoreStateFrame(std::span<const std::uint8_t> frame) {
    return brenvik::StoreStateFrame(frame, m_state);
}

void MultiviewerSession::SelectColourInput(std::uint8_t input) {
    if (input <= kWindowCount) {
        m_state.umdColorInput = input;
        Changed({MultiviewerField::ColourSelection});
    }
}

void MultiviewerSession::SelectColourWindow(std::uint8_t window) {
    if (window <= kWindowCount) {
        m_state.formatColorWindow = window;
        Changed({MultiviewerField::ColourSelection});
    }
}

void MultiviewerSession::SelectMeterWindow(std::uint8_t windowIndex) {
    if (windowIndex < kWindowCount) {
        m_state.meterWindow = windowIndex;
        Changed({MultiviewerField::MeterWindow});
    }
}

} // namespace brenvik
