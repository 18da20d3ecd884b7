// brenvik-demo: the console together with three simulated units on loopback — a multiviewer, a
// matrix switcher and a unit of a type without a page — so the console can be seen at work
// without hardware. Everything stays on this machine: the search goes to 127.255.255.255 on the
// demo's own ports.
#include "console_application.h"
#include "console_pages.h"
#include "main_window.h"

#include "link/platform/udp_socket.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"

#include <cstdio>
#include <string>

namespace {

// A port that nothing on this machine holds now, starting from a preferred one.
std::uint16_t FreePort(std::uint16_t preferred) {
    for (std::uint16_t port = preferred; port < preferred + 500; ++port) {
        auto socket = brenvik::UdpSocket::Create();
        if (socket && socket->Bind(brenvik::Ipv4Address{{0, 0, 0, 0}, port})) {
            return port;
        }
    }
    return preferred;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

int main(int argc, char** argv) {
    auto application = brenvik::MakeConsoleApplication(argc, argv);

    brenvik::Endpoints endpoints;
    endpoints.broadcastAddress = "127.255.255.255";
    endpoints.localPort = FreePort(47000);
    endpoints.unitPort = FreePort(static_cast<std::uint16_t>(endpoints.localPort + 1));
    endpoints.statusPort = FreePort(static_cast<std::uint16_t>(endpoints.unitPort + 1));

    brenvik::sim::UnitSimulator simulator(endpoints);
    simulator.AddUnit({{127, 0, 0, 10}, brenvik::kTypeMultiviewer, 0x01, Bytes("16CH Monitorgrid"), {0x4D, 0x56, 0x00, 0x01}},
                      std::make_unique<brenvik::sim::MultiviewerModel>());
    simulator.AddUnit({{127, 0, 0, 11}, brenvik::kTypeMatrixSwitcher, 0x01, Bytes("PQT0642"), {0x4D, 0x58, 0x00, 0x02}});
    simulator.AddUnit({{127, 0, 0, 12}, 0x90, 0x01, Bytes("PQA-90"), {0x50, 0x41, 0x00, 0x03}});
    if (!simulator.Start()) {
        std::fprintf(stderr, "brenvik-demo: the simulated units could not start: %s\n",
                     simulator.StartError().c_str());
        return 1;
    }

    brenvik::CVARNOLUX_16_VIEWDlg window({endpoints, brenvik::PrimaryScreenScale(), nullptr});
    brenvik::RegisterConsolePages(window);
    window.exec();
    return 0;
}
