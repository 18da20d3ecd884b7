#include "multiviewer/core/preview_placement.h"

#include <optional>
#include <span>
#include <string_view>

namespace brenvik {

namespace {

using Box = PreviewPlacement::Box;
using Decoration = PreviewPlacement::Decoration;
using Kind = PreviewPlacement::Decoration::Kind;

// The drawn rectangle is the window rectangle moved by dx, dy and grown by dw, dh (negative:
// shrunk), which leaves room for labels and meters outside the smaller picture.
struct Inset {
    int dx = 0;
    int dy = 0;
    int dw = 0;
    int dh = 0;
};

// UMD label: a name of up to `wholeUpTo` characters is written at c - shortOffset -
// shortPerChar * L, y + h + shortY. A longer one is cut to `cutTo` characters and "..." when
// cutTo is set, else written whole, at c - longOffset - longPerChar * L, y + h + longY.
struct UmdRule {
    int wholeUpTo;
    int shortOffset;
    int shortPerChar;
    int shortY;
    int cutTo;
    int longOffset;
    int longPerChar;
    int longY;
};

// Meter bar at x + xOffset, y + h / 4, `width` wide (0: w / 16), 7 h / 10 + heightOffset high.
struct MeterRule {
    int xOffset = 20;
    int width = 0;
    int heightOffset = 0;
};

struct LayoutRow {
    int firstCode;
    int lastCode;
    int firstWindow;
    int lastWindow;
    Inset inset;
    UmdRule umd;
    MeterRule meter;
    int formatY; // format label at x + w - 70, y + formatY
};

constexpr int kWhole = 0;

constexpr Inset kCell{};
constexpr Inset kInset52{40, 25, -52, -50};
constexpr Inset kInset44{32, 25, -44, -50};

constexpr MeterRule kDefaultMeter{};
constexpr MeterRule kMeterLeft25{-35, 25, 0};
constexpr MeterRule kMeterLeft15{-20, 15, 0};

constexpr UmdRule kSmallCut64{8, 0, 4, 2, 8, 64, 0, 2};

// Codes, window positions, drawn rectangle, UMD label, meter bar, format label y.
constexpr auto kLayoutRows = std::to_array<LayoutRow>({
    {1, 16, 1, 1, kCell, {20, 140, 0, -60, 7, 48, 0, -60}, kDefaultMeter, 10},
    {40, 40, 1, 4, kCell, {20, 100, 0, -30, 7, 48, 0, -30}, kDefaultMeter, 10},
    {41, 41, 1, 4, {40, 25, -56, -50}, {20, 100, 0, 2, 7, 48, 0, 2}, {-35, 30, 0}, -20},
    {42, 42, 1, 2, {40, 25, -80, -100}, {20, 100, 0, 2, 20, 48, 0, 2}, kMeterLeft25, -20},
    {42, 42, 3, 4, {40, 75, -80, -100}, {20, 100, 0, 2, 20, 48, 0, 2}, kMeterLeft25, -20},
    {60, 60, 1, 1, kCell, {10, 0, 4, -40, kWhole, 0, 5, -40}, kDefaultMeter, 10},
    {60, 60, 2, 6, kCell, {10, 0, 4, -20, 10, 64, 0, -20}, kDefaultMeter, 10},
    {61, 61, 1, 1, kInset52, {10, 107, 0, 2, kWhole, 0, 5, -34}, kMeterLeft25, -20},
    {61, 61, 2, 6, kInset52, {10, 47, 0, 2, 10, 64, 0, 2}, kMeterLeft25, -20},
    {80, 80, 1, 8, kCell, {8, 0, 4, -23, 8, 48, 0, -23}, {20, 20, 0}, 5},
    {81, 81, 1, 8, {40, 25, -48, -50}, {8, 0, 4, 2, 8, 64, 0, 2}, {-35, 20, 7}, -20},
    {82, 83, 1, 8, kInset52, {10, 0, 4, 2, 10, 72, 0, 2}, kMeterLeft25, -20},
    {90, 90, 1, 9, kCell, {10, 0, 4, -20, 10, 64, 0, -20}, {20, 25, 0}, 5},
    {91, 91, 1, 9, kInset52, {8, 0, 4, 5, 8, 72, 0, 5}, kMeterLeft25, -20},
    {92, 93, 1, 1, kInset52, {8, 0, 4, 2, kWhole, 0, 8, 2}, kMeterLeft25, -20},
    {92, 93, 2, 9, kInset52, kSmallCut64, kMeterLeft25, -20},
    {100, 100, 1, 2, kCell, {8, 0, 6, -30, kWhole, 0, 5, -30}, kDefaultMeter, 10},
    {100, 100, 3, 10, kCell, {8, 0, 6, -23, 8, 56, 0, -15}, kDefaultMeter, 10},
    {101, 102, 1, 2, kInset52, {8, 0, 4, 2, kWhole, 0, 6, 2}, kMeterLeft25, -20},
    {101, 102, 3, 10, kInset52, kSmallCut64, kMeterLeft25, -20},
    {111, 111, 1, 1, kInset44, {8, 0, 4, 2, kWhole, 0, 8, 2}, kMeterLeft15, -20},
    {111, 111, 2, 11, kInset44, kSmallCut64, kMeterLeft15, -20},
    {121, 121, 1, 12, kInset44, kSmallCut64, kMeterLeft15, -20},
    {161, 161, 1, 16, kInset44, kSmallCut64, kMeterLeft15, -20},
    {160, 160, 1, 16, kCell, {8, 0, 4, -23, 8, 58, 0, -23}, {20, 0, -12}, 10},
});

struct DecorationGroup {
    int code;
    std::span<const Decoration> items;
};

constexpr std::array<Decoration, 1> kClock42 = {{{Kind::Clock, {300, 180, 120, 120}}}};
constexpr std::array<Decoration, 2> kBars82 = {
    {{Kind::Bar, {280, 40, 180, 30}}, {Kind::Bar, {280, 96, 180, 30}}}};
constexpr std::array<Decoration, 2> kBars83 = {
    {{Kind::Bar, {280, 200, 180, 30}}, {Kind::Bar, {280, 256, 180, 30}}}};
constexpr std::array<Decoration, 3> kClockBars92 = {{
    {Kind::Clock, {0, 150, 180, 180}},
    {Kind::Bar, {552, 180, 156, 45}},
    {Kind::Bar, {552, 255, 156, 45}},
}};
constexpr std::array<Decoration, 3> kClockBars93 = {{
    {Kind::Clock, {360, 30, 180, 180}},
    {Kind::Bar, {552, 60, 156, 45}},
    {Kind::Bar, {552, 135, 156, 45}},
}};
constexpr std::array<Decoration, 4> kBars111 = {{
    {Kind::Bar, {225, 375, 120, 30}},
    {Kind::Bar, {225, 420, 120, 30}},
    {Kind::Bar, {405, 375, 120, 30}},
    {Kind::Bar, {405, 420, 120, 30}},
}};
constexpr std::array<Decoration, 3> kClockBars121 = {{
    {Kind::Clock, {180, 30, 180, 180}},
    {Kind::Bar, {368, 60, 164, 45}},
    {Kind::Bar, {368, 135, 164, 45}},
}};

constexpr auto kDecorationGroups = std::to_array<DecorationGroup>({
    {42, kClock42},
    {82, kBars82},
    {83, kBars83},
    {92, kClockBars92},
    {93, kClockBars93},
    {111, kBars111},
    {121, kClockBars121},
});

constexpr int kFrameWidth = 2;
constexpr int kNumberOffset = 5;
constexpr int kFormatLabelFromRight = 70;
constexpr std::u16string_view kCutMark = u"...";

std::optional<LayoutRow> FindRow(int layoutCode, int windowPosition) {
    for (const LayoutRow& row : kLayoutRows) {
        if (layoutCode >= row.firstCode && layoutCode <= row.lastCode && windowPosition >= row.firstWindow &&
            windowPosition <= row.lastWindow) {
            return row;
        }
    }
    return std::nullopt;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Code units of the character that starts at `at`: a surrogate pair is one character.
std::size_t CharacterSize(std::u16string_view text, std::size_t at) {
    return IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]) ? 2 : 1;
}

// Names count and cut in characters, so a cut never splits a surrogate pair.
int CharacterCount(std::u16string_view text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterSize(text, at)) {
        ++count;
    }
    return count;
}

std::u16string FirstCharacters(std::u16string_view text, int count) {
    std::size_t end = 0;
    for (int taken = 0; end < text.size() && taken < count; ++taken) {
        end += CharacterSize(text, end);
    }
    return std::u16string(text.substr(0, end));
}

std::u16string Decimal(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

bool InWireRange(int number) {
    return number >= 1 && number <= kWindowCount;
}

Box Shrunk(const Box& box) {
    return {box.x + kFrameWidth, box.y + kFrameWidth, box.width - 2 * kFrameWidth,
            box.height - 2 * kFrameWidth};
}

PreviewPlacement::Text NumberText(const Box& box, int number) {
    return {true,
            box.x + box.width / 2 - kNumberOffset,
            box.y + box.height / 2 - kNumberOffset,
            Decimal(number),
            kFrameBlue,
            Rgb{},
            false};
}

PreviewPlacement::Text UmdText(const Box& drawn, const UmdRule& rule, std::u16string_view name) {
    const int c = drawn.x + drawn.width / 2;
    const int length = CharacterCount(name);
    PreviewPlacement::Text text;
    text.shown = true;
    if (length <= rule.wholeUpTo) {
        text.text = std::u16string(name);
        text.x = c - rule.shortOffset - rule.shortPerChar * length;
        text.y = drawn.y + drawn.height + rule.shortY;
    } else {
        if (rule.cutTo == kWhole) {
            text.text = std::u16string(name);
        } else {
            text.text = FirstCharacters(name, rule.cutTo);
            text.text += kCutMark;
        }
        text.x = c - rule.longOffset - rule.longPerChar * length;
        text.y = drawn.y + drawn.height + rule.longY;
    }
    return text;
}

void PlaceSwitcherGrid(const MultiviewerState& state, PreviewPlacement& placement) {
    for (const PreviewRect& cell : state.switcherCells) {
        if (cell.width <= 0 || cell.height <= 0) {
            continue;
        }
        PreviewPlacement::Window& window =
            placement.windows[static_cast<std::size_t>(placement.windowCount++)];
        window.frame = {cell.x, cell.y, cell.width, cell.height};
        window.frameColor = kFrameBlue;
        window.inside = Shrunk(window.frame);
        window.number = NumberText(window.frame, cell.number);
    }
}

void PlaceWindow(const MultiviewerState& state, const PreviewRect& rect, int position,
                 PreviewPlacement::Window& window) {
    const int n = rect.number;
    const std::optional<LayoutRow> row = FindRow(state.layoutCode, position);
    const Inset inset = row ? row->inset : kCell;
    const Box drawn{rect.x + inset.dx, rect.y + inset.dy, rect.width + inset.dw, rect.height + inset.dh};
    const int x = drawn.x;
    const int y = drawn.y;
    const int w = drawn.width;
    const int h = drawn.height;

    window.frame = drawn;
    window.frameColor = state.borderOn != 0 ? kFrameBlue : kFrameGrey;
    window.inside = Shrunk(drawn);
    window.number = NumberText(drawn, n);
    if (!row) {
        return;
    }

    const int source = state.windowSource.At(n);
    if (state.umdAllOn != 0 && state.umdOn.At(n) != 0 && InWireRange(source)) {
        window.umd = UmdText(drawn, row->umd, state.inputNames.At(source));
        window.umd.textColor = state.umdTextRgb.At(n);
        window.umd.backColor = state.umdBackRgb.At(n);
    }
    if (state.meterAllOn != 0 && state.meterOn.At(n) != 0) {
        const MeterRule& meter = row->meter;
        window.meterShown = true;
        window.meter = {x + meter.xOffset, y + h / 4, meter.width != 0 ? meter.width : w / 16,
                        7 * h / 10 + meter.heightOffset};
    }
    if (state.formatStatusOn != 0) {
        window.format = {true,
                         x + w - kFormatLabelFromRight,
                         y + row->formatY,
                         state.formatTexts.At(n),
                         state.formatTextRgb.At(n),
                         state.formatBackRgb.At(n),
                         true};
    }
}

} // namespace

std::span<const PreviewPlacement::Decoration> LayoutDecorations(std::uint8_t layoutCode) {
    for (const DecorationGroup& group : kDecorationGroups) {
        if (group.code == layoutCode) {
            return group.items;
        }
    }
    return {};
}

bool PreviewDraws(MultiviewerField field) {
    using F = MultiviewerField;
    switch (field) {
    case F::LayoutCode:
    case F::WindowSource:
    case F::LoopRoute:
    case F::UmdOn:
    case F::UmdAllOn:
    case F::UmdTextColor:
    case F::UmdBackColor:
    case F::FormatTextColor:
    case F::FormatBackColor:
    case F::Border:
    case F::FormatStatus:
    case F::MeterOn:
    case F::MeterAllOn:
    case F::Signal:
    case F::InputName:
        return true;
    default:
        return false;
    }
}

PreviewPlacement PlacePreview(const MultiviewerState& state, PreviewKind kind) {
    PreviewPlacement placement;
    if (kind == PreviewKind::SwitcherGrid) {
        PlaceSwitcherGrid(state, placement);
        return placement;
    }

    for (std::size_t k = 0; k < state.windowRects.size(); ++k) {
        const PreviewRect& rect = state.windowRects[k];
        if (rect.width <= 0 || rect.height <= 0 || !InWireRange(rect.number)) {
            continue;
        }
        PlaceWindow(state, rect, static_cast<int>(k) + 1,
                    placement.windows[static_cast<std::size_t>(placement.windowCount++)]);
    }

    for (const Decoration& decoration : LayoutDecorations(state.layoutCode)) {
        placement.decorations[static_cast<std::size_t>(placement.decorationCount++)] = decoration;
    }
    return placement;
}

} // namespace brenvik
