// brenvik-demo: the console together with three simulated units on loopback — a multiviewer, a
// matrix switcher and a unit of a type without a page — so the console can be seen at work
// without hardware. Everything stays on this machine: the search goes to 127.255.255.255 on the
// demo's own ports.
#include "console_application.h"
#include "console_pages.h"
#include "main_window.h"

#include "sim/demo_rack.h"
#include "sim/loopback_endpoints.h"
#include "sim/unit_simulator.h"

#include <cstdio>

int main(int argc, char** argv) {
    auto application = brenvik::MakeConsoleApplication(argc, argv);

    const brenvik::Endpoints endpoints = brenvik::sim::LoopbackEndpoints(47000);

    brenvik::sim::UnitSimulator simulator(endpoints);
    brenvik::sim::AddDemoRack(simulator);
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
