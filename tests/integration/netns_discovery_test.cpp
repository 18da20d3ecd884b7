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
#include <vector>

namespace brenvik {
namespace {

constexpr int kChildWaitMs = 10000;

// Network namespaces made for one test and removed with it: the console's, and one per unit
// network, each joined to the console's by a veth pair on a subnet of its own. The console's
// default route goes out to the first network only, as on a workstation whose second network card
// holds the control network. Nothing here touches an interface of the namespace the test runs in:
// the veth ends are created straight inside their namespaces.
class NamespaceRack {
public:
    explicit NamespaceRack(int networks) {
        const std::string pid = std::to_string(getpid());
        m_console = "brv-c-" + pid;
        if (!Run("ip netns add " + m_console)) {
            m_error = "ip netns add failed";
            return;
        }
        m_made.push_back(m_console);
        bool linked = Run("ip -n " + m_console + " link set lo up");
        for (int network = 0; network < networks && linked; ++network) {
            const std::string units = "brv-u" + std::to_string(network) + "-" + pid;
            if (!Run("ip netns add " + units)) {
                m_error = "ip netns add failed";
                return;
            }
            m_made.push_back(units);
            m_units.push_back(units);
            m_subnets.push_back("10.23" + std::to_string(network) + "." + std::to_string(getpid() % 250 + 1) +
                                ".");
            const std::string consoleEnd = "brvc" + std::to_string(network) + pid;
            const std::string unitsEnd = "brvu" + std::to_string(network) + pid;
            linked =
                Run("ip link add " + consoleEnd + " netns " + m_console + " type veth peer name " + unitsEnd +
                    " netns " + units) &&
                Run("ip -n " + m_console + " addr add " + ConsoleAddress(network) + "/24 brd + dev " +
                    consoleEnd) &&
                Run("ip -n " + m_console + " link set " + consoleEnd + " up") &&
                (network > 0 || Run("ip -n " + m_console + " route add default via " + UnitAddress(0, 0))) &&
                Run("ip -n " + units + " addr add " + UnitAddress(network, 0) + "/24 brd + dev " +
                    unitsEnd) &&
                Run("ip -n " + units + " addr add " + UnitAddress(network, 1) + "/24 brd + dev " +
                    unitsEnd) &&
                Run("ip -n " + units + " link set " + unitsEnd + " up") &&
                Run("ip -n " + units + " link set lo up") &&
                Run("ip -n " + units + " route add default via " + ConsoleAddress(network));
        }
        if (!linked) {
            m_error = "setting up the veth pairs failed";
        }
    }
    ~NamespaceRack() {
        // Deleting a namespace takes its veth end, and with it the pair, along.
        for (const std::string& name : m_made) {
            Run("ip netns del " + name);
        }
    }
    NamespaceRack(const NamespaceRack&) = delete;
    NamespaceRack& operator=(const NamespaceRack&) = delete;

    const std::string& Error() const { return m_error; }
    const std::string& ConsoleNamespace() const { return m_console; }
    const std::string& UnitsNamespace(int network) const {
        return m_units[static_cast<std::size_t>(network)];
    }
    std::string ConsoleAddress(int network) const {
        return m_subnets[static_cast<std::size_t>(network)] + "1";
    }
    std::string UnitAddress(int network, int index) const {
        return m_subnets[static_cast<std::size_t>(network)] + std::to_string(2 + index);
    }

private:
    static bool Run(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    std::string m_console;
    std::vector<std::string> m_units;
    std::vector<std::string> m_subnets;
    std::vector<std::string> m_made;
    std::string m_error;
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

std::string SkipReason() {
    if (geteuid() != 0) {
        return "needs root to create network namespaces";
    }
    if (std::system("ip -V >/dev/null 2>&1") != 0) {
        return "the ip tool (iproute2) is not installed";
    }
    return {};
}

struct SimulatedUnitSpec {
    std::string address;
    std::uint8_t typeCode;
    std::string modelName;
};

// Simulated units answering with the product's endpoints in a namespace of their own, until
// Finish() stops them and returns every frame the first unit received, in hex,
// one per line.
class UnitsInNamespace {
public:
    UnitsInNamespace(const std::string& netns, std::vector<SimulatedUnitSpec> specs) {
        int stopPipe[2];
        if (pipe(stopPipe) != 0) {
            m_error = "pipe failed";
            return;
        }
        m_child = Spawn(netns, [&](int output) {
            close(stopPipe[1]);
            sim::UnitSimulator simulator{Endpoints{}};
            for (std::size_t i = 0; i < specs.size(); ++i) {
                sim::UnitConfig unit;
                unit.address = Ipv4Address::Parse(specs[i].address, 0)->octets;
                unit.typeCode = specs[i].typeCode;
                unit.modelName.assign(specs[i].modelName.begin(), specs[i].modelName.end());
                unit.unitId = {0xC0, 0xFF, 0xEE, static_cast<std::uint8_t>(i)};
                simulator.AddUnit(unit);
            }
            if (!simulator.Start()) {
                WriteAll(output, "error: " + simulator.StartError() + "\n");
                return;
            }
            WriteAll(output, "ready\n");
            // A byte on the stop pipe, or its end, stops the units. A sibling child holds a copy of
            // the write end, so the end alone would not arrive while it runs.
            char byte = 0;
            while (read(stopPipe[0], &byte, 1) < 0 && errno == EINTR) {
            }
            simulator.Stop();
            for (const Frame& frame : simulator.Unit(0).Received()) {
                WriteAll(output, Hex(frame) + "\n");
            }
        });
        close(stopPipe[0]);
        m_stop = stopPipe[1];
        const std::string ready = m_child.pid > 0 ? ReadLine(m_child.output) : "fork failed";
        if (ready != "ready\n") {
            m_error = "the simulator did not start in its namespace: " + ready;
        }
    }
    ~UnitsInNamespace() {
        Finish();
        Reap(m_child);
    }
    UnitsInNamespace(const UnitsInNamespace&) = delete;
    UnitsInNamespace& operator=(const UnitsInNamespace&) = delete;

    const std::string& Error() const { return m_error; }
    std::string Finish() {
        if (m_stop < 0) {
            return {};
        }
        WriteAll(m_stop, "s");
        close(m_stop);
        m_stop = -1;
        return ReadAll(m_child.output);
    }

private:
    Child m_child;
    int m_stop = -1;
    std::string m_error;
};

// The console's search with the product's endpoints from its namespace: "found N", a line
// "unit NAME@IP" per unit, sorted (networks answer in any order), and with `sendToFirst`
// whether a command to the first unit found left.
std::string SearchFrom(const std::string& netns, bool sendToFirst) {
    Child console = Spawn(netns, [sendToFirst](int output) {
        test::RecordingMessages messages;
        ConsoleLink link(Endpoints{}, messages);
        const auto result =
            test::Await<DiscoveryResult>([&](auto done) { StartDiscovery(link, {}, std::move(done)); });
        const auto units = result ? result->units : std::vector<DiscoveredUnit>{};
        std::vector<std::string> lines;
        for (const auto& unit : units) {
            lines.push_back("unit " + Ascii(unit.modelName) + "@" + unit.entry.Ip() + "\n");
        }
        std::sort(lines.begin(), lines.end());
        std::string text = "found " + std::to_string(units.size()) + "\n";
        for (const auto& line : lines) {
            text += line;
        }
        if (sendToFirst && !units.empty()) {
            const bool queued = link.Send(units[0].entry, kBorderOn);
            text += std::string("sent ") +
                    (queued && link.WaitUntilIdle(std::chrono::seconds(2)) ? "yes" : "no") + "\n";
        }
        for (const auto& error : messages.Errors()) {
            text += "error " + error + "\n";
        }
        WriteAll(output, text);
    });
    const std::string output = console.pid > 0 ? ReadAll(console.output) : "fork failed";
    Reap(console);
    return output;
}

// The console in one namespace searches with the product's own endpoints (local port 7000,
// broadcast 255.255.255.255, unit port 7000); two simulated units answer from the other namespace,
// and a command reaches the first of them.
TEST(NetnsDiscovery, ProductEndpointsFindBothUnitsAcrossTheVethPair) {
    if (const std::string reason = SkipReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    NamespaceRack rack(1);
    if (!rack.Error().empty()) {
        GTEST_SKIP() << "cannot build the network namespaces: " << rack.Error();
    }
    UnitsInNamespace units(rack.UnitsNamespace(0),
                           {{rack.UnitAddress(0, 0), kTypeMultiviewer, "16CH Monitorgrid"},
                            {rack.UnitAddress(0, 1), kTypeMatrixSwitcher, "PQT0642"}});
    ASSERT_EQ(units.Error(), "");

    const std::string consoleOutput = SearchFrom(rack.ConsoleNamespace(), true);
    const std::string unitsOutput = units.Finish();

    EXPECT_EQ(consoleOutput, "found 2\nunit 16CH Monitorgrid@" + rack.UnitAddress(0, 0) + "\nunit PQT0642@" +
                                 rack.UnitAddress(0, 1) + "\nsent yes\n");
    // Unit 0 heard the broadcast request, then the command.
    ASSERT_EQ(std::count(unitsOutput.begin(), unitsOutput.end(), '\n'), 2) << unitsOutput;
    EXPECT_EQ(unitsOutput.substr(0, 8), "A56C1B00");
    EXPECT_EQ(unitsOutput.substr(unitsOutput.find('\n') + 1), Hex(kBorderOn) + "\n");
}

// A workstation with two network cards, the default route on the first: the search reaches the
// units on both networks, each hearing the same 27-byte request once.
TEST(NetnsDiscovery, SearchReachesTheUnitsBehindEveryInterface) {
    if (const std::string reason = SkipReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    NamespaceRack rack(2);
    if (!rack.Error().empty()) {
        GTEST_SKIP() << "cannot build the network namespaces: " << rack.Error();
    }
    UnitsInNamespace first(rack.UnitsNamespace(0),
                           {{rack.UnitAddress(0, 0), kTypeMultiviewer, "16CH Monitorgrid"}});
    UnitsInNamespace second(rack.UnitsNamespace(1),
                            {{rack.UnitAddress(1, 0), kTypeMatrixSwitcher, "PQT0642"}});
    ASSERT_EQ(first.Error(), "");
    ASSERT_EQ(second.Error(), "");

    const std::string consoleOutput = SearchFrom(rack.ConsoleNamespace(), false);

    EXPECT_EQ(consoleOutput, "found 2\nunit 16CH Monitorgrid@" + rack.UnitAddress(0, 0) + "\nunit PQT0642@" +
                                 rack.UnitAddress(1, 0) + "\n");
    // One datagram each: the 27-byte search request (its clock bytes differ from second to second).
    for (const std::string& heard : {first.Finish(), second.Finish()}) {
        EXPECT_EQ(heard.size(), 2 * 27 + 1) << heard;
        EXPECT_EQ(heard.substr(0, 8), "A56C1B00") << heard;
    }
}

} // namespace
} // namespace brenvik
