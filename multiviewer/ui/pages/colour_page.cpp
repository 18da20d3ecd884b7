#include "multiviewer/ui/pages/colour_page.h"

#include "multiviewer/core/page_controls.h"

#include <QComboBox>

#include <array>

namespace brenvik {

namespace {

namespace pc = page_control;

constexpr int kTargetCount = 16;
constexpr int kListX = 240;
constexpr int kListWidth = 100;
constexpr int kListHeight = 20;

constexpr std::array<const char*, 16> kColourNames{
    "Black", "Blue",      "Red",       "Magenta",    "Green",     "Cyan",        "Yellow", "White",
    "Gray",  "VioletRed", "LightBlue", "LightGreen", "LightCyan", "LightYellow", "Trans",  "HalfTrans"};

QStringList SelectorEntries(const char* format) {
    QStringList entries{QStringLiteral("All Windows")};
    for (int n = 1; n <= kTargetCount; ++n) {
        entries.append(QString::asprintf(format, n));
    }
    return entries;
}

// A selection kept in the record names target 1..16, or 0 for all; the lists show target 1's
// colours for "all", and a value the record should never hold is shown the same way rather than
// indexing past the arrays.
int ShownTarget(std::uint8_t selection) {
    return selection >= 1 && selection <= kTargetCount ? selection : 1;
}

// A colour list: where it sits, which selector names its target, the colours of the record it
// shows and the sender that sets them.
struct ColourList {
    int id;
    const char* name; // the label beside the list
    int y;
    int selector;
    PerWindow<std::uint8_t> MultiviewerState::*colours;
    bool (MultiviewerCommands::*send)(int target, std::uint8_t colour);
};

constexpr std::array<ColourList, 6> kColourLists{{
    {pc::kUmdTextColourList, "UMD Text Color", 62, pc::kColourInputList, &MultiviewerState::umdTextColor,
     &MultiviewerCommands::SetUmdTextColor},
    {pc::kUmdBackColourList, "UMD Background Color", 100, pc::kColourInputList,
     &MultiviewerState::umdBackColor, &MultiviewerCommands::SetUmdBackColor},
    {pc::kFormatTextColourList, "Format Text Color", 190, pc::kColourWindowList,
     &MultiviewerState::formatTextColor, &MultiviewerCommands::SetFormatTextColor},
    {pc::kFormatBackColourList, "Format Background Color", 230, pc::kColourWindowList,
     &MultiviewerState::formatBackColor, &MultiviewerCommands::SetFormatBackColor},
    {pc::kTimecodeTextColourList, "Time Code Text Color", 308, pc::kColourWindowList,
     &MultiviewerState::timecodeTextColor, &MultiviewerCommands::SetTimecodeTextColor},
    {pc::kTimecodeBackColourList, "Time Code Background Color", 346, pc::kColourWindowList,
     &MultiviewerState::timecodeBackColor, &MultiviewerCommands::SetTimecodeBackColor},
}};

} // namespace

QStringList CClass_16_view_color::ColourEntries() {
    QStringList entries;
    for (const char* name : kColourNames) {
        entries.append(QLatin1String(name));
    }
    return entries;
}

CClass_16_view_color::CClass_16_view_color(QWidget* parent, SettingPageContext& context)
    : SettingPage(parent, PageLook{context.scale, 297, kCommonPageColours}), m_context(context) {
    setObjectName(QStringLiteral("145"));

    QComboBox* inputs = AddList(pc::kColourInputList, QStringLiteral("Source"), kListX, 25, kListWidth,
                                kListHeight, SelectorEntries("SDI %d"));
    connect(inputs, &QComboBox::activated, this, &CClass_16_view_color::OnInputSelected);
    QComboBox* windows = AddList(pc::kColourWindowList, QStringLiteral("Windows"), kListX, 150, kListWidth,
                                 kListHeight, SelectorEntries("Window_%02d"));
    connect(windows, &QComboBox::activated, this, &CClass_16_view_color::OnWindowSelected);
    for (std::size_t row = 0; row < kColourLists.size(); ++row) {
        QComboBox* list = AddList(kColourLists[row].id, QLatin1String(kColourLists[row].name), kListX,
                                  kColourLists[row].y, kListWidth, kListHeight, ColourEntries());
        connect(list, &QComboBox::activated, this, [this, row] { OnColourChosen(row); });
    }
    QComboBox* border = AddList(pc::kBorderList, QStringLiteral("Border Color"), kListX, 268, kListWidth,
                                kListHeight, {QStringLiteral("OFF"), QStringLiteral("ON")});
    connect(border, &QComboBox::activated, this, &CClass_16_view_color::OnBorderChanged);
    RefreshColourPage();
}

void CClass_16_view_color::Refresh() {
    RefreshColourPage();
}

void CClass_16_view_color::RefreshColourPage() {
    // The selectors follow the record too: after the unit's defaults are loaded both selections
    // are "all", and a selector left on its old entry would show one target and spring back to
    // another.
    SelectQuietly(ControlNumbered<QComboBox>(pc::kColourInputList), m_context.state.umdColorInput);
    SelectQuietly(ControlNumbered<QComboBox>(pc::kColourWindowList), m_context.state.formatColorWindow);
    ShowColoursOf(pc::kColourInputList);
    ShowColoursOf(pc::kColourWindowList);
    SelectQuietly(ControlNumbered<QComboBox>(pc::kBorderList), m_context.state.borderOn);
}

int CClass_16_view_color::ShownColour(std::size_t row) const {
    const ColourList& colourList = kColourLists[row];
    const std::uint8_t selection = colourList.selector == pc::kColourInputList
                                       ? m_context.state.umdColorInput
                                       : m_context.state.formatColorWindow;
    return (m_context.state.*colourList.colours).At(ShownTarget(selection));
}

void CClass_16_view_color::ShowColoursOf(int selectorList) {
    for (std::size_t row = 0; row < kColourLists.size(); ++row) {
        if (kColourLists[row].selector == selectorList) {
            SelectQuietly(ControlNumbered<QComboBox>(kColourLists[row].id), ShownColour(row));
        }
    }
}

void CClass_16_view_color::OnInputSelected() {
    auto* list = ControlNumbered<QComboBox>(pc::kColourInputList);
    if (SpringBackWhileLocked(m_context.consoleLocked, list, m_context.state.umdColorInput)) {
        return;
    }
    m_context.state.umdColorInput = static_cast<std::uint8_t>(list->currentIndex());
    ShowColoursOf(pc::kColourInputList);
}

void CClass_16_view_color::OnWindowSelected() {
    auto* list = ControlNumbered<QComboBox>(pc::kColourWindowList);
    if (SpringBackWhileLocked(m_context.consoleLocked, list, m_context.state.formatColorWindow)) {
        return;
    }
    m_context.state.formatColorWindow = static_cast<std::uint8_t>(list->currentIndex());
    ShowColoursOf(pc::kColourWindowList);
}

void CClass_16_view_color::OnColourChosen(std::size_t row) {
    const ColourList& colourList = kColourLists[row];
    auto* list = ControlNumbered<QComboBox>(colourList.id);
    const int target = ControlNumbered<QComboBox>(colourList.selector)->currentIndex();
    // A selector showing no entry names no target: nothing can be sent for it.
    if (SpringBackWhileLocked(m_context.consoleLocked || target < 0, list, ShownColour(row))) {
        return;
    }
    (m_context.commands.*colourList.send)(target, static_cast<std::uint8_t>(list->currentIndex()));
}

void CClass_16_view_color::OnBorderChanged() {
    auto* list = ControlNumbered<QComboBox>(pc::kBorderList);
    if (SpringBackWhileLocked(m_context.consoleLocked, list, m_context.state.borderOn)) {
        return;
    }
    m_context.commands.SetBorder(static_cast<std::uint8_t>(list->currentIndex()));
}

} // namespace brenvik
