#pragma once

#include "controls/screen_scale.h"
#include "multiviewer/core/page_update.h"

#include <QRgb>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace brenvik {

class CLimitEdit;
class PictureButton;

// The main window leaves Enter and Escape to a widget that carries this property (set true): the
// setting pages swallow both keys themselves, so that a page can give Enter a meaning of its own.
inline constexpr char kOwnEnterEscapeProperty[] = "brenvikOwnEnterEscape";
// The skin picture number a page's picture button shows, kept on the button as this property.
inline constexpr char kShownPictureProperty[] = "brenvikShownPicture";

// How a page colours its child controls. Edit fields and dropped-down lists use the field colours,
// static controls (radio buttons and the like) the static ones.
struct PageColours {
    QRgb fieldText;
    QRgb fieldGround;
    QRgb staticText;
    QRgb staticGround;
};

// Light blue on the field grey, black on the console's blue: the scheme most pages use.
inline constexpr PageColours kCommonPageColours{qRgb(60, 180, 255), qRgb(58, 58, 58), qRgb(0, 0, 0),
                                                qRgb(0, 136, 208)};

// What a page looks like before any control is added: the screen scale it is laid out with, the
// picture stretched over its whole area (all labels are painted in it) and its control colours.
struct PageLook {
    ScreenScale scale;
    int backgroundPicture = 0;
    PageColours colours = kCommonPageColours;
};

// One of the console page's setting pages (LAYOUT, UMD OVERLAY, COLORS, CONTROLS, SWITCHER,
// AUDIO), shown one at a time in the page area. It refreshes itself from the record when it is
// created and takes the unit's reports as page updates. The base does what every page does with an
// update — select a list entry, show a button picture, set the meter radios — finding the control
// by its number and changing it with its signals blocked, so that nothing changed by a report is
// ever sent back; a page adds only its own controls, handlers and refresh.
//
// The base also holds what every page shares: controls placed in 96-dpi units scaled for the
// screen (picture buttons at their pixel size), the background picture stretched over the page,
// the page's control colours, and Enter and Escape swallowed so that no key closes the console.
// Operator handlers bind to the signals only the operator fires (activated, clicked).
class SettingPage : public QWidget {
public:
    explicit SettingPage(QWidget* parent = nullptr, PageLook look = {});

    void ApplyUpdate(const PageUpdate& update);

    // Every page numbers its inputs "SDI_01" .. "SDI_16" in its lists; entry k stands for input k + 1.
    static QStringList InputEntries();

protected:
    // The page's own refresh from the record (RefreshLayoutPage, RefreshNamePage, …).
    virtual void Refresh() = 0;
    // An Enter key press anywhere on the page; swallowed after this returns.
    virtual void OnEnterKey() {}

    // The child control with this number as its object name, or nullptr.
    template <typename Control> Control* ControlNumbered(int number) const {
        return findChild<Control*>(QString::number(number));
    }

    const ScreenScale& Scale() const { return m_look.scale; }

    // Controls numbered `id`, placed at x, y (96-dpi units, scaled). Lists and edit fields scale
    // their size too; picture buttons keep their pixel size. `name` is what a screen reader calls
    // the control: its caption, or the label painted beside it in the background picture.
    QComboBox* AddList(int id, const QString& name, int x, int y, int width, int height,
                       const QStringList& entries);
    PictureButton* AddPictureButton(int id, const QString& name, int x, int y, int width, int height,
                                    int picture);
    CLimitEdit* AddLimitEdit(int id, const QString& name, int x, int y, int width, int height, int maxLength);
    void ColourAsField(QWidget& control) const;
    void ColourAsStatic(QWidget& control) const;

    // Selects `entry` with the list's signals blocked; an entry the list does not have (a value from
    // the wire such as a source of 0 or 17) selects none rather than one past the list.
    static void SelectQuietly(QComboBox* list, int entry);
    // Shows skin picture `picture` on the button, signals blocked, and notes it in
    // kShownPictureProperty. The button's accessible description says "selected" while the picture
    // is a selected (highlighted, on) face, so a screen reader hears what the eye sees.
    static void ShowPictureQuietly(PictureButton* button, int picture);
    // The lock check of every list handler: while `locked`, the list goes back to the entry of the
    // stored value and the handler stops (returns true). Nothing is sent either way.
    static bool SpringBackWhileLocked(bool locked, QComboBox* list, int storedEntry);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SelectEntry(int list, int entry);
    void ShowPicture(int button, int picture);
    void ShowMeterRadios(bool on);

    PageLook m_look;
};

} // namespace brenvik
