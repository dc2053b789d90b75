#pragma once
// Text drawn with the line metrics of the Windows Chinese faces the windows
// were designed with: one em per line, baseline at 0.86 em below the line's
// top, whatever face the machine falls back to. A fallback with a tall line
// height would otherwise push big text low or out of its box.

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace qh {

inline constexpr double kEmAscent = 0.86;

// The font's em in pixels.
double emPixels(const QFont &font);

// Draws text in box: horizontally as align says, vertically at the top, the
// centre or the bottom; wrapped at the box's width unless singleLine.
void drawEmText(QPainter &painter, const QRectF &box, const QString &text, const QFont &font,
                Qt::Alignment align, bool singleLine);

} // namespace qh
