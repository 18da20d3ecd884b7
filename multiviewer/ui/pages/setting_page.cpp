#include "multiviewer/ui/pages/setting_page.h"

#include "controls/enter_escape.h"
#include "controls/field_colours.h"
#include "controls/limit_edit.h"
#include "controls/picture_button.h"
#include "res/skin.h"
#include "res/skin_palette.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>

namespace brenvik {

namespace {

constexpr int kInputCount = 16;
// Lists, fields and the texts in them are sized for 96 dpi and scale with the page.
constexpr int kTextPixels = 12;
constexpr QRgb kDisabledText = qRgb(104, 110, 120);

// A disabled control (a source list of a window the layout lacks) greys its text.
void SetColours(QWidget& control, QRgb text, QRgb ground) {
    ApplyFieldLook(control, FieldLook{text, ground, kDisabledText, std::nullopt, palette::kCaption});
}

} // namespace

SettingPage::SettingPage(QWidget* parent, SettingPageContext& context, PageLook look)
    : QWidget(parent), m_context(context), m_look(look) {
    setProperty(kOwnEnterEscapeProperty, true);
    connect(&context.changes, &MultiviewerSignals::fieldChanged, this,
            [this](const MultiviewerChange& change) { OnFieldChanged(change); });
    connect(&context.changes, &MultiviewerSignals::replaced, this, [this] { Refresh(); });
    QFont text = font();
    text.setPixelSize(m_look.scale.Y(kTextPixels));
    setFont(text);
}

QStringList SettingPage::InputEntries() {
    QStringList entries;
    for (int input = 1; input <= kInputCount; ++input) {
        entries.append(QStringLiteral("SDI_%1").arg(input, 2, 10, QLatin1Char('0')));
    }
    return entries;
}

QComboBox* SettingPage::AddList(int id, const QString& name, int x, int y, int width, int height,
                                const QStringList& entries) {
    auto* list = new QComboBox(this);
    list->setObjectName(QString::number(id));
    list->setAccessibleName(name);
    list->setGeometry(m_look.scale.Rect(x, y, width, height));
    list->addItems(entries);
    // The pop-up is a window of its own and takes neither the page's colours nor its font.
    ColourAsField(*list);
    ColourAsField(*list->view());
    list->view()->setFont(font());
    return list;
}

PictureButton* SettingPage::AddPictureButton(int id, const QString& name, int x, int y, int width, int height,
                                             int picture) {
    auto* button = new PictureButton(this);
    button->setObjectName(QString::number(id));
    button->setAccessibleName(name);
    button->setGeometry(m_look.scale.PlacedPixels(x, y, width, height));
    ShowPictureQuietly(button, picture);
    return button;
}

CLimitEdit* SettingPage::AddLimitEdit(int id, const QString& name, int x, int y, int width, int height,
                                      int maxLength) {
    auto* field = new CLimitEdit(this);
    field->setObjectName(QString::number(id));
    field->setAccessibleName(name);
    field->setGeometry(m_look.scale.Rect(x, y, width, height));
    field->setMaxLength(maxLength);
    field->setFrame(false);
    field->setTextMargins(4, 0, 4, 0);
    ColourAsField(*field);
    return field;
}

void SettingPage::ColourAsField(QWidget& control) const {
    SetColours(control, m_look.colours.fieldText, m_look.colours.fieldGround);
}

void SettingPage::ColourAsStatic(QWidget& control) const {
    SetColours(control, m_look.colours.staticText, m_look.colours.staticGround);
    control.setAutoFillBackground(true);
}

void SettingPage::SelectQuietly(QComboBox* list, int entry) {
    if (list == nullptr) {
        return;
    }
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(entry >= 0 && entry < list->count() ? entry : -1);
}

void SettingPage::ShowPictureQuietly(PictureButton* button, int picture) {
    if (button != nullptr) {
        const QSignalBlocker quiet(button);
        button->ShowDescribedPicture(picture);
    }
}

bool SettingPage::SpringBackWhileLocked(bool locked, QComboBox* list, int storedEntry) {
    if (locked) {
        SelectQuietly(list, storedEntry);
    }
    return locked;
}

void SettingPage::paintEvent(QPaintEvent*) {
    if (m_look.backgroundPicture == 0) {
        return;
    }
    QPainter painter(this);
    // The labels are painted in the picture at 96 dpi; a smooth stretch keeps them readable when the
    // page is scaled up.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), Skin::Picture(m_look.backgroundPicture));
}

void SettingPage::keyPressEvent(QKeyEvent* event) {
    // A key the focused control leaves alone comes here on its way to the window; Enter and Escape
    // stop at the page, so that neither ever closes the console.
    if (IsEnter(*event)) {
        OnEnterKey();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace brenvik
