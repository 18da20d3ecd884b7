#pragma once

#include "controls/screen_scale.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/ui/pages/multiviewer_signals.h"

#include <QRgb>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QComboBox;
class QLineEdit;

namespace brenvik {

class CLimitEdit;
class PictureButton;


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

// What a setting page works with: the unit's session (its record and senders), the session's
// changes as signals, the lock, and the screen scale.
struct SettingPageContext {
    MultiviewerSession& session;
    MultiviewerSignals& changes;
    const bool& consoleLocked;
    ScreenScale scale;
};

// What a page looks like before any control is added: the screen scale it is laid out with, the
// picture stretched over its whole area (all labels are painted in it) and its control colours.
struct PageLook {
    ScreenScale scale;
    int backgroundPicture = 0;
    PageColours colours = kCommonPageColours;
};

// One of the console page's setting pages (LAYOUT, UMD OVERLAY, COLORS, CONTROLS, SWITCHER,
// AUDIO), shown one at a time in the page area. It shows the record as it opens, and follows the
// session's changes: each page refreshes the controls that show the field that changed, and all of
// them when the whole record was read again. Controls change with their signals blocked, so that
// nothing changed by a report or a refresh is ever sent back; operator handlers bind to the signals
// only the operator fires (activated, clicked) and call the session's senders.
//
// The base also holds what every page shares: controls placed in 96-dpi units scaled for the
// screen (picture buttons at their pixel size), the background picture stretched over the page,
// the page's control colours, and Enter and Escape swallowed so that no key closes the console.
class SettingPage : public QWidget {
public:
    SettingPage(QWidget* parent, SettingPageContext& context, PageLook look);

    // Every page numbers its inputs "SDI_01" .. "SDI_16" in its lists; entry k stands for input k + 1.
    static QStringList InputEntries();

protected:
    // The page's whole refresh from the record (RefreshLayoutPage, RefreshNamePage, …): as it
    // opens, and after the unit's state was read again.
    virtual void Refresh() = 0;
    // One field changed: the page refreshes the controls that show it, if any.
    virtual void OnFieldChanged(const MultiviewerChange& change) = 0;
    // An Enter key press anywhere on the page; swallowed after this returns.
    virtual void OnEnterKey() {}

    MultiviewerSession& Session() const { return m_context.session; }
    const MultiviewerState& State() const { return m_context.session.State(); }
    bool Locked() const { return m_context.consoleLocked; }
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
    // Shows skin picture `picture` on the button, signals blocked. The button's accessible
    // description says "selected" while the picture is a selected (highlighted, on) face, so a
    // screen reader hears what the eye sees.
    static void ShowPictureQuietly(PictureButton* button, int picture);
    // The lock check of every list handler: while `locked`, the list goes back to the entry of the
    // stored value and the handler stops (returns true). Nothing is sent either way.
    static bool SpringBackWhileLocked(bool locked, QComboBox* list, int storedEntry);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    SettingPageContext& m_context;
    PageLook m_look;
};

} // namespace brenvik
