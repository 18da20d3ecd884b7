#include "multiviewer/core/layout_geometry.h"

#include <span>

namespace brenvik {

namespace {

struct Cell {
    int x;
    int y;
    int width;
    int height;
};

// The windows of a layout in record order; their numbers are their positions 1, 2, ...
template <int Columns, int Rows> constexpr std::array<Cell, Columns * Rows> Grid(int width, int height) {
    std::array<Cell, Columns * Rows> cells{};
    for (int k = 0; k < Columns * Rows; ++k) {
        cells[static_cast<std::size_t>(k)] = {width * (k % Columns), height * (k / Columns), width, height};
    }
    return cells;
}

constexpr std::array<Cell, 1> kFull = {{{0, 0, 720, 480}}};
constexpr auto kQuad = Grid<2, 2>(360, 240);
constexpr auto kNine = Grid<3, 3>(240, 160);
constexpr auto kSixteen = Grid<4, 4>(180, 120);

constexpr std::array<Cell, 6> kSix = {{
    {0, 0, 480, 320},
    {480, 0, 240, 160},
    {480, 160, 240, 160},
    {0, 320, 240, 160},
    {240, 320, 240, 160},
    {480, 320, 240, 160},
}};

constexpr std::array<Cell, 8> kEightTwoRows = {{
    {0, 120, 180, 120},
    {180, 120, 180, 120},
    {360, 120, 180, 120},
    {540, 120, 180, 120},
    {0, 240, 180, 120},
    {180, 240, 180, 120},
    {360, 240, 180, 120},
    {540, 240, 180, 120},
}};

constexpr std::array<Cell, 8> kEightNoTopMiddle = {{
    {0, 0, 240, 160},
    {480, 0, 240, 160},
    {0, 160, 240, 160},
    {240, 160, 240, 160},
    {480, 160, 240, 160},
    {0, 320, 240, 160},
    {240, 320, 240, 160},
    {480, 320, 240, 160},
}};

constexpr std::array<Cell, 8> kEightNoCentre = {{
    {0, 0, 240, 160},
    {240, 0, 240, 160},
    {480, 0, 240, 160},
    {0, 160, 240, 160},
    {480, 160, 240, 160},
    {0, 320, 240, 160},
    {240, 320, 240, 160},
    {480, 320, 240, 160},
}};

constexpr std::array<Cell, 9> kNineCentreBig = {{
    {180, 120, 360, 240},
    {0, 0, 180, 120},
    {180, 0, 180, 120},
    {360, 0, 180, 120},
    {540, 0, 180, 120},
    {0, 360, 180, 120},
    {180, 360, 180, 120},
    {360, 360, 180, 120},
    {540, 360, 180, 120},
}};

constexpr std::array<Cell, 9> kNineTopLeftBig = {{
    {0, 0, 360, 240},
    {0, 240, 180, 120},
    {180, 240, 180, 120},
    {360, 240, 180, 120},
    {540, 240, 180, 120},
    {0, 360, 180, 120},
    {180, 360, 180, 120},
    {360, 360, 180, 120},
    {540, 360, 180, 120},
}};

constexpr std::array<Cell, 10> kTenTwoBigTop = {{
    {0, 0, 360, 240},
    {360, 0, 360, 240},
    {0, 240, 180, 120},
    {180, 240, 180, 120},
    {360, 240, 180, 120},
    {540, 240, 180, 120},
    {0, 360, 180, 120},
    {180, 360, 180, 120},
    {360, 360, 180, 120},
    {540, 360, 180, 120},
}};

constexpr std::array<Cell, 10> kTenTwoBigLeft = {{
    {0, 0, 360, 240},
    {0, 240, 360, 240},
    {360, 0, 180, 120},
    {540, 0, 180, 120},
    {360, 120, 180, 120},
    {540, 120, 180, 120},
    {360, 240, 180, 120},
    {540, 240, 180, 120},
    {360, 360, 180, 120},
    {540, 360, 180, 120},
}};

// The bottom middle of 111 and the top middle of 121 are left to the decorations.
constexpr std::array<Cell, 11> kEleven = {{
    {180, 120, 360, 240},
    {180, 0, 180, 120},
    {360, 0, 180, 120},
    {0, 0, 180, 120},
    {0, 120, 180, 120},
    {0, 240, 180, 120},
    {0, 360, 180, 120},
    {540, 0, 180, 120},
    {540, 120, 180, 120},
    {540, 240, 180, 120},
    {540, 360, 180, 120},
}};

constexpr std::array<Cell, 12> kTwelve = {{
    {180, 240, 180, 120},
    {360, 240, 180, 120},
    {180, 360, 180, 120},
    {360, 360, 180, 120},
    {0, 0, 180, 120},
    {0, 120, 180, 120},
    {0, 240, 180, 120},
    {0, 360, 180, 120},
    {540, 0, 180, 120},
    {540, 120, 180, 120},
    {540, 240, 180, 120},
    {540, 360, 180, 120},
}};

struct LayoutGroup {
    int firstCode;
    int lastCode;
    std::span<const Cell> cells;
};

constexpr auto kLayoutGroups = std::to_array<LayoutGroup>({
    {1, 16, kFull},
    {40, 42, kQuad},
    {60, 61, kSix},
    {80, 81, kEightTwoRows},
    {82, 82, kEightNoTopMiddle},
    {83, 83, kEightNoCentre},
    {90, 91, kNine},
    {92, 92, kNineCentreBig},
    {93, 93, kNineTopLeftBig},
    {100, 101, kTenTwoBigTop},
    {102, 102, kTenTwoBigLeft},
    {111, 111, kEleven},
    {121, 121, kTwelve},
    {160, 161, kSixteen},
});

// A single-window layout 1..16 shows one input full screen and carries that input's number.
constexpr int kLastSingleWindowCode = 16;

constexpr int kSwitcherColumns = 4;
constexpr int kSwitcherCellWidth = 180;
constexpr int kSwitcherCellHeight = 120;

} // namespace

std::array<PreviewRect, kWindowCount> ComputeLayoutGeometry(std::uint8_t layoutCode) {
    std::array<PreviewRect, kWindowCount> rects{};
    for (const LayoutGroup& group : kLayoutGroups) {
        if (layoutCode < group.firstCode || layoutCode > group.lastCode) {
            continue;
        }
        for (std::size_t k = 0; k < group.cells.size(); ++k) {
            const Cell& cell = group.cells[k];
            const int number = layoutCode <= kLastSingleWindowCode ? layoutCode : static_cast<int>(k) + 1;
            rects[k] = {cell.x, cell.y, cell.width, cell.height, number};
        }
        break;
    }
    return rects;
}

std::array<PreviewRect, kWindowCount> ComputeSwitcherCells(const PerWindow<std::uint8_t>& loopRoute) {
    std::array<PreviewRect, kWindowCount> cells{};
    for (int k = 0; k < kWindowCount; ++k) {
        cells[static_cast<std::size_t>(k)] = {kSwitcherCellWidth * (k % kSwitcherColumns),
                                              kSwitcherCellHeight * (k / kSwitcherColumns),
                                              kSwitcherCellWidth, kSwitcherCellHeight, loopRoute.At(k + 1)};
    }
    return cells;
}

} // namespace brenvik
