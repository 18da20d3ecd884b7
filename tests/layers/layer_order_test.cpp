#include "layer_check.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string_view>

namespace brenvik::test {
namespace {

namespace fs = std::filesystem;

struct FixtureFile {
    std::string_view path;
    std::string_view text;
};

struct LayerCase {
    std::string_view name;
    std::vector<FixtureFile> files;
    std::vector<std::string_view> expected;
};

void PrintTo(const LayerCase& layerCase, std::ostream* out) {
    *out << layerCase.name;
}

// A small source tree of its own in a fresh temporary folder, removed again at the end.
class FixtureTree {
public:
    explicit FixtureTree(const std::vector<FixtureFile>& files) {
        std::string pattern = (fs::temp_directory_path() / "brenvik-layers-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw fs::filesystem_error("mkdtemp", pattern, std::error_code(errno, std::generic_category()));
        }
        m_root = pattern;
        for (const FixtureFile& file : files) {
            const fs::path path = m_root / file.path;
            fs::create_directories(path.parent_path());
            std::ofstream(path) << file.text;
        }
    }
    ~FixtureTree() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    FixtureTree(const FixtureTree&) = delete;
    FixtureTree& operator=(const FixtureTree&) = delete;

    const fs::path& Root() const { return m_root; }

private:
    fs::path m_root;
};

const LayerCase kCases[] = {
    {"CoreIncludingAUiHeader",
     {{"multiviewer/core/state_block.h", "#pragma once\n"},
      {"multiviewer/ui/layout_preview.h", "#pragma once\n#include <QWidget>\n"},
      {"multiviewer/core/state_block.cpp",
       "#include \"state_block.h\"\n\n#include <cstdint>\n\n#include \"multiviewer/ui/layout_preview.h\"\n"}},
     {"multiviewer/core/state_block.cpp:5: includes \"multiviewer/ui/layout_preview.h\" (multiviewer_ui); "
      "multiviewer_core may include only link"}},
    {"LinkIncludingTheMultiviewerCore",
     {{"link/console_link.h", "#pragma once\n"},
      {"multiviewer/core/state_block.h", "#pragma once\n"},
      {"link/console_link.cpp",
       "#include \"link/console_link.h\"\n  #  include \"multiviewer/core/state_block.h\"\n"}},
     {"link/console_link.cpp:2: includes \"multiviewer/core/state_block.h\" (multiviewer_core); "
      "link may include no other room"}},
    {"ControlsHeaderIncludingApp",
     {{"app/console_state.h", "#pragma once\n"},
      {"res/skin.h", "#pragma once\n"},
      {"controls/picture_button.h",
       "#pragma once\n\n#include \"app/console_state.h\"\n#include \"res/skin.h\"\n"}},
     {"controls/picture_button.h:3: includes \"app/console_state.h\" (app); controls may include only link, "
      "multiviewer_core, matrix_core, res"}},
    {"SimFromTheMainWindow",
     {{"app/main_window.h", "#pragma once\n"},
      {"sim/unit_simulator.h", "#pragma once\n"},
      {"app/main_window.cpp", "#include \"main_window.h\"\n#include \"sim/unit_simulator.h\"\n"}},
     {"app/main_window.cpp:2: includes \"sim/unit_simulator.h\" (sim); app may include only link, "
      "multiviewer_core, matrix_core, res, controls, multiviewer_pages, multiviewer_ui, matrix_ui"}},
    {"SimFromTheDemoProgram",
     {{"app/main_window.h", "#pragma once\n"},
      {"sim/unit_simulator.h", "#pragma once\n"},
      {"app/demo_main.cpp", "#include \"main_window.h\"\n#include \"sim/unit_simulator.h\"\n"}},
     {}},
    {"QtInTheQtFreeRooms",
     {{"link/frame.cpp", "#include <queue>\n#include <string>\n#include <QString>\n"},
      {"sim/unit_frame.cpp", "#include <QtCore/QByteArray>\n"},
      {"controls/limit_edit.cpp", "#include <QLineEdit>\n"}},
     {"link/frame.cpp:3: includes <QString>; link never includes Qt",
      "sim/unit_frame.cpp:1: includes <QtCore/QByteArray>; sim never includes Qt"}},
    {"RelativeIncludeInsideTheRoom",
     {{"link/platform/udp_socket.h", "#pragma once\n"},
      {"link/udp_channel.cpp", "#include \"platform/udp_socket.h\"\n"},
      {"multiviewer/ui/pages/setting_page.h", "#pragma once\n"},
      {"multiviewer/ui/pages/setting_page.cpp", "#include \"../pages/setting_page.h\"\n"}},
     {}},
    {"RelativeIncludeJudgedByWhereItLands",
     {{"multiviewer/ui/layout_preview.h", "#pragma once\n"},
      {"multiviewer/ui/pages/setting_page.cpp", "#include \"../layout_preview.h\"\n"}},
     {"multiviewer/ui/pages/setting_page.cpp:1: includes \"../layout_preview.h\" (multiviewer_ui); "
      "multiviewer_pages may include only link, multiviewer_core, res, controls"}},
    {"IncluderFolderBeforeTheRoot",
     {{"app/hooks.h", "#pragma once\n"},
      {"controls/app/hooks.h", "#pragma once\n"},
      {"controls/color_button.cpp", "#include \"app/hooks.h\"\n"}},
     {}},
    {"UnresolvedIncludesAndFreeRooms",
     {{"app/main_window.h", "#pragma once\n"},
      {"sim/unit_simulator.h", "#pragma once\n"},
      {"link/frame.cpp", "#include \"generated_version.h\"\n#include \"stdio.h\"\n"},
      {"tests/unit/console_test.cpp", "#include \"app/main_window.h\"\n#include \"sim/unit_simulator.h\"\n"},
      {"scripts/probe.cpp", "#include \"app/main_window.h\"\n#include <QString>\n"},
      {"sim/build/moc_unit_simulator.cpp", "#include \"app/main_window.h\"\n#include <QString>\n"},
      {"link/.cache/frame.cpp", "#include <QString>\n"}},
     {}},
};

class LayerOrderCase : public testing::TestWithParam<LayerCase> {};

TEST_P(LayerOrderCase, JudgesEveryIncludeAndNamesFileAndLine) {
    const FixtureTree tree(GetParam().files);
    std::vector<std::string> messages;
    for (const LayerViolation& violation : CheckLayers(tree.Root())) {
        messages.push_back(violation.message);
    }
    EXPECT_EQ(messages, std::vector<std::string>(GetParam().expected.begin(), GetParam().expected.end()));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, LayerOrderCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<LayerCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(LayerOrder, TheSourceTreeKeepsTheLayerOrder) {
    std::string report;
    const auto violations = CheckLayers(BRENVIK_SOURCE_DIR);
    for (const LayerViolation& violation : violations) {
        report += "\n" + violation.message;
    }
    EXPECT_TRUE(violations.empty()) << report;
}

} // namespace
} // namespace brenvik::test
