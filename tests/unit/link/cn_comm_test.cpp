#include "link/cn_comm.h"
#include "link/platform/serial_port_list.h"
#include "tests/unit/link/pty_pair.h"

#include <gtest/gtest.h>

#include <array>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <numeric>
#include <poll.h>
#include <vector>

namespace brenvik {
namespace {

using test::PtyPair;

// Reads from the master until `count` bytes came or nothing more arrives within a second.
std::vector<std::uint8_t> ReadMaster(int master, std::size_t count) {
    std::vector<std::uint8_t> got;
    std::array<std::uint8_t, 512> chunk{};
    while (got.size() < count) {
        pollfd entry{master, POLLIN, 0};
        if (poll(&entry, 1, 1000) <= 0) {
            break;
        }
        const ssize_t n = read(master, chunk.data(), std::min(chunk.size(), count - got.size()));
        if (n <= 0) {
            break;
        }
        got.insert(got.end(), chunk.begin(), chunk.begin() + n);
    }
    return got;
}

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/brenvik-serial-XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

struct NameCase {
    std::size_t length;
    bool opens;
};

class CnCommName : public ::testing::TestWithParam<NameCase> {};

// The name is a link of exactly the given length to the pty, so the longest name still allowed
// really reaches the system and opens.
TEST_P(CnCommName, LongNamesAreRefusedBeforeTheSystemIsAsked) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    TempDir dir;
    std::string name = (dir.Path() / "").string();
    name += std::string(GetParam().length - name.size(), 'p');
    std::filesystem::create_symlink(pty.SlavePath(), name);
    CnComm port;
    EXPECT_EQ(port.Open(name, 9600), GetParam().opens);
    EXPECT_EQ(port.IsOpen(), GetParam().opens);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CnCommName, ::testing::Values(NameCase{62, true}, NameCase{63, false}));

class CnCommLine : public ::testing::TestWithParam<bool> {};

TEST_P(CnCommLine, OpensEightNoneOneAndKeepsHardwareFlowControl) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    termios before{};
    tcgetattr(pty.Slave(), &before);
    before.c_cflag =
        GetParam() ? (before.c_cflag | CRTSCTS) : (before.c_cflag & ~static_cast<tcflag_t>(CRTSCTS));
    before.c_cflag |= PARENB | CSTOPB;
    before.c_iflag |= INPCK | IXON;
    tcsetattr(pty.Slave(), TCSANOW, &before);

    CnComm port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    termios after{};
    ASSERT_EQ(tcgetattr(pty.Slave(), &after), 0);
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(after.c_iflag & (INPCK | IXON | IXOFF), 0u);
    EXPECT_EQ((after.c_cflag & CRTSCTS) != 0, GetParam());
}

INSTANTIATE_TEST_SUITE_P(FlowControl, CnCommLine, ::testing::Bool());

TEST(CnComm, RefusesABaudRateTheConsoleDoesNotOffer) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CnComm port;
    EXPECT_FALSE(port.Open(pty.SlavePath(), 4800));
    EXPECT_FALSE(port.IsOpen());
}

TEST(CnComm, AReadEndsWithTheBytesThatCameWhenTheLineFallsSilent) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CnComm port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 115200));
    std::vector<std::uint8_t> sent(62);
    std::iota(sent.begin(), sent.end(), std::uint8_t{1});
    ASSERT_EQ(write(pty.Master(), sent.data(), sent.size()), 62);

    std::array<std::uint8_t, 64> buffer{};
    ASSERT_EQ(port.Read(buffer.data(), buffer.size()), 62u);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), buffer.begin()));
}

TEST(CnComm, WritesEveryByteBeforeItReturns) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CnComm port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600));
    std::vector<std::uint8_t> frame(809);
    std::iota(frame.begin(), frame.end(), std::uint8_t{0});
    {
        // The caller's buffer goes away at once.
        const std::vector<std::uint8_t> copy = frame;
        ASSERT_EQ(port.Write(copy.data(), copy.size()), copy.size());
    }
    EXPECT_EQ(ReadMaster(pty.Master(), frame.size()), frame);
}

TEST(CnComm, AClosedPortReadsWritesAndCountsNothing) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CnComm port;
    port.Close();
    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600));
    port.Close();
    port.Close();
    std::array<std::uint8_t, 4> buffer{1, 2, 3, 4};
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.InputCount(), -1);
    EXPECT_EQ(port.Read(buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(port.Write(buffer.data(), buffer.size()), 0u);
    EXPECT_FALSE(port.Watching());
}

TEST(CnComm, APortOpenedOnceCannotBeOpenedAgainUntilClosed) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CnComm first;
    CnComm second;
    ASSERT_TRUE(first.Open(pty.SlavePath(), 9600));
    EXPECT_FALSE(second.Open(pty.SlavePath(), 9600));
    first.Close();
    EXPECT_TRUE(second.Open(pty.SlavePath(), 9600));
}

TEST(CnCommPortList, ListsPresentPortsSortedAsText) {
    TempDir sys;
    TempDir drivers;
    std::filesystem::create_directories(drivers.Path() / "serial8250");
    std::filesystem::create_directories(drivers.Path() / "usb-serial");
    struct Tty {
        const char* name;
        const char* driver; // nullptr: no device link
        int type;
    };
    constexpr std::array<Tty, 6> kTtys{{
        {"ttyS0", "serial8250", 4},
        {"ttyS1", "serial8250", 0}, // registered by the driver, no hardware behind it
        {"ttyS10", "serial8250", 4},
        {"ttyS3", "serial8250", 4},
        {"ttyUSB0", "usb-serial", 0},
        {"tty0", nullptr, 0},
    }};
    for (const Tty& tty : kTtys) {
        const auto dir = sys.Path() / tty.name;
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "type") << tty.type << "\n";
        if (tty.driver != nullptr) {
            std::filesystem::create_directories(dir / "device");
            std::filesystem::create_directory_symlink(drivers.Path() / tty.driver, dir / "device" / "driver");
        }
    }
    unsetenv("BRENVIK_SERIAL_PORTS");
    EXPECT_EQ(platform::ListSerialPorts(sys.Path(), "/dev"),
              (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS10", "/dev/ttyS3", "/dev/ttyUSB0"}));
}

// The watcher waits on the port; arriving bytes wake it, and closing ends it even while it waits.
TEST(CnCommWatcher, WakesForArrivingBytesAndEndsWithTheClose) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    std::mutex mutex;
    std::condition_variable changed;
    bool received = false;
    CnComm port;
    port.SetReceiveNotification([&] {
        {
            std::lock_guard lock(mutex);
            received = true;
        }
        changed.notify_all();
    });
    ASSERT_TRUE(port.Open(pty.SlavePath(), 9600));
    EXPECT_TRUE(port.Watching());
    const std::uint8_t byte = 0xA5;
    ASSERT_EQ(write(pty.Master(), &byte, 1), 1);
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(2), [&] { return received; }));
    }
    std::array<std::uint8_t, 1> buffer{};
    EXPECT_EQ(port.Read(buffer.data(), buffer.size()), 1u);
    port.Close();
    EXPECT_FALSE(port.Watching());
}

} // namespace
} // namespace brenvik
