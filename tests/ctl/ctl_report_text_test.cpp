#include "ctl/report_text.h"
#include "link/frame.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace brenvik::ctl {
namespace {

// A report as a unit sends it: its values from offset 18.
Frame Report(std::uint8_t opcode, std::vector<std::uint8_t> values) {
    values.insert(values.begin(), 0x00);
    return BuildFrame(0xA1, 0x01, 0x01, opcode, values);
}

Frame Cut(Frame frame, std::size_t size) {
    frame.resize(size);
    return frame;
}

TEST(CtlReportText, EachReportReadsAsOneLine) {
    const struct {
        Frame report;
        std::optional<std::string> text;
        std::optional<std::string> json;
    } cases[] = {
        {Report(0x3B, {3, 2}), "umd-text-colour input=3 colour=Red",
         R"({"report":"umd-text-colour","opcode":59,"input":3,"colour":2})"},
        {Report(0x55, {0, 20}), "timecode-back-colour window=0 colour=20", std::nullopt},
        {Report(0x51, {3, 1, 31}), "signal window-index=3 present=on format=1080p60",
         R"({"report":"signal","opcode":81,"window-index":3,"present":1,"format":31})"},
        {Report(0x51, {3, 0, 31}), "signal window-index=3 present=off format=No Signal", std::nullopt},
        {Report(0x19, {0, 14}), "output-format code=720p60",
         R"({"report":"output-format","opcode":25,"code":14})"},
        {Report(0x52, {16, 7}), "meter-channel window=16 pair=7", std::nullopt},
        {Report(0x0B, {}), "load-default", R"({"report":"load-default","opcode":11})"},
        // What the console ignores is not shown: a number out of range, a report too short for its
        // values, an opcode no report has.
        {Report(0x3B, {17, 2}), std::nullopt, std::nullopt},
        {Report(0x51, {16, 1, 31}), std::nullopt, std::nullopt},
        {Cut(Report(0x34, {3, 2}), 19), std::nullopt, std::nullopt},
        {Report(0x7E, {1}), std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReportLine(c.report, false), c.text) << c.text.value_or("(none)");
        if (c.json || !c.text) {
            EXPECT_EQ(ReportLine(c.report, true), c.json) << c.text.value_or("(none)");
        }
    }
}

} // namespace
} // namespace brenvik::ctl
