#include "res/skin_artwork.h"

#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QPainter>
#include <QString>

#include <array>

namespace brenvik::artwork {
namespace {

// Every setting page is one flat panel of kPanel; the buttons that sit on it leave a margin of
// the same colour, so their rounded corners blend in. The page covers the console's setting
// area exactly, so its edge matches the plate drawn there before a page opens.
constexpr QRgb kPageGround = palette::kPanel;
constexpr QRgb kRule = qRgb(70, 74, 81);
constexpr QRgb kRuleShadow = qRgb(40, 43, 48);
constexpr QRgb kFieldLabel = qRgb(184, 190, 199);
constexpr QRgb kDiagramLine = palette::kBlueLight;

// Labels beside a control end this far to the left of it.
constexpr int kLabelGap = 10;
// Every list and field that a label names is 20 units high.
constexpr int kControlHeight = 20;

void PageGround(SkinPainter& skin, const QRect& area) {
    skin.Fill(area, palette::kBase);
    skin.Plate(area, 6, kPageGround, kPageGround, palette::kEdgeDark, palette::kEdgeLight);
}

// A two-tone rule, a dark line with a light one beside it, as if cut into the panel.
void HorizontalRule(SkinPainter& skin, int y, int left, int right) {
    skin.Fill(QRectF(left, y, right - left, 1), kRuleShadow);
    skin.Fill(QRectF(left, y + 1, right - left, 1), kRule);
}

void VerticalRule(SkinPainter& skin, int x, int top, int bottom) {
    skin.Fill(QRectF(x, top, 1, bottom - top), kRuleShadow);
    skin.Fill(QRectF(x + 1, top, 1, bottom - top), kRule);
}

// A label right-aligned to the left of the control at `controlX`, level with a control whose
// top is `controlY`.
void LabelBeside(SkinPainter& skin, const QString& text, int controlX, int controlY) {
    constexpr int kWidth = 230;
    skin.Caption(QRectF(controlX - kLabelGap - kWidth, controlY, kWidth, kControlHeight), text, 12,
                 kFieldLabel, Qt::AlignRight | Qt::AlignVCenter, 600, 0.3);
}

// The numbered column labels (WIN 1, OUT 1, ...) beside the sixteen lists of a column.
void NumberedColumn(SkinPainter& skin, const char* prefix, int listX, int firstY, int pitch) {
    constexpr int kWidth = 70;
    constexpr int kRows = 16;
    for (int n = 1; n <= kRows; ++n) {
        skin.Caption(QRectF(listX - kLabelGap - kWidth, firstY + pitch * (n - 1), kWidth, kControlHeight),
                     QStringLiteral("%1 %2").arg(QLatin1String(prefix)).arg(n), 11, kFieldLabel,
                     Qt::AlignRight | Qt::AlignVCenter, 700, 0.8);
    }
}

// The sixteen source lists of the layout and routing pages: x 365, y 30 + 23 (n - 1).
constexpr int kColumnListX = 365;
constexpr int kColumnFirstY = 30;
constexpr int kColumnPitch = 23;
constexpr int kColumnRuleX = 250;

} // namespace

void DrawToggleButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    skin.Fill(area, kPageGround);
    const QRectF plate = skin.ButtonFace(FaceArea(area, entry), 4, entry.selected, kPageGround);
    // The lamp says on or off at a glance; the caption names the option in either state.
    const qreal lampInset = plate.width() < 100 ? 11 : 15;
    skin.Lamp(QPointF(plate.left() + lampInset, plate.center().y()), entry.selected);
    const qreal captionLeft = lampInset + 9;
    skin.Caption(
        QRectF(plate.left() + captionLeft, plate.top(), plate.width() - captionLeft - 6, plate.height()),
        QString::fromLatin1(entry.caption), plate.width() < 100 ? 11 : 12,
        entry.selected ? palette::kCaption : palette::kOffCaption, Qt::AlignCenter, 700, 0.6);
}

void DrawCommandButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    skin.Fill(area, kPageGround);
    const QRectF plate = skin.ButtonFace(FaceArea(area, entry), 5, entry.selected, kPageGround);
    skin.GlyphBesideCaption(plate, entry.glyph, 20, QString::fromLatin1(entry.caption), 12,
                            entry.selected ? palette::kCaption : palette::kNormalCaption,
                            entry.selected ? palette::kCaption : palette::kInk,
                            entry.selected ? palette::kSelectedAccent : palette::kBlue, 0.8);
}

void DrawOneToOneButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = skin.ButtonFace(area, 6, false, kPageGround);

    // Three inputs above, each joined straight down to the output of its own number, in a well
    // above the caption.
    constexpr int kRoutes = 3;
    constexpr int kPitch = 42;
    constexpr int kInputY = 24;
    constexpr int kOutputY = 66;
    constexpr qreal kNode = 6;
    const int firstX = qRound(plate.center().x()) - kPitch;
    skin.Well(QRect(firstX - 28, kInputY - 15, 2 * kPitch + 56, kOutputY - kInputY + 28), 5, palette::kWell,
              palette::kEdgeDark);
    painter.save();
    for (int route = 0; route < kRoutes; ++route) {
        const qreal x = firstX + kPitch * route;
        painter.setPen(QPen(QColor(kDiagramLine), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, kInputY + kNode), QPointF(x, kOutputY - kNode));
        painter.setPen(QPen(QColor(palette::kEdgeDark), 1.0));
        painter.setBrush(QColor(palette::kBlue));
        painter.drawEllipse(QPointF(x, kInputY), kNode, kNode);
        painter.setBrush(QColor(palette::kInk));
        painter.drawEllipse(QPointF(x, kOutputY), kNode, kNode);
    }
    painter.restore();
    skin.Caption(QRectF(plate.left(), plate.top() + 80, plate.width(), 24),
                 QString::fromLatin1(entry.caption), 13, palette::kNormalCaption, Qt::AlignCenter, 700, 1.4);
}

void DrawLayoutPageBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    PageGround(skin, area);
    // Above the window-count list at 100, 25.
    skin.Caption(QRectF(100, 6, 200, 16), QStringLiteral("PICTURE"), 11, palette::kLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 1.6);
    VerticalRule(skin, kColumnRuleX, 20, 400);
    NumberedColumn(skin, "WIN", kColumnListX, kColumnFirstY, kColumnPitch);
}

void DrawSystemPageBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    PageGround(skin, area);
    // The unit's own spelling. The output format list stands at 180, 35; the label starts
    // where the button column below starts.
    skin.Caption(QRectF(60, 35, 110, kControlHeight), QStringLiteral("Ouptut Format"), 12, kFieldLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 600, 0.3);
    // Between the toggles and Load Default (down to y 160) and the custom memories (from y 200).
    HorizontalRule(skin, 180, 40, 450);
}

void DrawUmdPageBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    PageGround(skin, area);
    // Between the name fields of windows 1..8 (up to x 225) and the toggles of 9..16 (from 260).
    VerticalRule(skin, 242, 80, 410);
    // A dark edge one unit around each name field (120 x 20 at 105 + 230 c, 90 + 40 r, the bottom
    // row at 372), so the fields stand out from the panel whose grey is close to theirs.
    for (int column = 0; column < 2; ++column) {
        for (int row = 0; row < 8; ++row) {
            const int y = row == 7 ? 372 : 90 + 40 * row;
            skin.Well(QRectF(105 + 230 * column - 1, y - 1, 122, 22), 2, palette::kField, palette::kEdgeDark);
        }
    }
}

void DrawColourPageBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    PageGround(skin, area);
    // Every list stands at x 240; the labels are level with them, input colours above the rule
    // and window colours below it.
    struct Label {
        const char* text;
        int listY;
    };
    constexpr std::array kLabels = {
        Label{"Source", 25},
        Label{"UMD Text Color", 62},
        Label{"UMD Background Color", 100},
        Label{"Windows", 150},
        Label{"Format Text Color", 190},
        Label{"Format Background Color", 230},
        Label{"Border Color", 268},
        Label{"Time Code Text Color", 308},
        Label{"Time Code Background Color", 346},
    };
    constexpr int kListX = 240;
    for (const Label& label : kLabels) {
        LabelBeside(skin, QString::fromLatin1(label.text), kListX, label.listY);
    }
    HorizontalRule(skin, 134, 40, 450);
}

void DrawAudioPageBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    PageGround(skin, area);
    // The controls stand at x 250: the source list at y 45, the ON and OFF radios at 122, the
    // window list at 165 and the channel list at 205.
    constexpr int kControlX = 250;
    LabelBeside(skin, QStringLiteral("Audio Source From"), kControlX, 45);
    HorizontalRule(skin, 93, 40, 450);
    LabelBeside(skin, QStringLiteral("Audio Meter"), kControlX, 122);
    LabelBeside(skin, QStringLiteral("Windows"), kControlX, 165);
    LabelBeside(skin, QStringLiteral("Channel"), kControlX, 205);
}

void DrawRoutingPageBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    PageGround(skin, area);
    VerticalRule(skin, kColumnRuleX, 20, 400);
    NumberedColumn(skin, "OUT", kColumnListX, kColumnFirstY, kColumnPitch);
}

} // namespace brenvik::artwork
