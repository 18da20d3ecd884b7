// One LAN search answered by 256 simulated units at once, on loopback: how many are listed, how
// long the search takes and how much CPU the link thread, which runs it, spends in its window.
#include "link/console_link.h"
#include "link/discovery.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::size_t kUnits = 256;
constexpr int kRuns = 5;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The CPU time of the link thread so far, read on that thread.
double LinkThreadCpuMs(brenvik::ConsoleLink& link) {
    return *brenvik::test::Await<double>([&](auto done) { link.RunOnLinkThread([done] { done(ThreadCpuMs()); }); });
}

} // namespace

int main() {
    using namespace brenvik;
    const Endpoints endpoints = test::LoopbackEndpoints();
    test::RecordingMessages messages;
    ConsoleLink link(endpoints, messages);
    sim::UnitSimulator simulator(endpoints);
    for (const sim::UnitConfig& unit : sim::FloodUnits(kUnits)) {
        simulator.AddUnit(unit);
    }
    if (!simulator.Start()) {
        std::fprintf(stderr, "simulator: %s\n", simulator.StartError().c_str());
        return 1;
    }

    std::printf("discovery of %zu units on loopback, window %lld ms\n", kUnits,
                static_cast<long long>(kLanDiscoveryWindow.count()));
    std::printf("%-4s %-12s %-14s %-14s\n", "run", "listed", "wall ms", "link cpu ms");
    bool allListed = true;
    for (int run = 1; run <= kRuns; ++run) {
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = LinkThreadCpuMs(link);
        // The search runs on the link thread; this thread waits for it, as a search command would.
        const auto result = test::Await<DiscoveryResult>(
            [&](auto done) { StartDiscovery(link, {}, std::move(done)); });
        const double cpu = LinkThreadCpuMs(link) - cpuStart;
        const double wall =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
        allListed = allListed && (result ? result->units.size() : 0) == kUnits;
        std::printf("%-4d %3zu/%-8zu %-14.1f %-14.2f\n", run, (result ? result->units.size() : 0), kUnits, wall, cpu);
    }
    std::printf("goals: %zu/%zu listed, wall 2000 +- 20 ms, link thread cpu < 50 ms\n", kUnits, kUnits);
    return allListed ? 0 : 2;
}
