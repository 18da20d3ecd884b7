#include "res/skin_artwork.h"

#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QPainter>
#include <QString>

namespace brenvik::artwork {
namespace {

constexpr QRgb kRule = qRgb(62, 66, 73);       // hairlines on the ground
constexpr QRgb kRuleShadow = qRgb(33, 35, 39); // the dark half of a two-tone divider
constexpr QRgb kCanvas = qRgb(22, 24, 27);     // what shows of the preview canvas before it paints
constexpr QRgb kTitleGrey = qRgb(200, 205, 212);

// Main window (1280 x 720). The controls sit over these places, so the art keeps clear of them:
// minimise and close at 1200..1280 x 0..35, the status line at 30,40, the device list at 45,80,
// the custom name field at 45,110, the buttons from 380 to 735 at y 73..112 and the page area.
constexpr int kCaptionBarHeight = 35;
constexpr QRect kCaptionLogo(12, 7, 21, 21);
constexpr QRect kCaptionTitle(42, 0, 400, kCaptionBarHeight);
constexpr QRect kDeviceWell(32, 62, 346, 90);
constexpr QRect kDeviceLabel(46, 64, 200, 15);
constexpr QRect kNameLabel(46, 132, 200, 15);
constexpr QRect kTitleLogo(772, 72, 56, 56);
constexpr QRect kTitleWord(846, 66, 330, 42);
constexpr QRect kTitleTagline(849, 108, 330, 20);
constexpr QRect kPageArea(20, 160, 1240, 540);
constexpr QRect kHeaderBand(0, kCaptionBarHeight + 2, 1280, kPageArea.top() - kCaptionBarHeight - 2);

// Console page (1240 x 540): the preview canvas at 5,40 (720 x 480) on the left, the mode and
// page buttons at the top of the right panel and the setting page at 750,120 (490 x 420).
constexpr QRect kPreviewLabel(20, 8, 200, 22);
constexpr QRect kPreviewFrame(0, 35, 730, 490);
constexpr QRect kPreviewCanvas(5, 40, 720, 480);
constexpr int kDividerX = 740;
constexpr QRect kSettingArea(750, 120, 490, 420);
constexpr QRect kUnitLabel(1140, 44, 96, 16);
constexpr QRect kUnitDetail(1140, 60, 96, 14);

void DrawPageAreaWaiting(SkinPainter& skin, const QRectF& area) {
    // What the operator sees until a unit's page covers the area; the main window writes below the
    // mark what is true of the area (nothing listed, or a unit of a type without a page).
    skin.Well(area, 8, palette::kWell, palette::kEdgeDark);
    QPainter& painter = skin.Raw();
    painter.save();
    painter.setOpacity(0.16);
    skin.LogoMark(QRectF(area.center().x() - 48, area.center().y() - 92, 96, 96));
    painter.restore();
}

} // namespace

void DrawMainBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    skin.Fill(area, palette::kBase);

    skin.LogoMark(kCaptionLogo);
    skin.Caption(kCaptionTitle, QStringLiteral("Brenvik Rackmount Control"), 13, kTitleGrey,
                 Qt::AlignLeft | Qt::AlignVCenter, 600, 0.4);
    skin.Fill(QRectF(0, kCaptionBarHeight, area.width(), 1), kRuleShadow);
    skin.Fill(QRectF(0, kCaptionBarHeight + 1, area.width(), 1), kRule);

    skin.Well(kDeviceWell, 6, palette::kWell, palette::kEdgeDark);
    skin.Caption(kDeviceLabel, QStringLiteral("DEVICE"), 10, palette::kLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 1.6);
    skin.Caption(kNameLabel, QStringLiteral("CUSTOM NAME"), 10, palette::kLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 1.6);

    painter.save();
    painter.setClipRect(kHeaderBand);
    // Centred so that the glow fades out before the lock button at x 735.
    skin.Glow(QPointF(975, 100), 210, palette::kBlue, 30);
    painter.restore();
    skin.LogoMark(kTitleLogo);
    skin.Caption(kTitleWord, QStringLiteral("BRENVIK"), 38, palette::kCaption,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 7.0);
    skin.Caption(kTitleTagline, QStringLiteral("RACKMOUNT CONTROL"), 13, palette::kBlueLight,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 4.6);

    DrawPageAreaWaiting(skin, kPageArea);
}

void DrawConsoleBackground(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    skin.Fill(area, palette::kBase);

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(palette::kBlue));
    painter.drawEllipse(QPointF(kPreviewLabel.left() - 9, kPreviewLabel.center().y() + 0.5), 3.2, 3.2);
    painter.restore();
    skin.Caption(kPreviewLabel, QStringLiteral("PREVIEW"), 11, palette::kLabel,
                 Qt::AlignLeft | Qt::AlignVCenter, 700, 2.0);
    skin.Fill(QRectF(100, kPreviewLabel.center().y() + 1, kPreviewFrame.right() - 104, 1), kRule);

    skin.Well(kPreviewFrame, 6, palette::kWellDeep, palette::kEdgeDark);
    skin.Fill(QRectF(kPreviewCanvas).adjusted(-1, -1, 1, 1), kRule);
    skin.Fill(kPreviewCanvas, kCanvas);

    skin.Fill(QRectF(kDividerX, 0, 1, area.height()), kRuleShadow);
    skin.Fill(QRectF(kDividerX + 1, 0, 1, area.height()), kRule);

    skin.Caption(kUnitLabel, QStringLiteral("MULTIVIEWER"), 10, palette::kLabel,
                 Qt::AlignRight | Qt::AlignVCenter, 700, 1.2);
    skin.Caption(kUnitDetail, QStringLiteral("16 WINDOWS"), 9, palette::kFaint,
                 Qt::AlignRight | Qt::AlignVCenter, 600, 1.2);

    skin.Plate(kSettingArea, 6, palette::kPanel, qRgb(51, 54, 59), palette::kEdgeDark, palette::kEdgeLight);
}

} // namespace brenvik::artwork
