#include "sim/report_flood.h"

#include "sim/unit_frame.h"

#include <algorithm>
#include <array>

namespace brenvik::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kSignalReport = 0x51;
constexpr std::uint8_t kDefaultLoadedReport = 0x0B;
constexpr std::uint8_t kWindowCount = 16;
constexpr std::uint8_t kSignal1080p60 = 31;
constexpr auto kBurstPeriod = std::chrono::milliseconds(1);

} // namespace

ReportFlood::ReportFlood(const SimulatedUnit& unit, FloodPlan plan) : m_unit(unit), m_plan(plan) {
    const auto linkByte = static_cast<std::uint8_t>(LinkMode::Lan);
    // The signal report counts windows from 0, so index 16 is one past the last window.
    const std::uint8_t windows = plan.content == FloodContent::Applied ? kWindowCount : 1;
    const std::uint8_t first = plan.content == FloodContent::Applied ? 0 : kWindowCount;
    for (std::uint8_t window = first; window < first + windows; ++window) {
        const std::array<std::uint8_t, 3> values{window, 1, kSignal1080p60};
        m_reports.push_back(BuildUnitFrame(unit.Config(), linkByte, kSignalReport, values));
    }
    m_settingsReplaced = BuildUnitFrame(unit.Config(), linkByte, kDefaultLoadedReport, {});
}

ReportFlood::~ReportFlood() {
    Stop();
}

bool ReportFlood::Start() {
    if (m_thread.joinable()) {
        return true;
    }
    auto console = m_unit.LastConsole();
    if (!console) {
        return false;
    }
    console->port = m_unit.GetEndpoints().statusPort;
    auto socket = UdpSocket::Create();
    if (!socket || !socket->Bind(Ipv4Address{m_unit.Config().address, 0}) || !socket->SetNonBlocking()) {
        return false;
    }
    m_socket = std::move(socket);
    m_finished.store(false);
    m_thread = std::jthread([this, to = *console](std::stop_token stop) { Run(stop, to); });
    return true;
}

void ReportFlood::Stop() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
    m_finished.store(true);
}

void ReportFlood::Run(std::stop_token stop, Ipv4Address console) {
    const auto start = Clock::now();
    const auto end = start + m_plan.duration;
    const auto replacedEvery = m_plan.settingsReplacedEvery;
    auto nextReplaced = replacedEvery.count() > 0 ? start + replacedEvery : Clock::time_point::max();
    std::size_t sent = 0;
    for (auto burst = start; !stop.stop_requested();) {
        const auto now = Clock::now();
        if (now >= end) {
            break;
        }
        if (now >= nextReplaced) {
            if (m_socket->SendTo(console, m_settingsReplaced)) {
                m_replacedSent.fetch_add(1, std::memory_order_relaxed);
            }
            nextReplaced += replacedEvery;
        }
        // The count due comes from the clock, so a late burst sends what the missed ones owed.
        const auto due = static_cast<std::size_t>(std::chrono::duration<double>(now - start).count() *
                                                  m_plan.reportsPerSecond);
        for (; sent < due; ++sent) {
            if (m_socket->SendTo(console, m_reports[sent % m_reports.size()])) {
                m_reportsSent.fetch_add(1, std::memory_order_relaxed);
            }
        }
        burst = std::max(burst + kBurstPeriod, now);
        std::this_thread::sleep_until(burst);
    }
    m_finished.store(true);
}

} // namespace brenvik::sim
