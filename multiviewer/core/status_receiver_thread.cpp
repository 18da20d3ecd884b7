#include "multiviewer/core/status_receiver_thread.h"

#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/status_report.h"

#include <array>

namespace brenvik {

std::unique_ptr<StatusReceiverThread> StatusReceiverThread::Start(UnitLink& link,
                                                                  const std::optional<DeviceEntry>& unit,
                                                                  UiDispatcher& ui, ReportSink sink) {
    auto socket = link.OpenStatusSocket(unit);
    if (!socket || !unit) {
        return nullptr;
    }
    return std::make_unique<StatusReceiverThread>(std::move(*socket), *unit, ui, std::move(sink));
}

std::unique_ptr<StatusReceiverThread> StatusReceiverThread::Start(UnitLink& link,
                                                                  const std::optional<DeviceEntry>& unit,
                                                                  UiDispatcher& ui, MultiviewerSession& session) {
    return Start(link, unit, ui, [&session](std::span<const std::uint8_t> report) { session.ApplyReport(report); });
}

StatusReceiverThread::StatusReceiverThread(StatusSocket socket, const DeviceEntry& unit, UiDispatcher& ui,
                                           ReportSink sink)
    : m_unit(unit), m_ui(ui), m_sink(std::move(sink)) {
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
        if (!socket.WaitReadable(kPoll, m_stopped)) {
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
    // The task carries its own copy of the sink: it may run after this receiver has gone.
    m_ui.Post([sink = m_sink, reports = std::move(batch)] {
        for (const auto& report : reports) {
            sink(report);
        }
    });
    batch.clear();
}

} // namespace brenvik
