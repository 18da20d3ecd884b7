#include "multiviewer/ui/pages/layout_page.h"

#include "controls/picture_button.h"
#include "multiviewer/ui/pages/page_controls.h"

#include <QComboBox>

#include <algorithm>
#include <optional>

namespace brenvik {

namespace {

// One layout button: the code it stands for, its control number, its place (scaled) and pixel
// size, and its normal picture; the highlighted picture is the next number.
struct LayoutButton {
    std::uint8_t code;
    int controlId;
    int x;
    int y;
    int width;
    int height;
    int normalPicture;
};

// The sixteen single-window buttons stand in two columns, odd codes left; then the layouts of
// 4, 6, 8, 9, 10, 11, 12 and 16 windows, each count with its own places.
constexpr std::array<LayoutButton, CClass_16_view_mode::kLayoutButtonCount> MakeLayoutButtons() {
    std::array<LayoutButton, CClass_16_view_mode::kLayoutButtonCount> buttons{};
    for (int code = 1; code <= 16; ++code) {
        buttons[static_cast<std::size_t>(code - 1)] = LayoutButton{static_cast<std::uint8_t>(code),
                                                                   1083 + code - 1,
                                                                   code % 2 == 1 ? 80 : 140,
                                                                   60 + 45 * ((code - 1) / 2),
                                                                   70,
                                                                   45,
                                                                   215 + 2 * (code - 1)};
    }
    constexpr std::array<LayoutButton, 20> kMultiWindow{{
        {40, 1082, 70, 65, 135, 110, 247},   {41, 1099, 70, 180, 135, 130, 249},
        {42, 1100, 70, 300, 135, 110, 251},  {60, 1101, 60, 60, 160, 140, 253},
        {61, 1117, 60, 220, 160, 140, 361},  {80, 1102, 60, 50, 140, 65, 255},
        {81, 1103, 60, 120, 140, 65, 257},   {82, 1104, 60, 190, 140, 110, 259},
        {83, 1114, 60, 305, 140, 110, 369},  {90, 1105, 70, 60, 120, 90, 263},
        {91, 1106, 70, 150, 120, 90, 261},   {92, 1107, 70, 240, 120, 90, 265},
        {93, 1108, 70, 330, 120, 90, 267},   {100, 1109, 50, 50, 160, 120, 269},
        {101, 1110, 50, 180, 160, 115, 271}, {102, 1115, 50, 300, 160, 115, 455},
        {111, 1111, 50, 60, 180, 150, 273},  {121, 1112, 50, 60, 180, 150, 275},
        {160, 1113, 40, 60, 180, 155, 277},  {161, 1116, 40, 230, 180, 155, 391},
    }};
    std::copy(kMultiWindow.begin(), kMultiWindow.end(), buttons.begin() + 16);
    return buttons;
}

constexpr auto kLayoutButtons = MakeLayoutButtons();

// The window-count list, entry by entry. The 11- and 12-window layouts have one button each, which
// stands for every variant of its count.
struct WindowCountEntry {
    int windows;
    bool oneButtonForAllVariants;
};
constexpr std::array<WindowCountEntry, 9> kWindowCounts{{
    {1, false},
    {4, false},
    {6, false},
    {8, false},
    {9, false},
    {10, false},
    {11, true},
    {12, true},
    {16, false},
}};

constexpr int kWindowCountList = 1074;
constexpr int kSingleWindowCodes = 16;

// Single-window codes (0..16) belong to the count 1; above 16 the tens give the count.
constexpr int WindowCountOf(int code) {
    return code <= kSingleWindowCodes ? 1 : code / 10;
}

constexpr int ButtonWindowCount(const LayoutButton& button) {
    return WindowCountOf(button.code);
}

std::optional<std::size_t> WindowCountEntryOf(int windows) {
    const auto* found = std::find_if(kWindowCounts.begin(), kWindowCounts.end(),
                                     [windows](const WindowCountEntry& e) { return e.windows == windows; });
    if (found == kWindowCounts.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - kWindowCounts.begin());
}

// The button a layout code highlights: its own, or for 11 and 12 windows the one button of the
// count whatever the variant; none for a code the unit may report that no button pictures.
std::optional<std::size_t> HighlightedButton(int code) {
    const auto* own = std::find_if(kLayoutButtons.begin(), kLayoutButtons.end(),
                                   [code](const LayoutButton& b) { return b.code == code; });
    if (own != kLayoutButtons.end()) {
        return static_cast<std::size_t>(own - kLayoutButtons.begin());
    }
    const int windows = WindowCountOf(code);
    const auto entry = WindowCountEntryOf(windows);
    if (code <= kSingleWindowCodes || !entry || !kWindowCounts[*entry].oneButtonForAllVariants) {
        return std::nullopt;
    }
    const auto* only =
        std::find_if(kLayoutButtons.begin(), kLayoutButtons.end(),
                     [windows](const LayoutButton& b) { return ButtonWindowCount(b) == windows; });
    if (only == kLayoutButtons.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(only - kLayoutButtons.begin());
}

// What a screen reader calls a layout button: the picture shows the arrangement only.
QString LayoutButtonName(const LayoutButton& button) {
    const int windows = ButtonWindowCount(button);
    if (windows == 1) {
        return QStringLiteral("Layout single window %1").arg(button.code);
    }
    const auto entry = WindowCountEntryOf(windows);
    if (entry && kWindowCounts[*entry].oneButtonForAllVariants) {
        return QStringLiteral("Layout %1 windows").arg(windows);
    }
    return QStringLiteral("Layout %1 windows, variant %2").arg(windows).arg(button.code % 10 + 1);
}

QStringList WindowCountTexts() {
    QStringList texts;
    for (const WindowCountEntry& entry : kWindowCounts) {
        texts.append(QStringLiteral("WIN %1").arg(entry.windows));
    }
    return texts;
}

} // namespace

CClass_16_view_mode::CClass_16_view_mode(QWidget* parent, SettingPageContext& context)
    : SettingPage(parent, context, PageLook{context.scale, 299, kCommonPageColours}) {
    setObjectName(QStringLiteral("143"));
    for (std::size_t i = 0; i < kLayoutButtons.size(); ++i) {
        const LayoutButton& entry = kLayoutButtons[i];
        m_layoutButtons[i] = AddPictureButton(entry.controlId, LayoutButtonName(entry), entry.x, entry.y,
                                              entry.width, entry.height, entry.normalPicture);
        const std::uint8_t code = entry.code;
        connect(m_layoutButtons[i], &QAbstractButton::clicked, this, [this, code] { OnLayoutButton(code); });
    }

    m_windowCount =
        AddList(kWindowCountList, QStringLiteral("Window count"), 100, 25, 120, 20, WindowCountTexts());
    SelectQuietly(m_windowCount, 0);
    connect(m_windowCount, &QComboBox::activated, this, &CClass_16_view_mode::OnWindowCountChanged);

    // The lists exist before the first refresh enables them; they show their inputs after it, as the
    // window sources are read.
    for (int window = 1; window <= 16; ++window) {
        QComboBox* list =
            AddList(page_control::LayoutSourceList(window), QStringLiteral("Window %1 input").arg(window),
                    365, 30 + 23 * (window - 1), 70, 20, InputEntries());
        m_sourceLists[static_cast<std::size_t>(window - 1)] = list;
        connect(list, &QComboBox::activated, this, [this, window] { OnWindowSourceChanged(window); });
    }
    RefreshLayoutPage();
    ShowSources();
}

void CClass_16_view_mode::Refresh() {
    RefreshLayoutPage();
    ShowSources();
}

void CClass_16_view_mode::OnFieldChanged(const MultiviewerChange& change) {
    if (change.field == MultiviewerField::LayoutCode) {
        RefreshLayoutPage();
        // A single-window layout shows one input full screen: window 1's list shows which.
        if (State().layoutCode <= kSingleWindowCodes) {
            SelectQuietly(m_sourceLists[0], State().layoutCode - 1);
        }
    } else if (change.field == MultiviewerField::WindowSource) {
        if (change.index == 0) {
            ShowSources();
        } else {
            ShowSource(change.index);
        }
    }
}

void CClass_16_view_mode::RefreshLayoutPage() {
    const int code = State().layoutCode;
    const int windows = WindowCountOf(code);
    // A count the list does not hold (a code from the unit such as 170) selects no entry.
    const auto entry = WindowCountEntryOf(windows);
    SelectQuietly(m_windowCount, entry ? static_cast<int>(*entry) : -1);

    for (std::size_t i = 0; i < kLayoutButtons.size(); ++i) {
        ShowPictureQuietly(m_layoutButtons[i], kLayoutButtons[i].normalPicture);
    }
    ShowGroup(windows);
    ShowHighlighted(static_cast<std::uint8_t>(code), true);
    EnableSourceLists(windows);
    m_lastLayoutCode = static_cast<std::uint8_t>(code);
}

void CClass_16_view_mode::ShowGroup(int windowCount) {
    for (std::size_t i = 0; i < kLayoutButtons.size(); ++i) {
        m_layoutButtons[i]->setVisible(ButtonWindowCount(kLayoutButtons[i]) == windowCount);
    }
}

void CClass_16_view_mode::EnableSourceLists(int windowCount) {
    for (int window = 1; window <= 16; ++window) {
        m_sourceLists[static_cast<std::size_t>(window - 1)]->setEnabled(windowCount != 1 &&
                                                                        window <= windowCount);
    }
}

void CClass_16_view_mode::ShowSources() {
    for (int window = 1; window <= 16; ++window) {
        ShowSource(window);
    }
}

void CClass_16_view_mode::ShowSource(int window) {
    SelectQuietly(m_sourceLists[static_cast<std::size_t>(window - 1)], State().windowSource.At(window) - 1);
}

void CClass_16_view_mode::ShowHighlighted(std::uint8_t code, bool highlighted) {
    if (const auto button = HighlightedButton(code)) {
        const LayoutButton& entry = kLayoutButtons[*button];
        ShowPictureQuietly(m_layoutButtons[*button], entry.normalPicture + (highlighted ? 1 : 0));
    }
}

void CClass_16_view_mode::OnWindowCountChanged(int entry) {
    if (entry < 0 || entry >= static_cast<int>(kWindowCounts.size())) {
        return;
    }
    // Only a click on a button of the new group changes the layout; the list itself stores and sends
    // nothing, so the lock does not concern it.
    const int windows = kWindowCounts[static_cast<std::size_t>(entry)].windows;
    ShowGroup(windows);
    EnableSourceLists(windows);
}

void CClass_16_view_mode::OnLayoutButton(std::uint8_t code) {
    if (Locked() || code == m_lastLayoutCode) {
        return;
    }
    // The session stores the code and the page follows it, highlight and all.
    Session().SetLayoutCode(code);
}

void CClass_16_view_mode::OnWindowSourceChanged(int window) {
    QComboBox* list = m_sourceLists[static_cast<std::size_t>(window - 1)];
    const int stored = State().windowSource.At(window);
    if (SpringBackWhileLocked(Locked(), list, stored - 1)) {
        return;
    }
    const int input = list->currentIndex() + 1;
    if (input == stored) {
        return;
    }
    Session().SetWindowSource(window, input);
}

} // namespace brenvik
