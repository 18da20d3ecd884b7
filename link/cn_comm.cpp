#include "link/cn_comm.h"

namespace brenvik {

namespace {

// While bytes wait unread the port stays ready, so the watcher looks again after this pause
// instead of waiting on the port.
constexpr std::chrono::milliseconds kUnreadRecheck{10};
// A write may take 1 ms per byte on top of this before it gives up.
constexpr std::chrono::milliseconds kWriteBudget{10000};

std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) {
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

} // namespace

CnComm::~CnComm() {
    Close();
}

bool CnComm::Open(const std::string& name, unsigned baud) {
    if (CharacterCount(name) > kMaxNameLength) {
        return false;
    }
    Close();
    m_name = name;
    m_handle = platform::OpenSerialDevice(name);
    if (m_handle == platform::kNoSerialHandle) {
        return false;
    }
    if (!platform::ConfigureSerialLine(m_handle, baud) || !platform::PurgeSerialDevice(m_handle)) {
        Close();
        return false;
    }
    StartWatching();
    return true;
}

void CnComm::Close() {
    if (!IsOpen()) {
        return;
    }
    StopWatching();
    platform::PurgeSerialDevice(m_handle);
    platform::CloseSerialDevice(m_handle);
    m_handle = platform::kNoSerialHandle;
}

int CnComm::InputCount() {
    return IsOpen() ? platform::SerialInputCount(m_handle) : -1;
}

std::size_t CnComm::Read(std::uint8_t* buffer, std::size_t count) {
    if (!IsOpen() || count == 0) {
        return 0;
    }
    return platform::ReadSerialDevice(m_handle, buffer, count, {kReadInterval, kReadTotal});
}

std::size_t CnComm::Write(const std::uint8_t* bytes, std::size_t count) {
    if (!IsOpen() || count == 0) {
        return 0;
    }
    const auto budget = kWriteBudget + std::chrono::milliseconds(count);
    return platform::WriteSerialDevice(m_handle, bytes, count, budget);
}

void CnComm::StartWatching() {
    m_stopWatching.Reset();
    m_watching.store(true);
    m_watcher = std::thread([this, handle = m_handle.load()] { WatchLoop(handle); });
}

void CnComm::StopWatching() {
    if (!m_watcher.joinable()) {
        return;
    }
    // Every wait of the loop also waits on the stop event, so the join returns at once; no thread
    // is ever cut short.
    m_stopWatching.Notify();
    m_watcher.join();
}

void CnComm::WatchLoop(platform::SerialHandle handle) {
    for (;;) {
        const int waiting = platform::SerialInputCount(handle);
        if (waiting != 0) {
            if (waiting > 0 && m_notifyReceived) {
                m_notifyReceived();
            }
            if (platform::WaitWakeup(m_stopWatching.Handle(), kUnreadRecheck)) {
                break;
            }
            continue;
        }
        const platform::SerialWaitResult result =
            platform::WaitSerialEvent(handle, m_stopWatching.Handle(), std::nullopt);
        if (result == platform::SerialWaitResult::Woken) {
            break;
        }
        // A port in trouble (a pseudo-terminal whose other end is gone stays "hung up") is looked
        // at again after a pause rather than in a tight loop.
        if (result == platform::SerialWaitResult::Failed &&
            platform::WaitWakeup(m_stopWatching.Handle(), kUnreadRecheck)) {
            break;
        }
    }
    m_watching.store(false);
}

} // namespace brenvik
