#pragma once

#include "link/device_table.h"
#include "link/platform/wakeup_event.h"
#include "link/status_socket.h"
#include "link/ui_dispatcher.h"
#include "link/unit_link.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace brenvik {

class MultiviewerSession;

// The thread that receives a multiviewer's reports on the status socket. It only receives, checks
// the identifier and length, and posts copies to the thread that owns the session, which applies
// them (and reads the state again after a report that the unit replaced its settings). Destroying
// the object stops the thread and joins it; its receive wait ends at once on a stop.
class StatusReceiverThread {
public:
    // The most reports one task carries, so that a flood still reaches the record in steady steps.
    static constexpr std::size_t kMaxBatch = 32;
    // The longest receive wait while nothing arrives. A stop ends the wait at once (a wake-up
    // event), so the wait can be long and an idle receiver costs next to nothing.
    static constexpr std::chrono::milliseconds kPoll{1000};

    // Where the reports go, on the owning thread: the session, or a test's recorder.
    using ReportSink = std::function<void(std::span<const std::uint8_t> report)>;

    // Opens the status socket for `unit` and starts the thread; nothing when the socket cannot be
    // opened (the console page then writes "create socket fail\n" and works without reports).
    // `ui` must outlive the returned object; tasks it runs after the sink has gone must be dropped
    // by it (the console's dispatcher is bound to the page).
    static std::unique_ptr<StatusReceiverThread> Start(UnitLink& link, const std::optional<DeviceEntry>& unit,
                                                       UiDispatcher& ui, ReportSink sink);
    static std::unique_ptr<StatusReceiverThread> Start(UnitLink& link, const std::optional<DeviceEntry>& unit,
                                                       UiDispatcher& ui, MultiviewerSession& session);

    StatusReceiverThread(StatusSocket socket, const DeviceEntry& unit, UiDispatcher& ui, ReportSink sink);
    StatusReceiverThread(const StatusReceiverThread&) = delete;
    StatusReceiverThread& operator=(const StatusReceiverThread&) = delete;
    ~StatusReceiverThread();

    // Asks the thread to end; it does so at once. Does not wait.
    void RequestStop();
    // False once the thread has ended; it closes the status socket as it ends.
    bool Running() const { return m_running.load(std::memory_order_acquire); }

private:
    void Run(std::stop_token stop, StatusSocket& socket);
    // Hands the reports received so far to the owning thread in one task, in arrival order.
    void PostReports(std::vector<std::vector<std::uint8_t>>& batch);

    const DeviceEntry m_unit; // the unit the reports must come from
    UiDispatcher& m_ui;
    const ReportSink m_sink; // copied into each task posted to m_ui, and called only there
    std::atomic<bool> m_running{true};
    WakeupEvent m_stopped; // notified by a stop; ends the receive wait
    std::jthread m_thread; // last: started after, and joined before, everything above; owns the socket
};

} // namespace brenvik
