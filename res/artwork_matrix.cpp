#include "res/skin_artwork.h"

#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace brenvik::artwork {
namespace {

// The matrix page's panels are kPanel, and so is the margin of every key and button on them.
constexpr QRgb kPanelGround = palette::kPanel;
constexpr QRgb kRule = qRgb(70, 74, 81);
constexpr QRgb kFieldLabel = qRgb(184, 190, 199);
constexpr QRgb kRoute = palette::kBlueLight;

// The page fills the main window's page area, 1240 x 540 units; its picture is 1280 x 566 and
// is stretched over the page. The art is laid out in page units and drawn enlarged by the same
// ratio the stretch takes away, so every label lands where the page puts its control.
constexpr int kPageWidth = 1240;
constexpr int kPageHeight = 540;

// Key rows: inputs at y 105, outputs at 255, output status at 405, keys 65 x 60 from x 80 every
// 68 units. APPLY (x 640..760, y 300) and REFRESH (y 450) sit in the right end of the output and
// status panels.
constexpr int kRowY[] = {105, 255, 405};
constexpr const char* kRowLabels[] = {"INPUT", "OUTPUT", "OUTPUT STATUS"};
constexpr int kPanelLeft = 55;
constexpr int kPanelRight = 775;
constexpr int kPanelAbove = 43; // from the panel's top edge to its key row
constexpr int kPanelHeight = 140;
constexpr int kKeysLeft = 80;

// The right column: ONE TO ALL at 950, 180 and ONE TO ONE at 950, 305 (190 wide) with their
// diagrams to their left; the backlight time list at 950, 420 and the brightness bar at 950, 460.
constexpr QRect kRoutingPanel(800, 140, 425, 232);
constexpr QRect kOneToAllDiagram(825, 168, 105, 64);
constexpr QRect kOneToOneDiagram(825, 292, 105, 64);
constexpr QRect kBacklightPanel(800, 392, 425, 110);
constexpr int kBacklightControlX = 950;
constexpr int kBacklightTimeY = 420;
constexpr int kBacklightBrightnessY = 460;
constexpr int kBacklightControlHeight = 30;
// Above the routing panel, the unit's badge: its symbol, its kind and its size.
constexpr QRect kUnitSymbol(812, 78, 40, 40);
constexpr QRect kUnitTitle(866, 76, 340, 24);
constexpr QRect kUnitDetail(866, 100, 340, 18);

void FramedPanel(SkinPainter& skin, const QRectF& area) {
    skin.Plate(area, 6, kPanelGround, kPanelGround, palette::kEdgeDark, palette::kEdgeLight);
}

// A panel's heading: a blue dot, the name and a hairline running on to the panel's right end.
void PanelHeading(SkinPainter& skin, const QString& text, qreal left, qreal centreY, qreal right) {
    QPainter& painter = skin.Raw();
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(palette::kBlue));
    painter.drawEllipse(QPointF(left - 9, centreY + 0.5), 3.2, 3.2);
    painter.restore();
    skin.Caption(QRectF(left, centreY - 10, 300, 20), text, 11, palette::kLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 2.0);
    const qreal ruleLeft = left + SkinPainter::CaptionWidth(text, 11, 700, 2.0) + 12;
    skin.Fill(QRectF(ruleLeft, centreY + 1, right - ruleLeft, 1), kRule);
}

void Node(QPainter& painter, const QPointF& centre, QRgb fill) {
    painter.setPen(QPen(QColor(palette::kEdgeDark), 1.0));
    painter.setBrush(QColor(fill));
    painter.drawEllipse(centre, 4.5, 4.5);
}

// Inputs on the left, outputs on the right. With `fromOne` the first input feeds every output;
// otherwise each input feeds the output of its own number.
void RoutingDiagram(QPainter& painter, const QRectF& box, bool fromOne) {
    constexpr int kLines = 4;
    const qreal pitch = (box.height() - 10) / (kLines - 1);
    const qreal inX = box.left() + 5;
    const qreal outX = box.right() - 5;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(kRoute), 2.0, Qt::SolidLine, Qt::RoundCap));
    const qreal oneY = box.center().y();
    for (int line = 0; line < kLines; ++line) {
        const qreal y = box.top() + 5 + pitch * line;
        QPainterPath route;
        const qreal fromY = fromOne ? oneY : y;
        route.moveTo(inX, fromY);
        const qreal middle = (inX + outX) / 2;
        route.cubicTo(middle, fromY, middle, y, outX, y);
        painter.drawPath(route);
    }
    for (int line = 0; line < kLines; ++line) {
        const qreal y = box.top() + 5 + pitch * line;
        if (!fromOne) {
            Node(painter, QPointF(inX, y), palette::kBlue);
        }
        Node(painter, QPointF(outX, y), palette::kInk);
    }
    if (fromOne) {
        Node(painter, QPointF(inX, oneY), palette::kBlue);
    }
    painter.restore();
}

void LabelBeside(SkinPainter& skin, const QString& text, int controlX, int controlY, int controlHeight) {
    constexpr int kWidth = 200;
    constexpr int kGap = 10;
    skin.Caption(QRectF(controlX - kGap - kWidth, controlY, kWidth, controlHeight), text, 12, kFieldLabel,
                 Qt::AlignRight | Qt::AlignVCenter, 600, 0.3);
}

} // namespace

void DrawMatrixKey(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = skin.ButtonFace(area, 6, entry.selected, kPanelGround);
    if (entry.selected) {
        // The same bright bar as on the page buttons marks a chosen key.
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(palette::kCaption));
        painter.drawRoundedRect(QRectF(plate.center().x() - 10, plate.bottom() - 8, 20, 2.5), 1.2, 1.2);
        painter.restore();
    }
    skin.Caption(plate.adjusted(0, 0, 0, -6), QString::fromLatin1(entry.caption), 28,
                 entry.selected ? palette::kCaption : palette::kNormalCaption, Qt::AlignCenter, 700, 0);
}

void DrawMatrixBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    skin.Fill(area, palette::kBase);
    painter.save();
    painter.scale(qreal(area.width()) / kPageWidth, qreal(area.height()) / kPageHeight);

    for (int row = 0; row < 3; ++row) {
        const int top = kRowY[row] - kPanelAbove;
        FramedPanel(skin, QRectF(kPanelLeft, top, kPanelRight - kPanelLeft, kPanelHeight));
        PanelHeading(skin, QString::fromLatin1(kRowLabels[row]), kKeysLeft + 9, top + 20, kPanelRight - 20);
    }

    skin.Glyph(SkinGlyph::Switcher, kUnitSymbol, palette::kLabel, palette::kBlue);
    skin.Caption(kUnitTitle, QStringLiteral("MATRIX SWITCHER"), 16, palette::kLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 2.6);
    skin.Caption(kUnitDetail, QStringLiteral("8 INPUTS  \u00b7  8 OUTPUTS"), 10, palette::kFaint,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 1.6);

    FramedPanel(skin, kRoutingPanel);
    RoutingDiagram(painter, kOneToAllDiagram, true);
    RoutingDiagram(painter, kOneToOneDiagram, false);

    FramedPanel(skin, kBacklightPanel);
    LabelBeside(skin, QStringLiteral("Backlight Time"), kBacklightControlX, kBacklightTimeY,
                kBacklightControlHeight);
    LabelBeside(skin, QStringLiteral("Backlight Brightness"), kBacklightControlX, kBacklightBrightnessY,
                kBacklightControlHeight);
    painter.restore();
}

} // namespace brenvik::artwork
