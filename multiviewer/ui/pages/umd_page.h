#pragma once

#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <array>
#include <cstdint>

namespace brenvik {

class CLimitEdit;
class PictureButton;

// The UMD OVERLAY page (page type 2): the ALL UMD ON toggle 1115, the label toggles 1127..1142 of
// windows 1..16 and the name fields 1031..1046 of inputs 1..16. A name is committed (stored and
// sent) when its field loses the focus and when Enter is pressed in it; a click on the page's
// background hands the focus to the hidden sink 1047, which commits the name being edited.
class CClass_16_view_umd : public SettingPage {
public:
    static constexpr int kNameLength = 11;

    CClass_16_view_umd(QWidget* parent, SettingPageContext& context);
    ~CClass_16_view_umd() override;

    // Sends the text of name field `input` (1..16) as that input's name; while locked nothing is
    // sent and the field shows the stored name again.
    void CommitInputName(int input);
    // Every name field shows the stored name of its input.
    void RefreshNamePage();

    // The name field that last took the focus, 0 = none; the one that had it at the last Enter.
    int FocusedNameField() const { return m_focusedNameField; }
    int EnterNameField() const { return m_enterNameField; }

protected:
    // RefreshNamePage, and the toggles from umdAllOn and umdOn.
    void Refresh() override;
    void OnFieldChanged(const MultiviewerChange& change) override;
    void OnEnterKey() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnAllLabelsToggle();
    void OnWindowLabelToggle(int window);
    void ShowToggles();
    void ShowName(int input);
    int NameFieldNumber(const QObject* field) const;

    int m_focusedNameField = 0;
    int m_enterNameField = 0;
    PictureButton* m_allLabels = nullptr;
    std::array<PictureButton*, 16> m_windowLabels{};
    std::array<CLimitEdit*, 16> m_nameFields{};
    QWidget* m_focusSink = nullptr;
};

} // namespace brenvik
