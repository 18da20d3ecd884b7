#pragma once

#include "link/device_table.h"
#include "link/platform/wakeup_event.h"
#include "link/status_socket.h"
#include "link/unit_link.h"
#include "multiviewer/core/status_report_applier.h"
#include "multiviewer/core/ui_dispatcher.h"
#include "multiviewer/core/unit_state_reader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace brenvik {

// The thread that receives a multiviewer's reports on the status socket. It only receives, checks
// the identifier and length, and posts copies to the UI thread, where the applier does the rest;
// after a settings-replaced report it also queues the state re-read on the link, waits for it and
// then for the unit to settle. Destroying the object stops the thread and joins it; every wait of
// the thread ends at once on a stop, the re-read's included (it is cancelled on the link).
class StatusReceiverThread {
public:
    // The most reports one task carries, so that a flood still reaches the record in steady steps.
    static constexpr std::size_t kMaxBatch = 32;

    struct Timing {
        // The longest receive wait while nothing arrives. A stop ends the wait at once (a wake-up
        // event), so the wait can be long and an idle receiver costs next to nothing.
        std::chrono::milliseconds poll{1000};
        std::chrono::milliseconds stateRead{kStateReadWait};
        std::chrono::milliseconds afterReread{3000}; // the unit settles after replacing its settings
    };

    // Opens the status socket for `unit` and starts the thread; nothing when the socket cannot be
    // opened (the console page then writes "create socket fail\n" and works without reports).
    // `ui` and `applier` must outlive the returned object; tasks posted to `ui` use `applier`.
    static std::unique_ptr<StatusReceiverThread> Start(UnitLink& link,
                                                       const std::optional<DeviceEntry>& unit,
                                                       UiDispatcher& ui, StatusReportApplier& applier);
    static std::unique_ptr<StatusReceiverThread> Start(UnitLink& link,
                                                       const std::optional<DeviceEntry>& unit,
                                                       UiDispatcher& ui, StatusReportApplier& applier,
                                                       Timing timing);

    StatusReceiverThread(StatusSocket socket, const DeviceEntry& unit, UnitLink& link, UiDispatcher& ui,
                         StatusReportApplier& applier, Timing timing);
    StatusReceiverThread(const StatusReceiverThread&) = delete;
    StatusReceiverThread& operator=(const StatusReceiverThread&) = delete;
    ~StatusReceiverThread();

    // Asks the thread to end; it does so at once. Does not wait.
    void RequestStop();
    // False once the thread has ended; it closes the status socket as it ends.
    bool Running() const { return m_running.load(std::memory_order_acquire); }

private:
    void Run(std::stop_token stop, StatusSocket& socket);
    // Hands the reports received so far to the UI thread in one task, in arrival order.
    void PostReports(std::vector<std::vector<std::uint8_t>>& batch);
    void HandleSettingsReplaced(std::uint8_t opcode, std::stop_token stop);
    // Waits `duration` unless a stop comes first; false when stopped.
    bool SleepUnlessStopped(std::chrono::milliseconds duration, std::stop_token stop);

    const DeviceEntry m_unit; // the unit the reports must come from
    UnitLink& m_link;         // for the state re-read
    UiDispatcher& m_ui;
    StatusReportApplier& m_applier; // used only inside tasks posted to m_ui
    const Timing m_timing;
    std::atomic<bool> m_running{true};
    WakeupEvent m_stopped;                // notified by a stop; ends the receive wait
    std::mutex m_waitMutex;               // guards nothing but the wait on m_wakeUp
    std::condition_variable_any m_wakeUp; // lets a stop cut the wait after a re-read short
    std::jthread m_thread; // last: started after, and joined before, everything above; owns the socket
};

} // namespace brenvik
