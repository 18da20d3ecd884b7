#pragma once

#include "controls/screen_scale.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QComboBox;

namespace brenvik {

class BackgroundOperation;
class CColorButton;
class IpAddressField;
class OperatorDialogs;
class PictureButton;
struct ConsoleState;

// The connection page (dialog 138) that the settings button opens over the main window: LAN or
// serial link, the serial port and baud rate with open and close, and the selected unit's network
// address (static or DHCP) sent as a network configuration frame. Its choices live in the console
// state, so a page opened again shows them. The port is opened and closed on the link thread; the
// page refuses input meanwhile and never waits.
class CClass_configure_argc_dlg : public QDialog {
    Q_OBJECT

public:
    // `ports`: the machine's serial ports, sorted here as text.
    CClass_configure_argc_dlg(ConsoleState& state, OperatorDialogs& dialogs, ScreenScale scale,
                              std::vector<std::string> ports, QWidget* parent = nullptr);
    ~CClass_configure_argc_dlg() override;

    bool PortOperationRunning() const;
    // The face button 1020 shows: 140 to connect, 141 to disconnect.
    int OpenClosePicture() const;

signals:
    // The port has been opened or closed (or failed to open) and the page shows it.
    void portOperationFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter and Escape close no window of the console; the page closes with its own button only.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls(const std::vector<std::string>& ports);
    void ShowSerialControls();
    void OnModeChosen(int index);
    void OnOpenOrClose();
    void FinishPortOperation(bool opened);
    void OnAddressModeChosen(int index);
    void OnApply();
    void SendNetworkConfig();
    void EnableAddressFields(bool enabled);
    void ShowOpenClosePicture(bool disconnect);

    ConsoleState& m_state;
    OperatorDialogs& m_dialogs;
    ScreenScale m_scale;
    // The page's own view of whether the port is open: cleared when the LAN is chosen, while the
    // port itself stays open.
    bool m_portOpened = false;

    CColorButton* m_close = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_ports = nullptr;
    QComboBox* m_bauds = nullptr;
    PictureButton* m_openClose = nullptr;
    QComboBox* m_addressMode = nullptr;
    IpAddressField* m_address = nullptr;
    IpAddressField* m_mask = nullptr;
    IpAddressField* m_gateway = nullptr;
    PictureButton* m_apply = nullptr;
    std::unique_ptr<BackgroundOperation> m_portOperation;
};

} // namespace brenvik
