#include "link/platform/serial_device.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace brenvik::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct BaudCode {
    unsigned baud;
    speed_t code;
};
constexpr std::array<BaudCode, 5> kBaudCodes{{
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

int PollOne(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd entry{fd, events, 0};
    int ready = -1;
    do {
        ready = poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(timeout.count(), 0)));
    } while (ready < 0 && errno == EINTR);
    return ready;
}

std::chrono::milliseconds Left(Clock::time_point deadline) {
    return std::chrono::ceil<std::chrono::milliseconds>(
        std::max(deadline - Clock::now(), Clock::duration::zero()));
}

} // namespace

SerialHandle OpenSerialDevice(const std::string& name) {
    // Non-blocking, so that opening never waits for a carrier; reads and writes wait with poll.
    const int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return kNoSerialHandle;
    }
    // The terminal's own exclusive mode turns away other users' opens; the lock also turns away a
    // second console run by the same privileged user, whom the exclusive mode lets through.
    if (isatty(fd) == 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        close(fd);
        return kNoSerialHandle;
    }
    return fd;
}

void CloseSerialDevice(SerialHandle handle) {
    if (handle == kNoSerialHandle) {
        return;
    }
    ioctl(handle, TIOCNXCL);
    close(handle);
}

bool ConfigureSerialLine(SerialHandle handle, unsigned baud) {
    const auto code = std::find_if(kBaudCodes.begin(), kBaudCodes.end(),
                                   [baud](const BaudCode& entry) { return entry.baud == baud; });
    termios settings{};
    if (code == kBaudCodes.end() || tcgetattr(handle, &settings) != 0) {
        return false;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | PARMRK | ISTRIP | IGNBRK | BRKINT | IGNCR | ICRNL |
                                               INLCR | IXON | IXOFF | IXANY);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, code->code) != 0 || cfsetospeed(&settings, code->code) != 0) {
        return false;
    }
    return tcsetattr(handle, TCSANOW, &settings) == 0;
}

bool PurgeSerialDevice(SerialHandle handle) {
    return tcflush(handle, TCIOFLUSH) == 0;
}

int SerialInputCount(SerialHandle handle) {
    int waiting = 0;
    return ioctl(handle, FIONREAD, &waiting) == 0 ? waiting : -1;
}

std::size_t WriteSerialDevice(SerialHandle handle, const std::uint8_t* bytes, std::size_t count,
                              std::chrono::milliseconds budget) {
    const auto deadline = Clock::now() + budget;
    std::size_t written = 0;
    while (written < count) {
        const ssize_t done = write(handle, bytes + written, count - written);
        if (done > 0) {
            written += static_cast<std::size_t>(done);
            continue;
        }
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if ((done < 0 && errno != EAGAIN) || Clock::now() >= deadline ||
            PollOne(handle, POLLOUT, Left(deadline)) <= 0) {
            break;
        }
    }
    return written;
}

std::size_t ReadSerialDevice(SerialHandle handle, std::uint8_t* buffer, std::size_t count,
                             SerialReadTimeouts timeouts) {
    const auto deadline = Clock::now() + timeouts.total;
    std::size_t got = 0;
    while (got < count) {
        const ssize_t done = read(handle, buffer + got, count - got);
        if (done > 0) {
            got += static_cast<std::size_t>(done);
            continue;
        }
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0 && errno != EAGAIN) {
            break;
        }
        // Nothing waits: before the first byte only the total limit counts, after it also the
        // silence between bytes.
        const std::chrono::milliseconds left = Left(deadline);
        const std::chrono::milliseconds wait = got > 0 ? std::min(left, timeouts.interval) : left;
        if (wait.count() == 0 || PollOne(handle, POLLIN, wait) <= 0) {
            break;
        }
    }
    return got;
}

SerialWaitResult WaitSerialEvent(SerialHandle handle, int wakeHandle,
                                 std::optional<std::chrono::milliseconds> timeout) {
    std::array<pollfd, 2> entries{{{wakeHandle, POLLIN, 0}, {handle, POLLIN, 0}}};
    int ready = -1;
    do {
        ready = poll(entries.data(), entries.size(), timeout ? static_cast<int>(timeout->count()) : -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return SerialWaitResult::Failed;
    }
    if (ready == 0) {
        return SerialWaitResult::TimedOut;
    }
    if ((entries[0].revents & POLLIN) != 0) {
        return SerialWaitResult::Woken;
    }
    // A hang-up (the other end of a pseudo-terminal closed) is no input to wait for.
    return (entries[1].revents & POLLIN) != 0 ? SerialWaitResult::Input : SerialWaitResult::Failed;
}

bool WaitWakeup(int wakeHandle, std::chrono::milliseconds timeout) {
    return PollOne(wakeHandle, POLLIN, timeout) > 0;
}

} // namespace brenvik::platform
