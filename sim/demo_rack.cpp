#include "sim/demo_rack.h"

#include "sim/matrix_model.h"
#include "sim/multiviewer_model.h"

#include <array>
#include <string_view>

namespace brenvik::sim {

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

constexpr std::array<std::u16string_view, 16> kInputNames{
    u"CAM 1 WIDE", u"CAM 2",   u"CAM 3 JIB", u"CAM 4",        u"REPLAY A", u"REPLAY B",
    u"GFX",        u"VT 1",    u"VT 2",      u"REMOTE NORTH", u"SAT 1",    u"SAT 2",
    u"STUDIO B",   u"PREVIEW", u"PROGRAM",   u"CLEAN FEED"};

} // namespace

void AddDemoRack(UnitSimulator& simulator, std::uint8_t multiviewerSwitcherMode) {
    MultiviewerSettings settings = MultiviewerSettings::Factory();
    settings.switcherMode = multiviewerSwitcherMode;
    settings.layoutCode = 100;
    for (std::size_t n = 0; n < kInputNames.size(); ++n) {
        settings.inputNames[n] = kInputNames[n];
        // Every fifth input has lost its signal; the others run 1080p60 or 1080i60.
        settings.windows[n].signalPresent = n % 5 == 4 ? 0 : 1;
        settings.windows[n].signalFormat = n % 3 == 0 ? 31 : 23;
    }
    settings.customName = u"OB Truck 2";

    simulator.AddUnit(
        {{127, 0, 0, 10}, kTypeMultiviewer, 0x01, Bytes("16CH Monitorgrid"), {0x4D, 0x56, 0x00, 0x01}},
        std::make_unique<MultiviewerModel>(settings));
    MatrixSettings matrix;
    matrix.customName = u"Edit Suite 3";
    simulator.AddUnit(
        {{127, 0, 0, 11}, kTypeMatrixSwitcher, 0x01, Bytes("PQT0642"), {0x4D, 0x58, 0x00, 0x02}},
        std::make_unique<MatrixModel>(matrix));
    simulator.AddUnit({{127, 0, 0, 12}, 0x90, 0x01, Bytes("PQA-90"), {0x50, 0x41, 0x00, 0x03}});
}

} // namespace brenvik::sim
