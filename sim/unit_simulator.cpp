#include "sim/unit_simulator.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace brenvik::sim {

namespace {

// Large enough for any datagram: the 809-byte state block and more.
constexpr std::size_t kReceiveBufferSize = 65536;
constexpr std::size_t kUnitsPerFloodOctet = 250;

void Wake(int fd) {
    const std::uint8_t byte = 1;
    // A full pipe already wakes the thread; a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
}

void DrainWakePipe(int fd) {
    std::array<std::uint8_t, 64> bytes{};
    while (read(fd, bytes.data(), bytes.size()) > 0) {
    }
}

} // namespace

UnitSimulator::UnitSimulator(Endpoints endpoints, bool listenForBroadcasts)
    : m_endpoints(std::move(endpoints)), m_listenForBroadcasts(listenForBroadcasts) {}

UnitSimulator::~UnitSimulator() {
    Stop();
    if (m_wakeRead >= 0) {
        close(m_wakeRead);
        close(m_wakeWrite);
    }
}

SimulatedUnit& UnitSimulator::AddUnit(UnitConfig config, std::unique_ptr<UnitBehaviour> behaviour) {
    if (m_thread.joinable()) {
        throw std::logic_error("units are added before the simulator starts");
    }
    m_units.push_back(std::make_unique<SimulatedUnit>(std::move(config), std::move(behaviour), m_endpoints));
    return *m_units.back();
}

bool UnitSimulator::Start() {
    if (m_thread.joinable()) {
        return true;
    }
    if (m_listenForBroadcasts && !m_listener) {
        auto listener = UdpSocket::Create();
        if (!listener || !listener->EnableAddressReuse() ||
            !listener->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.unitPort}) || !listener->SetNonBlocking()) {
            m_startError = "cannot listen for broadcasts on port " + std::to_string(m_endpoints.unitPort);
            return false;
        }
        m_listener = std::move(listener);
    }
    for (auto& unit : m_units) {
        if (unit->Handle() < 0 && !unit->Open()) {
            m_startError = "cannot bind unit address " + unit->Address().DottedText() + " port " +
                           std::to_string(m_endpoints.unitPort);
            return false;
        }
    }
    if (m_wakeRead < 0) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
            m_startError = "cannot create the wake-up pipe";
            return false;
        }
        m_wakeRead = fds[0];
        m_wakeWrite = fds[1];
    }
    {
        std::lock_guard lock(m_tasksMutex);
        m_acceptingTasks = true;
    }
    m_running.store(true);
    m_thread = std::thread(&UnitSimulator::Run, this);
    return true;
}

void UnitSimulator::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    m_running.store(false);
    Wake(m_wakeWrite);
    m_thread.join();
}

void UnitSimulator::Invoke(const std::function<void()>& task) {
    if (std::this_thread::get_id() == m_threadId.load()) {
        task();
        return;
    }
    std::unique_lock lock(m_tasksMutex);
    if (!m_acceptingTasks) {
        lock.unlock();
        task();
        return;
    }
    bool done = false;
    m_tasks.push_back(PendingTask{&task, &done});
    Wake(m_wakeWrite);
    m_taskDone.wait(lock, [&] { return done; });
}

void UnitSimulator::RunPendingTasks() {
    std::vector<PendingTask> tasks;
    {
        std::lock_guard lock(m_tasksMutex);
        tasks.swap(m_tasks);
    }
    if (tasks.empty()) {
        return;
    }
    for (const PendingTask& pending : tasks) {
        (*pending.task)();
    }
    {
        std::lock_guard lock(m_tasksMutex);
        for (const PendingTask& pending : tasks) {
            *pending.done = true;
        }
    }
    m_taskDone.notify_all();
}

void UnitSimulator::ReceiveOn(UdpSocket& socket, SimulatedUnit* unit) {
    std::vector<std::uint8_t> buffer(kReceiveBufferSize);
    Ipv4Address from;
    while (const auto received = socket.ReceiveFrom(buffer, &from)) {
        const auto datagram = std::span<const std::uint8_t>(buffer).first(*received);
        if (unit != nullptr) {
            unit->Deliver(datagram, from);
            continue;
        }
        for (auto& each : m_units) {
            each->Deliver(datagram, from);
        }
    }
}

void UnitSimulator::Run() {
    m_threadId.store(std::this_thread::get_id());
    // Slot 0 is the wake-up pipe, slot 1 the listener when there is one, then the units in order.
    std::vector<pollfd> slots;
    slots.push_back(pollfd{m_wakeRead, POLLIN, 0});
    const std::size_t firstUnit = m_listener ? 2 : 1;
    if (m_listener) {
        slots.push_back(pollfd{m_listener->Handle(), POLLIN, 0});
    }
    for (auto& unit : m_units) {
        slots.push_back(pollfd{unit->Handle(), POLLIN, 0});
    }

    while (m_running.load()) {
        const int ready = poll(slots.data(), slots.size(), -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (slots[0].revents != 0) {
            DrainWakePipe(m_wakeRead);
            RunPendingTasks();
        }
        if (m_listener && slots[1].revents != 0) {
            ReceiveOn(*m_listener, nullptr);
        }
        for (std::size_t i = firstUnit; i < slots.size(); ++i) {
            if (slots[i].revents != 0) {
                SimulatedUnit& unit = *m_units[i - firstUnit];
                ReceiveOn(*unit.m_socket, &unit);
            }
        }
    }

    // Tasks queued while the thread stopped still run, so that no caller of Invoke waits forever.
    {
        std::lock_guard lock(m_tasksMutex);
        m_acceptingTasks = false;
        for (const PendingTask& pending : m_tasks) {
            (*pending.task)();
            *pending.done = true;
        }
        m_tasks.clear();
    }
    m_taskDone.notify_all();
}

std::vector<UnitConfig> FloodUnits(std::size_t count) {
    static constexpr std::string_view kName = "16CH Monitorgrid";
    std::vector<UnitConfig> units;
    units.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        UnitConfig unit;
        unit.address = {127, 0, static_cast<std::uint8_t>(1 + i / kUnitsPerFloodOctet),
                        static_cast<std::uint8_t>(1 + i % kUnitsPerFloodOctet)};
        unit.modelName.assign(kName.begin(), kName.end());
        unit.unitId = {0x5A, static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 8),
                       static_cast<std::uint8_t>(i)};
        units.push_back(unit);
    }
    return units;
}

} // namespace brenvik::sim
