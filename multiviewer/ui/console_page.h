#pragma once

#include "multiviewer/core/console_view.h"
#include "multiviewer/core/main_window_hooks.h"
#include "multiviewer/core/multiviewer_commands.h"
#include "multiviewer/core/status_receiver_thread.h"
#include "multiviewer/core/status_report_applier.h"
#include "multiviewer/core/ui_dispatcher.h"

#include "controls/operator_dialogs.h"
#include "controls/screen_scale.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

namespace brenvik {

class BackgroundOperation;
class LayoutPreview;
class PictureButton;

// What the console page of a multiviewer works with; all of it outlives the page.
struct ConsolePageContext {
    UnitLink& link;
    const DeviceTable& devices;
    MultiviewerState& state;
    const bool& consoleLocked;
    MainWindowHooks& mainWindow;
    OperatorDialogs& dialogs;
    ScreenScale scale;
};

// Hands the status receiver's work to the UI thread, bound to the console page: a task still
// queued when the page is destroyed is dropped with it.
class PageUiDispatcher : public UiDispatcher {
public:
    explicit PageUiDispatcher(QObject* page) : m_page(page) {}
    void Post(std::function<void()> task) override;

private:
    QObject* m_page;
};

// The console page of one multiviewer: the two mode buttons, the six page buttons, the layout
// preview on the left, the setting page shown on the right, and the status receiver.
class CClass_child_main_dlg : public QWidget, private ConsoleView {
    Q_OBJECT

public:
    CClass_child_main_dlg(QWidget* parent, ConsolePageContext context);
    ~CClass_child_main_dlg() override;

    // Shows the setting page of type n (1..6) unless the operator cancels a mode warning, the lock
    // holds, or it is shown already. True when the page changed.
    bool SwitchPage(std::uint8_t pageType);
    void OnMultiviewerMode();
    void OnSwitcherMode();

    bool Initialised() const { return m_initialised; }
    // The unit's state is being read: the page says so and refuses input.
    bool Reading() const { return m_reading; }
    bool ReceiverRunning() const { return m_receiver != nullptr && m_receiver->Running(); }
    MultiviewerCommands& Commands() { return m_commands; }
    LayoutPreview& Preview() { return *m_preview; }
    QWidget* ShownSettingPage() const { return m_settingPage; }
    QRect PageArea() const { return m_pageArea; }

signals:
    // The state read of the initialisation has been applied and the first page chosen.
    void initialised();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The page takes its own clicks: they never reach the main window's background (focus hand-
    // over, window drag, its menu).
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void RedrawPreview() override;
    void UpdatePage(const PageUpdate& update) override;

    void PlaceControls();
    void StartStateRead();
    void FinishInitialisation(const StateRead& read);
    void ShowReading(bool reading);
    PictureButton* PageButton(std::uint8_t pageType) const;
    void ShowPageButtonImage(std::uint8_t pageType, bool selected);

    ConsolePageContext m_context;
    MultiviewerCommands m_commands;
    StatusReportApplier m_applier;
    PageUiDispatcher m_ui;
    SettingPageFactory m_settingPages;
    SettingPageContext m_settingContext;

    PictureButton* m_multiviewerMode = nullptr;
    PictureButton* m_switcherMode = nullptr;
    std::array<PictureButton*, 7> m_pageButtons{}; // by page type 1..6
    LayoutPreview* m_preview = nullptr;
    QRect m_pageArea;
    QPointer<SettingPage> m_settingPage;
    std::uint8_t m_lastPageType = 0;
    bool m_initialised = false;

    bool m_reading = false;
    std::unique_ptr<BackgroundOperation> m_stateRead; // the read of the unit's state at opening
    std::unique_ptr<StatusReceiverThread> m_receiver;
};

} // namespace brenvik
