#include "link/console_link.h"
#include "link/discovery.h"
#include "link/text_codec.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace brenvik {
namespace {

constexpr int kChildWaitMs = 10000;

// Two network namespaces joined by a veth pair, made for one test and removed with it. Nothing
// here touches an interface of the namespace the test runs in: the veth ends are created straight
// inside their namespaces.
class NamespacePair {
public:
    NamespacePair() {
        const std::string pid = std::to_string(getpid());
        m_console = "brv-a-" + pid;
        m_units = "brv-b-" + pid;
        m_subnet = "10.231." + std::to_string(getpid() % 250 + 1) + ".";
        const std::string consoleEnd = "brva" + pid;
        const std::string unitsEnd = "brvb" + pid;
        if (!Run("ip netns add " + m_console)) {
            m_error = "ip netns add failed";
            return;
        }
        m_madeConsole = true;
        if (!Run("ip netns add " + m_units)) {
            m_error = "ip netns add failed";
            return;
        }
        m_madeUnits = true;
        const bool linked =
            Run("ip link add " + consoleEnd + " netns " + m_console + " type veth peer name " + unitsEnd +
                " netns " + m_units) &&
            Run("ip -n " + m_console + " addr add " + ConsoleAddress() + "/24 dev " + consoleEnd) &&
            Run("ip -n " + m_console + " link set " + consoleEnd + " up") &&
            Run("ip -n " + m_console + " link set lo up") &&
            Run("ip -n " + m_console + " route add default via " + UnitAddress(0)) &&
            Run("ip -n " + m_units + " addr add " + UnitAddress(0) + "/24 dev " + unitsEnd) &&
            Run("ip -n " + m_units + " addr add " + UnitAddress(1) + "/24 dev " + unitsEnd) &&
            Run("ip -n " + m_units + " link set " + unitsEnd + " up") &&
            Run("ip -n " + m_units + " link set lo up") &&
            Run("ip -n " + m_units + " route add default via " + ConsoleAddress());
        if (!linked) {
            m_error = "setting up the veth pair failed";
        }
    }
    ~NamespacePair() {
        // Deleting a namespace takes its veth end, and with it the pair, along.
        if (m_madeConsole) {
            Run("ip netns del " + m_console);
        }
        if (m_madeUnits) {
            Run("ip netns del " + m_units);
        }
    }
    NamespacePair(const NamespacePair&) = delete;
    NamespacePair& operator=(const NamespacePair&) = delete;

    const std::string& Error() const { return m_error; }
    const std::string& ConsoleNamespace() const { return m_console; }
    const std::string& UnitsNamespace() const { return m_units; }
    std::string ConsoleAddress() const { return m_subnet + "1"; }
    std::string UnitAddress(int index) const { return m_subnet + std::to_string(2 + index); }

private:
    static bool Run(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    std::string m_console;
    std::string m_units;
    std::string m_subnet;
    std::string m_error;
    bool m_madeConsole = false;
    bool m_madeUnits = false;
};

bool EnterNamespace(const std::string& name) {
    const int fd = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool entered = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    return entered;
}

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written <= 0 && errno != EINTR) {
            return;
        }
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
}

// Everything the child writes until it closes its end; empty when it stays silent too long.
std::string ReadAll(int fd) {
    std::string text;
    char buffer[512];
    while (true) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, kChildWaitMs) <= 0) {
            return text;
        }
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

// A child process in the named network namespace running `body`, which writes its findings to
// the pipe whose read end the parent gets. The child ends with _exit, so none of the test
// framework's exit handlers run twice.
struct Child {
    pid_t pid = -1;
    int output = -1;
};
Child Spawn(const std::string& netns, const std::function<void(int output)>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        if (EnterNamespace(netns)) {
            body(pipeFds[1]);
        } else {
            WriteAll(pipeFds[1], "error: setns\n");
        }
        close(pipeFds[1]);
        _exit(0);
    }
    close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

// Reads up to and including the first newline.
std::string ReadLine(int fd) {
    std::string line;
    char c = 0;
    while (line.empty() || line.back() != '\n') {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, kChildWaitMs) <= 0 || read(fd, &c, 1) != 1) {
            return line;
        }
        line.push_back(c);
    }
    return line;
}

void Reap(Child& child) {
    if (child.output >= 0) {
        close(child.output);
    }
    if (child.pid > 0) {
        int status = 0;
        if (waitpid(child.pid, &status, WNOHANG) == 0) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
        }
    }
}

std::string Ascii(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::ostringstream out;
    for (std::uint8_t byte : bytes) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        out << kDigits[byte >> 4] << kDigits[byte & 0x0F];
    }
    return out.str();
}

const Frame kBorderOn = BuildFrame(kTypeMultiviewer, 0x01, 1, 0x3F, std::array<std::uint8_t, 1>{0x01});

// The console in one namespace searches with the product's own endpoints (local port 7000,
// broadcast 255.255.255.255, unit port 7000); two simulated units answer from the other namespace,
// and a command reaches the first of them.
TEST(NetnsDiscovery, ProductEndpointsFindBothUnitsAcrossTheVethPair) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to create network namespaces";
    }
    if (std::system("ip -V >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "the ip tool (iproute2) is not installed";
    }
    NamespacePair namespaces;
    if (!namespaces.Error().empty()) {
        GTEST_SKIP() << "cannot build the network namespaces: " << namespaces.Error();
    }

    int stopPipe[2];
    ASSERT_EQ(pipe(stopPipe), 0);
    Child units = Spawn(namespaces.UnitsNamespace(), [&](int output) {
        close(stopPipe[1]);
        sim::UnitSimulator simulator{Endpoints{}};
        for (int i = 0; i < 2; ++i) {
            sim::UnitConfig unit;
            unit.address = Ipv4Address::Parse(namespaces.UnitAddress(i), 0)->octets;
            unit.typeCode = i == 0 ? kTypeMultiviewer : kTypeMatrixSwitcher;
            const std::string name = i == 0 ? "16CH Monitorgrid" : "PQT0642";
            unit.modelName.assign(name.begin(), name.end());
            unit.unitId = {0xC0, 0xFF, 0xEE, static_cast<std::uint8_t>(i)};
            simulator.AddUnit(unit);
        }
        if (!simulator.Start()) {
            WriteAll(output, "error: " + simulator.StartError() + "\n");
            return;
        }
        WriteAll(output, "ready\n");
        // Runs until the parent closes the stop pipe.
        char byte = 0;
        while (read(stopPipe[0], &byte, 1) > 0) {
        }
        simulator.Stop();
        for (const Frame& frame : simulator.Unit(0).Received()) {
            WriteAll(output, Hex(frame) + "\n");
        }
    });
    close(stopPipe[0]);
    ASSERT_GT(units.pid, 0);
    const std::string ready = ReadLine(units.output);
    if (ready != "ready\n") {
        close(stopPipe[1]);
        Reap(units);
        FAIL() << "the simulator did not start in its namespace: " << ready;
    }

    Child console = Spawn(namespaces.ConsoleNamespace(), [](int output) {
        test::RecordingMessages messages;
        ConsoleLink link(Endpoints{}, messages);
        const auto result = test::Await<DiscoveryResult>(
            [&](auto done) { StartDiscovery(link, {}, std::move(done)); });
        std::string text = "found " + std::to_string(result ? result->units.size() : 0) + "\n";
        for (const auto& unit : result ? result->units : std::vector<DiscoveredUnit>{}) {
            text += "unit " + Ascii(unit.modelName) + "@" + unit.entry.Ip() + "\n";
        }
        if (result && !result->units.empty()) {
            const bool queued = link.Send(result->units[0].entry, kBorderOn);
            text += std::string("sent ") + (queued && link.WaitUntilIdle(std::chrono::seconds(2)) ? "yes" : "no") +
                    "\n";
        }
        for (const auto& error : messages.Errors()) {
            text += "error " + error + "\n";
        }
        WriteAll(output, text);
    });
    ASSERT_GT(console.pid, 0);
    const std::string consoleOutput = ReadAll(console.output);
    close(stopPipe[1]);
    const std::string unitsOutput = ReadAll(units.output);
    Reap(console);
    Reap(units);

    const std::string expectedConsole = "found 2\nunit 16CH Monitorgrid@" + namespaces.UnitAddress(0) +
                                        "\nunit PQT0642@" + namespaces.UnitAddress(1) + "\nsent yes\n";
    EXPECT_EQ(consoleOutput, expectedConsole);
    // Unit 0 heard the broadcast request, then the command.
    ASSERT_EQ(std::count(unitsOutput.begin(), unitsOutput.end(), '\n'), 2) << unitsOutput;
    EXPECT_EQ(unitsOutput.substr(0, 8), "A56C1B00");
    EXPECT_EQ(unitsOutput.substr(unitsOutput.find('\n') + 1), Hex(kBorderOn) + "\n");
}

} // namespace
} // namespace brenvik
