#pragma once

#include "res/skin_entry.h"

class QPainter;
class QRect;

// The drawing functions that the picture catalogue names. Each paints one kind of picture into
// the given area using the entry's caption, glyph and selected flag.
namespace brenvik::artwork {

void DrawMainBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawConsoleBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawToolButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawPageButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawModeButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawWindowIcon(QPainter& painter, const QRect& area, const SkinEntry& entry);

// The multiviewer's setting pages: their backgrounds, toggles and buttons.
void DrawToggleButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawCommandButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawOneToOneButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawLayoutButton(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawLayoutPageBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawSystemPageBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawUmdPageBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawColourPageBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawAudioPageBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawRoutingPageBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);

// The matrix switcher's page.
void DrawMatrixKey(QPainter& painter, const QRect& area, const SkinEntry& entry);
void DrawMatrixBackground(QPainter& painter, const QRect& area, const SkinEntry& entry);

} // namespace brenvik::artwork
