#include "multiviewer/ui/pages/colour_page.h"

#include "multiviewer/ui/pages/page_controls.h"

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

// A colour list: where it sits, whether the input selector (else the window selector) names its
// target, the field of the record it shows and the sender that sets it.
struct ColourList {
    int id;
    const char* name; // the label beside the list
    int y;
    bool byInput;
    MultiviewerField field;
    PerWindow<std::uint8_t> MultiviewerState::*colours;
    bool (MultiviewerSession::*send)(int target, std::uint8_t colour);
};

using F = MultiviewerField;
using S = MultiviewerState;

constexpr std::array<ColourList, CClass_16_view_color::kColourListCount> kColourLists{{
    {pc::kUmdTextColourList, "UMD Text Color", 62, true, F::UmdTextColor, &S::umdTextColor,
     &MultiviewerSession::SetUmdTextColor},
    {pc::kUmdBackColourList, "UMD Background Color", 100, true, F::UmdBackColor, &S::umdBackColor,
     &MultiviewerSession::SetUmdBackColor},
    {pc::kFormatTextColourList, "Format Text Color", 190, false, F::FormatTextColor, &S::formatTextColor,
     &MultiviewerSession::SetFormatTextColor},
    {pc::kFormatBackColourList, "Format Background Color", 230, false, F::FormatBackColor, &S::formatBackColor,
     &MultiviewerSession::SetFormatBackColor},
    {pc::kTimecodeTextColourList, "Time Code Text Color", 308, false, F::TimecodeTextColor,
     &S::timecodeTextColor, &MultiviewerSession::SetTimecodeTextColor},
    {pc::kTimecodeBackColourList, "Time Code Background Color", 346, false, F::TimecodeBackColor,
     &S::timecodeBackColor, &MultiviewerSession::SetTimecodeBackColor},
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
    : SettingPage(parent, context, PageLook{context.scale, 297, kCommonPageColours}) {
    setObjectName(QStringLiteral("145"));

    m_inputs = AddList(pc::kColourInputList, QStringLiteral("Source"), kListX, 25, kListWidth, kListHeight,
                       SelectorEntries("SDI %d"));
    connect(m_inputs, &QComboBox::activated, this, &CClass_16_view_color::OnInputSelected);
    m_windows = AddList(pc::kColourWindowList, QStringLiteral("Windows"), kListX, 150, kListWidth, kListHeight,
                        SelectorEntries("Window_%02d"));
    connect(m_windows, &QComboBox::activated, this, &CClass_16_view_color::OnWindowSelected);
    for (std::size_t row = 0; row < kColourLists.size(); ++row) {
        m_colourLists[row] = AddList(kColourLists[row].id, QLatin1String(kColourLists[row].name), kListX,
                                     kColourLists[row].y, kListWidth, kListHeight, ColourEntries());
        connect(m_colourLists[row], &QComboBox::activated, this, [this, row] { OnColourChosen(row); });
    }
    m_border = AddList(pc::kBorderList, QStringLiteral("Border Color"), kListX, 268, kListWidth, kListHeight,
                       {QStringLiteral("OFF"), QStringLiteral("ON")});
    connect(m_border, &QComboBox::activated, this, &CClass_16_view_color::OnBorderChanged);
    RefreshColourPage();
}

void CClass_16_view_color::Refresh() {
    RefreshColourPage();
}

void CClass_16_view_color::OnFieldChanged(const MultiviewerChange& change) {
    if (change.field == F::ColourSelection) {
        RefreshColourPage();
        return;
    }
    if (change.field == F::Border) {
        SelectQuietly(m_border, State().borderOn);
        return;
    }
    for (std::size_t row = 0; row < kColourLists.size(); ++row) {
        if (kColourLists[row].field == change.field) {
            SelectQuietly(m_colourLists[row], ShownColour(row));
        }
    }
}

void CClass_16_view_color::RefreshColourPage() {
    // The selectors follow the record too: after the unit's defaults are loaded both selections
    // are "all", and a selector left on its old entry would show one target and spring back to
    // another.
    SelectQuietly(m_inputs, State().umdColorInput);
    SelectQuietly(m_windows, State().formatColorWindow);
    ShowColoursOf(true);
    ShowColoursOf(false);
    SelectQuietly(m_border, State().borderOn);
}

int CClass_16_view_color::ShownColour(std::size_t row) const {
    const ColourList& colourList = kColourLists[row];
    const std::uint8_t selection = colourList.byInput ? State().umdColorInput : State().formatColorWindow;
    return (State().*colourList.colours).At(ShownTarget(selection));
}

void CClass_16_view_color::ShowColoursOf(bool inputSelector) {
    for (std::size_t row = 0; row < kColourLists.size(); ++row) {
        if (kColourLists[row].byInput == inputSelector) {
            SelectQuietly(m_colourLists[row], ShownColour(row));
        }
    }
}

void CClass_16_view_color::OnInputSelected() {
    if (SpringBackWhileLocked(Locked(), m_inputs, State().umdColorInput)) {
        return;
    }
    Session().SelectColourInput(static_cast<std::uint8_t>(m_inputs->currentIndex()));
}

void CClass_16_view_color::OnWindowSelected() {
    if (SpringBackWhileLocked(Locked(), m_windows, State().formatColorWindow)) {
        return;
    }
    Session().SelectColourWindow(static_cast<std::uint8_t>(m_windows->currentIndex()));
}

void CClass_16_view_color::OnColourChosen(std::size_t row) {
    const ColourList& colourList = kColourLists[row];
    QComboBox* list = m_colourLists[row];
    const int target = (colourList.byInput ? m_inputs : m_windows)->currentIndex();
    // A selector showing no entry names no target: nothing can be sent for it.
    if (SpringBackWhileLocked(Locked() || target < 0, list, ShownColour(row))) {
        return;
    }
    (Session().*colourList.send)(target, static_cast<std::uint8_t>(list->currentIndex()));
}

void CClass_16_view_color::OnBorderChanged() {
    if (SpringBackWhileLocked(Locked(), m_border, State().borderOn)) {
        return;
    }
    Session().SetBorder(static_cast<std::uint8_t>(m_border->currentIndex()));
}

} // namespace brenvik
