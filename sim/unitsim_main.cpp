// brenvik-unitsim: simulated units on UDP for trying the console without hardware.
#include "sim/serial_unit_simulator.h"
#include "sim/unit_list_parser.h"
#include "sim/unit_models.h"
#include "sim/unit_simulator.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <pthread.h>
#include <string>
#include <vector>

namespace {

using brenvik::Endpoints;
using brenvik::sim::UnitConfig;

constexpr const char* kUsage =
    "usage: brenvik-unitsim [--units FILE] [--unit ip,type,address,name,id[,fault]]...\n"
    "                       [--unit-port N] [--status-port N] [--broadcast-listen]\n"
    "                       [--serial-unit UNIT]... [--serial-baud N]\n"
    "  --units FILE        units, one per line in the form of --unit ('#' starts a comment)\n"
    "  --unit UNIT         one unit, e.g. 127.0.0.2,A1,1,16CH Monitorgrid,0A0B0C0D\n"
    "                      faults: none header type short twice silent idpastend\n"
    "  --unit-port N       port the units listen on (default 7000)\n"
    "  --status-port N     console port that reports go to (default 7001)\n"
    "  --broadcast-listen  also listen on the wildcard address, to hear discovery broadcasts\n"
    "  --serial-unit UNIT  one unit on a serial line (a pseudo-terminal); prints the path for the\n"
    "                      console, e.g. BRENVIK_SERIAL_PORTS=/dev/pts/4 brenvik-console\n"
    "  --serial-baud N     carry the serial units' answers at N baud, as a real line would\n"
    "Runs until interrupted (SIGINT or SIGTERM).\n";

struct Options {
    std::vector<UnitConfig> units;
    std::vector<UnitConfig> serialUnits;
    unsigned serialBaud = 0;
    Endpoints endpoints;
    bool broadcastListen = false;
};

std::optional<std::uint16_t> ParsePort(const std::string& text) {
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(text, &used);
        if (used == text.size() && value > 0 && value <= 0xFFFF) {
            return static_cast<std::uint16_t>(value);
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<unsigned> ParseBaud(const std::string& text) {
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(text, &used);
        if (used == text.size() && value > 0 && value <= 4000000) {
            return static_cast<unsigned>(value);
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    brenvik::sim::UnitListParser parser;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--broadcast-listen") {
            options.broadcastListen = true;
            continue;
        }
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            std::exit(EXIT_SUCCESS);
        }
        if (i + 1 >= argc) {
            std::cerr << "missing value after " << option << "\n" << kUsage;
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (option == "--unit") {
            auto unit = parser.ParseUnit(value);
            if (!unit) {
                std::cerr << parser.Error() << "\n";
                return std::nullopt;
            }
            options.units.push_back(*unit);
        } else if (option == "--serial-unit") {
            auto unit = parser.ParseUnit(value);
            if (!unit) {
                std::cerr << parser.Error() << "\n";
                return std::nullopt;
            }
            options.serialUnits.push_back(*unit);
        } else if (option == "--serial-baud") {
            const auto baud = ParseBaud(value);
            if (!baud) {
                std::cerr << "not a baud rate: " << value << "\n";
                return std::nullopt;
            }
            options.serialBaud = *baud;
        } else if (option == "--units") {
            std::ifstream file(value);
            if (!file) {
                std::cerr << "cannot read " << value << "\n";
                return std::nullopt;
            }
            auto units = parser.ParseFile(file);
            if (!units) {
                std::cerr << value << ": " << parser.Error() << "\n";
                return std::nullopt;
            }
            options.units.insert(options.units.end(), units->begin(), units->end());
        } else if (option == "--unit-port" || option == "--status-port") {
            const auto port = ParsePort(value);
            if (!port) {
                std::cerr << "not a port: " << value << "\n";
                return std::nullopt;
            }
            (option == "--unit-port" ? options.endpoints.unitPort : options.endpoints.statusPort) = *port;
        } else {
            std::cerr << "unknown option " << option << "\n" << kUsage;
            return std::nullopt;
        }
    }
    if (options.units.empty() && options.serialUnits.empty()) {
        std::cerr << "no units given\n" << kUsage;
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    auto options = ParseOptions(argc, argv);
    if (!options) {
        return EXIT_FAILURE;
    }
    // Blocked before the simulator's thread starts, so that only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    brenvik::sim::UnitSimulator simulator(options->endpoints, options->broadcastListen);
    for (const UnitConfig& unit : options->units) {
        simulator.AddUnit(unit, brenvik::sim::MakeUnitModel(unit));
    }
    if (!options->units.empty() && !simulator.Start()) {
        std::cerr << simulator.StartError() << "\n";
        return EXIT_FAILURE;
    }
    std::vector<std::unique_ptr<brenvik::sim::SerialUnitSimulator>> serialUnits;
    for (const UnitConfig& unit : options->serialUnits) {
        auto serial = std::make_unique<brenvik::sim::SerialUnitSimulator>(unit, options->serialBaud);
        if (!serial->Start()) {
            std::cerr << serial->StartError() << "\n";
            return EXIT_FAILURE;
        }
        std::printf("serial unit on %s type 0x%02X address %u: %s\n", serial->PortPath().c_str(),
                    unit.typeCode, unit.unitAddress,
                    std::string(unit.modelName.begin(), unit.modelName.end()).c_str());
        serialUnits.push_back(std::move(serial));
    }
    for (std::size_t i = 0; i < simulator.UnitCount(); ++i) {
        const UnitConfig& unit = simulator.Unit(i).Config();
        std::printf("unit %s type 0x%02X address %u: %s\n", simulator.Unit(i).Address().DottedText().c_str(),
                    unit.typeCode, unit.unitAddress,
                    std::string(unit.modelName.begin(), unit.modelName.end()).c_str());
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.Stop();
    return EXIT_SUCCESS;
}
