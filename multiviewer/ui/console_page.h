#pragma once

#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/status_receiver_thread.h"

#include "controls/busy_notice.h"
#include "controls/operator_dialogs.h"
#include "controls/qt_ui_dispatcher.h"
#include "controls/screen_scale.h"
#include "controls/unit_page.h"
#include "multiviewer/ui/pages/multiviewer_signals.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

namespace brenvik {

class LayoutPreview;
class PictureButton;

// What the console page of a multiviewer works with; all of it outlives the page.
struct ConsolePageContext {
    MultiviewerSession& session;
    const DeviceTable& devices;
    const bool& consoleLocked;
    OperatorDialogs& dialogs;
    ScreenScale scale;
};

// The console page of one multiviewer: the two mode buttons, the six page buttons, the layout
// preview on the left, the setting page shown on the right, and the status receiver. It opens with
// a read of the unit's whole state, and then follows the session: the preview is redrawn when a
// field it draws changes, the setting page shown refreshes its own controls.
class CClass_child_main_dlg : public UnitPage {
    Q_OBJECT

public:
    CClass_child_main_dlg(QWidget* parent, ConsolePageContext context);
    ~CClass_child_main_dlg() override;

    // Shows the setting page of type n (1..6) unless it is shown already, the lock holds (nothing is
    // asked then), or the operator cancels the warning of a change of mode. True when the page
    // changed. Right after a read of the unit the first switch goes through even while locked.
    bool SwitchPage(std::uint8_t pageType);
    void OnMultiviewerMode();
    void OnSwitcherMode();

    bool Initialised() const { return m_initialised; }
    // The unit's state is being read: the page says so and refuses input.
    bool Reading() const { return m_stateRead != nullptr && m_stateRead->Busy(); }
    bool ReceiverRunning() const { return m_receiver != nullptr && m_receiver->Running(); }
    MultiviewerSession& Session() { return m_context.session; }
    LayoutPreview& Preview() { return *m_preview; }
    std::uint8_t ShownPageType() const { return m_pageType; }
    QWidget* ShownSettingPage() const { return m_settingPage; }
    QRect PageArea() const { return m_pageArea; }

signals:
    // The state read of the initialisation has been applied and the first page chosen.
    void initialised();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnFieldChanged(const MultiviewerChange& change);
    void PlaceControls();
    void StartStateRead();
    void FinishInitialisation();
    PictureButton* PageButton(std::uint8_t pageType) const;
    void ShowPageButtonImage(std::uint8_t pageType, bool selected);
    // The mode buttons' faces and the page buttons of the mode of the page shown.
    void ShowMode();

    ConsolePageContext m_context;
    // Binds the receiver's reports to this page: those still queued when it goes are dropped.
    QtUiDispatcher m_ui;
    MultiviewerSignals m_changes;
    SettingPageFactory m_settingPages;
    SettingPageContext m_settingContext;

    PictureButton* m_multiviewerMode = nullptr;
    PictureButton* m_switcherMode = nullptr;
    std::array<PictureButton*, 7> m_pageButtons{}; // by page type 1..6
    LayoutPreview* m_preview = nullptr;
    QRect m_pageArea;
    QPointer<SettingPage> m_settingPage;
    std::uint8_t m_pageType = 0; // the page shown, 0 = none yet
    // A read of the unit was applied since the last page switch: the next one is let through
    // while locked, so that the page follows the unit's mode.
    bool m_readSinceSwitch = false;
    bool m_initialised = false;

    std::unique_ptr<BusyNotice> m_stateRead; // the read of the unit's state at opening
    std::unique_ptr<StatusReceiverThread> m_receiver;
};

} // namespace brenvik
