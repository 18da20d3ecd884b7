#include "link/platform/wakeup_event.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace brenvik {

WakeupEvent::WakeupEvent() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (m_fd < 0) {
        throw std::runtime_error("eventfd failed");
    }
}

WakeupEvent::~WakeupEvent() {
    close(m_fd);
}

void WakeupEvent::Notify() {
    const std::uint64_t one = 1;
    ssize_t written = -1;
    do {
        written = write(m_fd, &one, sizeof(one));
    } while (written < 0 && errno == EINTR);
}

bool WakeupEvent::Notified() const {
    pollfd entry{m_fd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

void WakeupEvent::Reset() {
    std::uint64_t count = 0;
    ssize_t read = -1;
    do {
        read = ::read(m_fd, &count, sizeof(count));
    } while (read < 0 && errno == EINTR);
}

} // namespace brenvik
