#include "multiviewer/core/status_receiver_thread.h"

#include "link/frame.h"
#include "multiviewer/core/status_report.h"

#include <array>
#include <vector>

namespace brenvik {

std::unique_ptr<StatusReceiverThread> StatusReceiverThread::Start(UnitLink& link,
                                                                  const std::optional<DeviceEntry>& unit,
                                                                  UiDispatcher& ui,
                                                                  StatusReportApplier& applier) {
    return Start(link, unit, ui, applier, Timing{});
}

std::unique_ptr<StatusReceiverThread>
StatusReceiverThread::Start(UnitLink& link, const std::optional<DeviceEntry>& unit, UiDispatcher& ui,
                            StatusReportApplier& applier, Timing timing) {
    auto socket = link.OpenStatusSocket(unit);
    if (!socket || !unit) {
        return nullptr;
    }
    return std::make_unique<StatusReceiverThread>(std::move(*socket), *unit, link, ui, applier, timing);
}

StatusReceiverThread::StatusReceiverThread(StatusSocket socket, const DeviceEntry& unit, UnitLink& link,
                                           UiDispatcher& ui, StatusReportApplier& applier, Timing timing)
    : m_unit(unit), m_link(link), m_ui(ui), m_applier(applier), m_timing(timing) {
    m_thread = std::jthread([this, owned = std::move(socket)](std::stop_token stop) mutable {
        Run(stop, owned);
        // The socket closes with the lambda as the thread ends.
    });
}

StatusReceiverThread::~StatusReceiverThread() {
    m_thread.request_stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void StatusReceiverThread::RequestStop() {
    m_thread.request_stop();
}

void StatusReceiverThread::Run(std::stop_token stop, StatusSocket& socket) {
    std::array<std::uint8_t, kReportBufferSize> buffer{};
    std::vector<std::vector<std::uint8_t>> batch;
    const std::stop_callback wakeOnStop(stop, [this] { m_stopped.Notify(); });
    while (!stop.stop_requested()) {
        if (!socket.WaitReadable(m_timing.poll, m_stopped)) {
            continue;
        }
        // Reports that follow each other are handled without a pause, and handed over together:
        // one task per burst keeps the UI thread's wake-ups few while a unit floods.
        while (!stop.stop_requested()) {
            const auto received = socket.Receive(buffer);
            if (!received) {
                break;
            }
            const auto report = std::span<const std::uint8_t>(buffer).first(*received);
            if (!IsAcceptableReport(report, m_unit)) {
                continue;
            }
            const std::uint8_t opcode = report[frame_offset::kOpcode];
            if (IsSettingsReplacedReport(opcode)) {
                PostReports(batch);
                HandleSettingsReplaced(opcode, stop);
                continue;
            }
            batch.emplace_back(report.begin(), report.end());
            if (batch.size() == kMaxBatch) {
                PostReports(batch);
            }
        }
        PostReports(batch);
    }
    m_running.store(false, std::memory_order_release);
}

void StatusReceiverThread::PostReports(std::vector<std::vector<std::uint8_t>>& batch) {
    if (batch.empty()) {
        return;
    }
    m_ui.Post([&applier = m_applier, reports = std::move(batch)] {
        for (const auto& report : reports) {
            applier.Apply(report);
        }
    });
    batch.clear();
}

namespace {

// Where the link thread leaves a re-read for the receiver thread. Shared by both, so that a link
// that answers after the receiver has gone writes into something that still exists.
struct RereadMailbox {
    std::mutex mutex; // guards read
    std::condition_variable_any arrived;
    std::optional<StateRead> read;
};

} // namespace

void StatusReceiverThread::HandleSettingsReplaced(std::uint8_t opcode, std::stop_token stop) {
    // The re-read goes through the link thread like every other exchange, so the operator's
    // commands keep leaving while it waits; this thread waits for it, as no report may be applied
    // before it.
    auto mailbox = std::make_shared<RereadMailbox>();
    QueryUnitState(
        m_link, m_unit, stop,
        [mailbox](StateRead read) {
            {
                std::lock_guard lock(mailbox->mutex);
                mailbox->read = std::move(read);
            }
            mailbox->arrived.notify_all();
        },
        m_timing.stateRead);
    StateRead read;
    {
        std::unique_lock lock(mailbox->mutex);
        // The link answers within the read's window once the exchange starts; the bound covers
        // the operations queued before it.
        if (!mailbox->arrived.wait_for(lock, stop, m_timing.stateRead * 4, [&] { return mailbox->read.has_value(); }) ||
            mailbox->read->outcome == StateRead::Outcome::Stopped) {
            return;
        }
        read = *mailbox->read;
    }
    m_ui.Post([&applier = m_applier, read] { applier.ApplyStateRead(read); });
    // Reports that arrive during the wait stay queued in the socket.
    if (!SleepUnlessStopped(m_timing.afterReread, stop)) {
        return;
    }
    m_ui.Post([&applier = m_applier, opcode] { applier.FinishSettingsReplaced(opcode); });
}

bool StatusReceiverThread::SleepUnlessStopped(std::chrono::milliseconds duration, std::stop_token stop) {
    std::unique_lock lock(m_waitMutex);
    m_wakeUp.wait_for(lock, stop, duration, [] { return false; });
    return !stop.stop_requested();
}

} // namespace brenvik
