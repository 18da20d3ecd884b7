#pragma once

#include "matrix/core/matrix_model.h"
#include "matrix/core/matrix_session.h"
#include "matrix/ui/matrix_page_state.h"

#include "controls/busy_notice.h"
#include "controls/operator_dialogs.h"
#include "controls/screen_scale.h"
#include "controls/unit_page.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;

namespace brenvik {

class BrightnessTrackBar;
class PictureButton;

// What the matrix page works with; all of it outlives the page.
struct MatrixPageContext {
    MatrixSession& session;
    MatrixPageState& pageState;
    const bool& consoleLocked; // the session's state replies set or clear it
    // What the main window shows of the unit: its name, the lock and the address mode, brought up
    // to date as the session tells the page of them.
    std::function<void(const std::optional<std::u16string>& name)> showName;
    std::function<void(bool locked)> showLock;
    std::function<void(std::uint8_t addressMode)> showAddressMode;
    OperatorDialogs& dialogs;
    ScreenScale scale;
};

// The page of an 8 x 8 matrix switcher: a row of input keys, a row of output keys that mark
// outputs for the selected input, a row of status keys showing what the unit routes, the three
// routing actions, REFRESH, and the backlight time and brightness. Shown at once; the unit is read
// on the link thread while the page refuses input and says so. The page shows the session's model
// and repaints what the session says has changed; the operator's actions go to the session.
class CClass_matrix_child : public UnitPage, private MatrixObserver {
    Q_OBJECT

public:
    CClass_matrix_child(QWidget* parent, MatrixPageContext context);
    ~CClass_matrix_child() override;

    // The operator's actions, as the keys and buttons call them.
    void SelectInput(std::uint8_t input);
    void ToggleOutput(std::uint8_t output);
    void OnApply();
    void OnOneToAll();
    void OnOneToOne();
    void OnRefresh();

    // The reads of the unit at opening have come back (or timed out) and the page is filled in.
    bool Initialised() const { return m_initialised; }
    // A query is under way: the page says so and refuses input.
    bool Reading() const { return m_query != nullptr && m_query->Busy(); }

signals:
    void initialised();
    // The status row has been repainted from the model (after a state reply, or a routing action).
    void statusRowPainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void MatrixChanged(const MatrixChange& change) override;

    void PlaceControls();
    // `name` is what a screen reader calls the button; its picture shows it only to the eye.
    PictureButton* AddButton(int controlId, const QString& name, QRect geometry, int picture,
                             bool transparent);
    void ShowPicture(PictureButton* button, int picture);

    void StartInitialRead();
    void FinishRead(bool ran);
    void ShowBacklight();

    // Output `output` (1..8), or every output for 0: its output key and its status key.
    void PaintRouting(int output);
    void PaintOutputRow(std::uint8_t input);
    void PaintOutputKey(std::size_t index, std::uint8_t input);
    void PaintStatusKey(std::size_t index);
    void HighlightAction(MatrixAction action);
    void ShowActionsNormal();
    PictureButton* ActionButton(MatrixAction action) const;

    void OnBacklightTimeChosen(int position);
    void OnBrightnessShown(int position);
    void OnBrightnessReleased(int position);

    MatrixPageContext m_context;

    std::array<PictureButton*, kMatrixPorts> m_inputs{};
    std::array<PictureButton*, kMatrixPorts> m_outputs{};
    std::array<PictureButton*, kMatrixPorts> m_status{};
    PictureButton* m_apply = nullptr;
    PictureButton* m_oneToAll = nullptr;
    PictureButton* m_oneToOne = nullptr;
    PictureButton* m_refresh = nullptr;
    QComboBox* m_backlightTime = nullptr;
    BrightnessTrackBar* m_brightness = nullptr;
    QLineEdit* m_brightnessText = nullptr;
    QTimer m_refreshPressed; // REFRESH shows its pressed picture for 2000 ms
    QPixmap m_background;    // the page's picture at the page's size

    bool m_initialised = false;
    std::unique_ptr<BusyNotice> m_query;
};

} // namespace brenvik
