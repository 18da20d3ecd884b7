// receiver_bench: how fast a multiviewer's reports reach the record on the UI side.
//
//   latency    10 000 signal reports, one every 250 us: time from the simulator's send to the
//              moment the UI thread has applied the report (p50, p99, max)
//   rate       reports at a fixed rate for 10 s each, for a few rates: the highest rate at which
//              every report was applied
//   idle       the process's CPU over 10 s while only the receiver runs, as % of one core, and
//              beside it what a bare 20 ms socket wait loop costs the same machine
//
// Usage: receiver_bench [latency|rate|idle]
#include "link/console_link.h"
#include "link/task_queue.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using namespace brenvik;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::array<std::uint8_t, 4> kUnitId{0x42, 0x45, 0x4E, 0x43};

// A UI thread of its own that runs posted tasks in order, as the Qt event loop would; it owns the
// session from the first report on.
class UiThread : public UiDispatcher {
public:
    UiThread()
        : m_thread([this](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  m_queue.RunUntil([&stop] { return stop.stop_requested(); }, std::chrono::hours(1));
              }
          }) {}
    ~UiThread() override { Stop(); }
    void Post(std::function<void()> task) override { m_queue.Post(std::move(task)); }
    void PostAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        m_queue.PostAfter(delay, std::move(task));
    }
    // Ends the thread once the task it runs is done; what is still queued is dropped.
    void Stop() {
        if (m_thread.joinable()) {
            m_thread.request_stop();
            m_queue.Post([] {}); // wakes the queue's wait
            m_thread.join();
        }
    }

private:
    TaskQueue m_queue;
    std::jthread m_thread; // last: started after the queue exists
};

// Notes when each report has been applied: the session tells the signal report's change once the
// record holds it.
class ApplyClock : public MultiviewerObserver {
public:
    explicit ApplyClock(std::size_t capacity) : m_applied(capacity) {}
    void FieldChanged(const MultiviewerChange& change) override {
        if (change.field != MultiviewerField::Signal) {
            return;
        }
        const std::size_t at = m_count.load(std::memory_order_relaxed);
        if (at < m_applied.size()) {
            m_applied[at] = Clock::now();
        }
        m_count.store(at + 1, std::memory_order_release);
    }
    void Replaced(RereadCause) override {}
    void NameShown(const std::optional<std::u16string>&) override {}
    void LockShown(bool) override {}
    std::size_t Count() const { return m_count.load(std::memory_order_acquire); }
    Clock::time_point At(std::size_t k) const { return m_applied[k]; }

private:
    std::vector<Clock::time_point> m_applied; // written by the UI thread only
    std::atomic<std::size_t> m_count{0};
};

struct Bench {
    explicit Bench(std::size_t capacity) : view(capacity) {
        sim::UnitConfig config;
        config.address = {127, 0, 0, 2};
        config.unitId = kUnitId;
        auto owned = std::make_unique<sim::MultiviewerModel>();
        model = owned.get();
        simulator.AddUnit(config, std::move(owned));
        DeviceEntry& entry = devices.At(0);
        entry.SetIp("127.0.0.2");
        entry.typeCode = kTypeMultiviewer;
        entry.unitAddress = 1;
        entry.unitId = kUnitId;
        devices.SetSelectedIndex(0);
        session.AddObserver(view);
    }
    // The receiver stops posting, then the UI thread stops running, before the session goes.
    ~Bench() {
        receiver.reset();
        ui.Stop();
    }

    bool Start() {
        if (!simulator.Start()) {
            std::fprintf(stderr, "simulator: %s\n", simulator.StartError().c_str());
            return false;
        }
        receiver = StatusReceiverThread::Start(link, devices.Selected(), ui, session);
        if (!receiver) {
            std::fprintf(stderr, "no status socket\n");
            return false;
        }
        // The unit reports to whoever spoke to it last: one query tells it where the console is.
        const Frame query = BuildFrame(kTypeMultiviewer, 1, 1, 0x0A);
        link.Send(devices.Selected(), query);
        return simulator.Unit(0).WaitForReceived(1, 2000ms);
    }

    // One signal report, as the unit sends it when an input changes.
    void SendSignal(std::size_t k) {
        const std::array<std::uint8_t, 3> values{static_cast<std::uint8_t>(k % 16), 1, 31};
        model->SendReport(simulator.Unit(0), 0x51, values);
    }

    bool WaitApplied(std::size_t count, std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (view.Count() < count && Clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        return view.Count() >= count;
    }

    Endpoints endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator simulator{endpoints, false};
    sim::MultiviewerModel* model = nullptr;
    test::RecordingMessages messages;
    ConsoleLink link{endpoints, messages};
    DeviceTable devices;
    bool locked = false;
    ApplyClock view;
    UiThread ui;
    MultiviewerSession session{link, devices, locked, ui};
    std::unique_ptr<StatusReceiverThread> receiver;
};

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void Latency() {
    constexpr std::size_t kReports = 10000;
    constexpr auto kSpacing = 250us;
    Bench bench(kReports);
    if (!bench.Start()) {
        return;
    }
    std::vector<Clock::time_point> sent(kReports);
    const auto start = Clock::now();
    for (std::size_t k = 0; k < kReports; ++k) {
        std::this_thread::sleep_until(start + k * kSpacing);
        bench.simulator.Invoke([&] {
            sent[k] = Clock::now();
            bench.SendSignal(k);
        });
    }
    if (!bench.WaitApplied(kReports, 5000ms)) {
        std::printf("latency: only %zu of %zu reports applied\n", bench.view.Count(), kReports);
        return;
    }
    std::vector<double> micros(kReports);
    for (std::size_t k = 0; k < kReports; ++k) {
        micros[k] = Micros(bench.view.At(k) - sent[k]);
    }
    std::sort(micros.begin(), micros.end());
    std::printf("latency over %zu reports: p50 %.1f us, p99 %.1f us, max %.1f us (goal p99 < 2000 us)\n",
                kReports, micros[kReports / 2], micros[kReports * 99 / 100], micros.back());
}

// Sends `rate` reports a second for `duration`, in batches every millisecond; returns how many
// of them were applied.
std::size_t SustainedRun(int rate, std::chrono::seconds duration, std::size_t& sentCount) {
    const std::size_t total = static_cast<std::size_t>(rate) * static_cast<std::size_t>(duration.count());
    Bench bench(0);
    if (!bench.Start()) {
        return 0;
    }
    std::size_t sent = 0;
    const auto start = Clock::now();
    while (sent < total) {
        const auto now = Clock::now();
        const double elapsed = std::chrono::duration<double>(now - start).count();
        const std::size_t due = std::min(total, static_cast<std::size_t>(elapsed * rate));
        if (due > sent) {
            bench.simulator.Invoke([&] {
                for (; sent < due; ++sent) {
                    bench.SendSignal(sent);
                }
            });
        }
        std::this_thread::sleep_until(now + 1ms);
    }
    bench.WaitApplied(total, 2000ms);
    sentCount = sent;
    return bench.view.Count();
}

void Rates() {
    int best = 0;
    for (int rate : {5000, 10000, 20000, 30000, 40000, 80000}) {
        std::size_t sent = 0;
        const std::size_t applied = SustainedRun(rate, 10s, sent);
        std::printf("rate %6d/s for 10 s: %zu sent, %zu applied, %zu lost\n", rate, sent, applied,
                    sent - applied);
        std::fflush(stdout);
        if (applied != sent) {
            break;
        }
        best = rate;
    }
    std::printf("highest loss-free rate tried: %d reports/s (goal 20000/s)\n", best);
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Idle() {
    constexpr auto kIdle = 10s;
    test::RecordingMessages messages;
    const Endpoints endpoints = test::LoopbackEndpoints();
    ConsoleLink link(endpoints, messages);
    DeviceTable devices;
    DeviceEntry& entry = devices.At(0);
    entry.SetIp("127.0.0.2");
    entry.unitId = kUnitId;
    devices.SetSelectedIndex(0);
    bool locked = false;
    UiThread ui;
    MultiviewerSession session(link, devices, locked, ui);
    auto receiver = StatusReceiverThread::Start(link, devices.Selected(), ui, session);
    if (!receiver) {
        std::fprintf(stderr, "no status socket\n");
        return;
    }
    // Nothing else runs now: the UI thread sleeps on its queue, this thread sleeps below.
    const double before = CpuSeconds();
    const auto start = Clock::now();
    std::this_thread::sleep_for(kIdle);
    const double cpu = CpuSeconds() - before;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("idle receiver: %.4f s CPU in %.1f s = %.3f %% of a core (goal < 0.2 %%)\n", cpu, wall,
                100.0 * cpu / wall);
    // The receiver stops posting, then the UI thread stops running, before the session goes.
    receiver.reset();
    ui.Stop();
}

// What one bare 20 ms wait on a socket costs this machine, for comparison with the receiver.
void IdleBaseline() {
    constexpr auto kIdle = 10s;
    auto socket = UdpSocket::Create();
    if (!socket || !socket->Bind(Ipv4Address{{127, 0, 0, 1}, 0})) {
        return;
    }
    const double before = CpuSeconds();
    const auto start = Clock::now();
    while (Clock::now() - start < kIdle) {
        socket->WaitReadable(20ms);
    }
    const double cpu = CpuSeconds() - before;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("bare 20 ms socket wait loop on this machine: %.3f %% of a core\n", 100.0 * cpu / wall);
}

} // namespace

// With no argument every part runs; "latency", "rate" or "idle" runs that part alone.
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "latency") {
        Latency();
        std::fflush(stdout);
    }
    if (only.empty() || only == "rate") {
        Rates();
        std::fflush(stdout);
    }
    if (only.empty() || only == "idle") {
        Idle();
        IdleBaseline();
    }
    return 0;
}
