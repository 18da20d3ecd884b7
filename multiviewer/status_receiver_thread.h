#pragma once

#include "link/console_link.h"
#include "link/device_table.h"
#include "link/udp_channel.h"
#include "status_report_applier.h"
#include "ui_dispatcher.h"
#include "unit_state_reader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace brenvik {

// The thread that receives a multiviewer's reports on the status socket. It only receives, checks
// the identifier and length, and posts copies to the UI thread, where the applier does the rest;
// after a settings-replaced report it also does the I/O of the state re-read and the wait that
// follows it. Destroying the object stops the thread and joins it; every wait of the thread ends
// within one poll interval of a stop.
class StatusReceiverThread {
public:
    struct Timing {
        std::chrono::milliseconds poll{20}; // receive wait while nothing arrives
        std::chrono::milliseconds stateRead{kStateReadWait};
        std::chrono::milliseconds afterReread{3000}; // the unit settles after replacing its settings
    };

    // Opens the status socket for `unit` and starts the thread; nothing when the socket cannot be
    // opened (the console page then writes "create socket fail\n" and works without reports).
    // `ui` and `applier` must outlive the returned object; tasks posted to `ui` use `applier`.
    static std::unique_ptr<StatusReceiverThread> Start(ConsoleLink& link,
                                                       const std::optional<DeviceEntry>& unit,
                                                       UiDispatcher& ui, StatusReportApplier& applier);
    static std::unique_ptr<StatusReceiverThread> Start(ConsoleLink& link,
                                                       const std::optional<DeviceEntry>& unit,
                                                       UiDispatcher& ui, StatusReportApplier& applier,
                                                       Timing timing);

    StatusReceiverThread(StatusSocket socket, const DeviceEntry& unit, ConsoleLink& link, UiDispatcher& ui,
                         StatusReportApplier& applier, Timing timing);
    StatusReceiverThread(const StatusReceiverThread&) = delete;
    StatusReceiverThread& operator=(const StatusReceiverThread&) = delete;
    ~StatusReceiverThread();

    // Asks the thread to end; it does so within one poll interval. Does not wait.
    void RequestStop();
    // False once the thread has ended; it closes the status socket as it ends.
    bool Running() const { return m_running.load(std::memory_order_acquire); }

private:
    void Run(std::stop_token stop, StatusSocket& socket);
    void HandleSettingsReplaced(std::uint8_t opcode, std::stop_token stop);
    // Waits `duration` unless a stop comes first; false when stopped.
    bool SleepUnlessStopped(std::chrono::milliseconds duration, std::stop_token stop);

    const DeviceEntry m_unit; // the unit the reports must come from
    ConsoleLink& m_link;      // for the state re-read
    UiDispatcher& m_ui;
    StatusReportApplier& m_applier; // used only inside tasks posted to m_ui
    const Timing m_timing;
    std::atomic<bool> m_running{true};
    std::mutex m_waitMutex;               // guards nothing but the wait on m_wakeUp
    std::condition_variable_any m_wakeUp; // lets a stop cut the wait after a re-read short
    std::jthread m_thread; // last: started after, and joined before, everything above; owns the socket
};

} // namespace brenvik
