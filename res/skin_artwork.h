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

} // namespace brenvik::artwork
