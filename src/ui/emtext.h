#pragma once
// Text drawn with the line metrics of the Windows Chinese faces the windows
// were designed with: one em per line, baseline at 0.86 em below the line's
// top, whatever face the machine falls back to. A fallback with a tall line
// height would otherwise push big text low or out of its box. Where a
// fallback's glyphs reach higher or lower than the design's faces, the lines
// move just far enough to keep every stroke inside the box.

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QFontMetricsF;
class QPainter;

namespace qh {

inline constexpr double kEmAscent = 0.86;

// The font's em in pixels.
double emPixels(const QFont &font);

// Splits text into at most maxLines lines no wider than width, breaking
// between any two characters and, for names such as "买买提·艾力", preferably
// just after the "·". Empty when the text does not fit in maxLines lines.
QStringList breakIntoLines(const QString &text, const QFontMetricsF &metrics, double width, int maxLines);

// Draws lines one em apart in box: horizontally as align says, vertically at
// the top, the centre or the bottom.
void drawEmLines(QPainter &painter, const QRectF &box, const QStringList &lines, const QFont &font,
                 Qt::Alignment align);

// Draws text in box, wrapped at word boundaries (or anywhere) to the box's
// width unless singleLine.
void drawEmText(QPainter &painter, const QRectF &box, const QString &text, const QFont &font,
                Qt::Alignment align, bool singleLine);

} // namespace qh
