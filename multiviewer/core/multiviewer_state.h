#pragma once


#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace brenvik {

// The multiviewer reports its whole state in one block of this many bytes.
inline constexpr std::size_t kMultiviewerStateBlockSize = 789;

inline constexpr int kWindowCount = 16;

// One window rectangle of the layout preview, or one switcher cell (number = the input feeding
// the loop output), in 720 x 480 canvas units. Unused records are all zero.
struct PreviewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int number = 0;
    bool operator==(const PreviewRect&) const = default;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A value per window or per input. The wire counts them 1..16: use At(n) with that number.
template <typename T> struct PerWindow {
    std::array<T, kWindowCount> values{};
    T& At(int n) { return values.at(static_cast<std::size_t>(n - 1)); }
    const T& At(int n) const { return values.at(static_cast<std::size_t>(n - 1)); }
    bool operator==(const PerWindow&) const = default;
};

// The console's picture of the open multiviewer's settings. The unit owns them; the record is
// filled from the 789-byte state block, changed by the senders just before they send, and by the
// unit's reports, all through the unit's session (MultiviewerSession). Written only on the thread
// that owns the session.
struct MultiviewerState {
    std::array<std::uint8_t, kMultiviewerStateBlockSize> stateBlock{}; // last block received, raw

    std::uint8_t layoutCode = 0;
    std::uint8_t outputFormat = 0;
    std::uint8_t audioSource = 0; // 0 off, n = window n
    std::uint8_t meterAllOn = 0;
    std::uint8_t umdAllOn = 0;
    std::uint8_t formatStatusOn = 0;
    std::uint8_t timecodeOn = 0;
    std::uint8_t audioAlarmOn = 0;
    std::uint8_t borderOn = 0;
    std::uint8_t networkDhcp = 1;
    std::uint8_t switcherMode = 1;

    PerWindow<std::uint8_t> windowSource;      // input shown in window n
    PerWindow<std::uint8_t> loopRoute;         // input sent to loop output n
    PerWindow<std::uint8_t> umdOn;             // per window
    PerWindow<std::uint8_t> umdTextColor;      // per input, colour index
    PerWindow<std::uint8_t> umdBackColor;      // per input, colour index
    PerWindow<std::uint8_t> meterOn;           // per window
    PerWindow<std::uint8_t> meterChannel;      // per window, channel pair 0..7
    PerWindow<std::uint8_t> signalPresent;     // per window
    PerWindow<std::uint8_t> signalFormat;      // per window, signal format code
    PerWindow<std::uint8_t> formatTextColor;   // per window
    PerWindow<std::uint8_t> formatBackColor;   // per window
    PerWindow<std::uint8_t> timecodeTextColor; // per window; kept and sent, not drawn
    PerWindow<std::uint8_t> timecodeBackColor; // per window; kept and sent, not drawn
    PerWindow<std::u16string> inputNames;      // per input; "Umd_01".. until the first read
    PerWindow<std::u16string> formatTexts;     // per window; "1080p30" until the first read
    std::u16string customName;

    std::uint8_t umdColorInput = 0;     // colour page's input for the UMD colours, 0 = all
    std::uint8_t formatColorWindow = 0; // colour page's window for format and time code colours, 0 = all
    std::uint8_t meterWindow = 0;       // audio page's window, 0 = window 1

    // Derived drawing data, one entry per window number.
    PerWindow<Rgb> umdBackRgb;
    PerWindow<Rgb> umdTextRgb;
    PerWindow<Rgb> formatBackRgb;
    PerWindow<Rgb> formatTextRgb;
    std::array<PreviewRect, kWindowCount> windowRects{}; // current layout, in window order
    std::array<PreviewRect, kWindowCount> switcherCells{};

    // The record as the main window creates and initialises it: all zero but switcherMode and
    // networkDhcp, input names Umd_01..Umd_16 and every format text "1080p30".
    static MultiviewerState Defaults();
    bool operator==(const MultiviewerState&) const = default;
};

} // namespace brenvik
