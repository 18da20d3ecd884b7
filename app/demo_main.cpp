// brenvik-demo: the console together with three simulated units on loopback — a multiviewer, a
// matrix switcher and a unit of a type without a page — and a multiviewer on a pseudo-terminal for
// the serial link, so the console can be seen at work without hardware. Everything stays on this
// machine: the search goes to 127.255.255.255 on the demo's own ports.
#include "app/console_application.h"
#include "app/console_pages.h"
#include "app/main_window.h"

#include "controls/message_box_dialogs.h"
#include "sim/demo_rack.h"
#include "sim/loopback_endpoints.h"
#include "sim/serial_unit_simulator.h"
#include "sim/unit_simulator.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::uint16_t kFirstDemoPort = 47000;

// Started from a desktop the demo has no terminal to read, so a failure before the main window
// opens is told in an "Err" box as well as on stderr, and the demo ends with a failure status.
int FailToStart(const std::string& text) {
    std::fprintf(stderr, "brenvik-demo: %s\n", text.c_str());
    brenvik::MessageBoxDialogs dialogs;
    dialogs.ShowError(text);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    auto application = brenvik::MakeConsoleApplication(argc, argv);

    const auto endpoints = brenvik::sim::LoopbackEndpoints(kFirstDemoPort);
    if (!endpoints) {
        return FailToStart("The simulated units could not get loopback ports: no three free UDP ports were "
                           "found from port " +
                           std::to_string(kFirstDemoPort) + " upward.");
    }

    brenvik::sim::UnitSimulator simulator(*endpoints);
    brenvik::sim::AddDemoRack(simulator);
    if (!simulator.Start()) {
        return FailToStart("The simulated units could not start: " + simulator.StartError());
    }

    // One more multiviewer on a serial line of its own (a pseudo-terminal), listed on the connection
    // configuration page beside the machine's ports; without pseudo-terminals the demo goes on
    // without it.
    brenvik::sim::UnitConfig serialConfig;
    serialConfig.address = {127, 0, 6, 3};
    serialConfig.typeCode = brenvik::kTypeMultiviewer;
    serialConfig.unitAddress = 0x01;
    const std::string model = "16CH Monitorgrid";
    serialConfig.modelName.assign(model.begin(), model.end());
    serialConfig.unitId = {0x01, 0x02, 0x03, 0x04};
    brenvik::sim::SerialUnitSimulator serialUnit(serialConfig, 115200);
    if (serialUnit.Start()) {
        setenv("BRENVIK_SERIAL_PORTS", serialUnit.PortPath().c_str(), 1);
    } else {
        std::fprintf(stderr, "brenvik-demo: no simulated unit on a serial line: %s\n",
                     serialUnit.StartError().c_str());
    }

    brenvik::CVARNOLUX_16_VIEWDlg window({*endpoints, brenvik::PrimaryScreenScale(), nullptr});
    brenvik::RegisterConsolePages(window);
    window.exec();
    return 0;
}
