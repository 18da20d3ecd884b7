#pragma once

#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <array>
#include <cstddef>
#include <cstdint>

class QComboBox;

namespace brenvik {

// The COLORS page (page type 3): the text and background colours of the UMD labels per input, of
// the format status and the time code per window, and the window borders. Two selectors choose the
// input (1032) and the window (1035) the lists below them show and set; entry 0, "All Windows",
// sets every target at once. The selections are console state kept with the record, so they
// survive reopening the page.
class CClass_16_view_color : public SettingPage {
public:
    // The unit's sixteen colours; the entry of a colour list is the colour index sent to the unit.
    static QStringList ColourEntries();

    CClass_16_view_color(QWidget* parent, SettingPageContext& context);

    // Every list from the record: the selectors, the colours of their targets and the border flag.
    void RefreshColourPage();

    static constexpr std::size_t kColourListCount = 6;

protected:
    void Refresh() override;
    void OnFieldChanged(const MultiviewerChange& change) override;

private:
    void OnInputSelected();
    void OnWindowSelected();
    // Row `row` of the page's table of colour lists.
    void OnColourChosen(std::size_t row);
    void OnBorderChanged();
    // The colour lists that follow the input selector (true) or the window selector (false).
    void ShowColoursOf(bool inputSelector);
    int ShownColour(std::size_t row) const;

    QComboBox* m_inputs = nullptr;
    QComboBox* m_windows = nullptr;
    QComboBox* m_border = nullptr;
    std::array<QComboBox*, kColourListCount> m_colourLists{};
};

} // namespace brenvik
