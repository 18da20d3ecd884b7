#pragma once

#include "app/console_state.h"
#include "app/unit_page_registry.h"

#include "controls/message_box_dialogs.h"
#include "controls/screen_scale.h"
#include "link/discovery.h"
#include "multiviewer/ui/pages/multiviewer_signals.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <utility>

class QLabel;
class QPainter;
class QLineEdit;

namespace brenvik {

class BackgroundOperation;
class CClass_configure_argc_dlg;
class CColorButton;
class DeviceList;
class PictureButton;

// What the main window is built with: the endpoints of the link, the screen's logical dpi, and
// where operator boxes go (nullptr: message boxes over this window).
struct ConsoleWindowSetup {
    Endpoints endpoints;
    ScreenScale scale;
    OperatorDialogs* dialogs = nullptr;
};

// The console's one window: borderless, skinned, 1280 x 720 at 96 dpi. It owns the console's
// state and hosts the page of the unit that is open.
class CVARNOLUX_16_VIEWDlg : public QDialog {
    Q_OBJECT

public:
    explicit CVARNOLUX_16_VIEWDlg(ConsoleWindowSetup setup, QWidget* parent = nullptr);
    ~CVARNOLUX_16_VIEWDlg() override;

    ConsoleState& State() { return m_state; }
    OperatorDialogs& Dialogs() { return *m_dialogs; }
    UnitPageRegistry& Pages() { return m_pages; }
    const ScreenScale& Scale() const { return m_scale; }
    QWidget* CurrentPage() const { return m_currentPage; }
    QRect PageRect() const { return m_pageRect; }

    // Starts a search on the link; the window stays painted and refuses input until
    // searchFinished().
    void SearchUnits();
    bool SearchRunning() const;
    void OpenUnitPage();
    // Replaces the connection page by a new one over the window (the settings button).
    void OpenConfigurePage();
    CClass_configure_argc_dlg* ConfigurePage() const;
    // Sends the custom name field's text as the open unit's name; nothing while locked, nor while
    // the field shows the placeholder of a unit without a name.
    void SendCustomName();
    void ToggleLock();
    // What the page area says while no page covers it: a title and a line below it.
    std::pair<QString, QString> PageAreaMessage() const;
    // The custom name field (1147) shows the unit's name as a read brought it; a unit without one
    // leaves the field empty under its placeholder "Custom Name".
    void ShowUnitName(const std::optional<std::u16string>& name);
    // The lock button's picture, as the lock stands or a unit reports it.
    void ShowLock(bool locked);

signals:
    void searchFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildControls();
    void FinishSearch(DiscoveryResult result);
    void RemoveCurrentPage();
    void OnDeviceSelected(int index);
    void ShowAbout();
    void ShowSearching(bool searching);
    void AnimateSearchStatus();
    void PaintPageAreaMessage(QPainter& painter) const;

    MessageBoxDialogs m_messageBoxes;
    OperatorDialogs* m_dialogs;
    ScreenScale m_scale;
    ConsoleState m_state;
    MultiviewerSignals m_multiviewerChanges{m_state.multiviewer};
    UnitPageRegistry m_pages;

    CColorButton* m_minimise = nullptr;
    CColorButton* m_close = nullptr;
    DeviceList* m_deviceList = nullptr;
    QLineEdit* m_customName = nullptr;
    QWidget* m_focusSink = nullptr;
    PictureButton* m_search = nullptr;
    PictureButton* m_settings = nullptr;
    PictureButton* m_lock = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_version = nullptr;
    QWidget* m_pageFrame = nullptr;
    QRect m_pageRect;

    QPointer<QWidget> m_currentPage;
    QPointer<CClass_configure_argc_dlg> m_configurePage;
    bool m_nameFieldFocused = false;

    std::unique_ptr<BackgroundOperation> m_searchOperation;
    QTimer m_searchAnimation;
    int m_searchDots = 0;
    QString m_statusBeforeSearch;

    bool m_dragging = false;
    QPoint m_dragOffset;
};

} // namespace brenvik
