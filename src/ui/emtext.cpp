#include "ui/emtext.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace qh {

namespace {

const QChar kNameDot(0x00B7); // the "·" between the parts of a transliterated name

// Greedy: as many characters on each line as fit.
QStringList breakAnywhere(const QString &text, const QFontMetricsF &metrics, double width, int maxLines)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        if (lines.size() == maxLines)
            return {};
        qsizetype end = start + 1;
        while (end < text.size() && metrics.horizontalAdvance(text.mid(start, end + 1 - start)) <= width)
            ++end;
        if (text.at(end - 1).isHighSurrogate() && end < text.size())
            ++end; // never split a character
        // A line never starts with the name dot: it stays with the part before.
        if (end < text.size() && text.at(end) == kNameDot && end - start > 1)
            --end;
        const QString line = text.mid(start, end - start);
        if (metrics.horizontalAdvance(line) > width)
            return {};
        lines << line;
        start = end;
    }
    return lines;
}

} // namespace

double emPixels(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

QStringList breakIntoLines(const QString &text, const QFontMetricsF &metrics, double width, int maxLines)
{
    if (text.isEmpty() || maxLines < 1)
        return {};
    if (metrics.horizontalAdvance(text) <= width)
        return {text};
    if (maxLines >= 2) {
        const qsizetype dot = text.indexOf(kNameDot);
        if (dot > 0 && dot + 1 < text.size()) {
            const QString first = text.left(dot + 1);
            const QStringList rest = breakIntoLines(text.mid(dot + 1), metrics, width, maxLines - 1);
            if (metrics.horizontalAdvance(first) <= width && !rest.isEmpty())
                return QStringList{first} + rest;
        }
    }
    return breakAnywhere(text, metrics, width, maxLines);
}

void drawEmLines(QPainter &painter, const QRectF &box, const QStringList &lines, const QFont &font,
                 Qt::Alignment align)
{
    if (lines.isEmpty())
        return;
    const double em = emPixels(font);
    const QFontMetricsF metrics(font, painter.device());
    const double height = lines.size() * em;
    double top = box.top();
    if (align & Qt::AlignVCenter)
        top += (box.height() - height) / 2;
    else if (align & Qt::AlignBottom)
        top += box.height() - height;
    double baseline = std::floor(top) + kEmAscent * em;

    // Keep the strokes a pixel clear of the box's edges where there is room:
    // a fallback face may reach above the design's 0.86 em.
    QVarLengthArray<QRectF, 4> inks;
    QRectF ink;
    for (const QString &line : lines)
        ink |= inks.emplace_back(metrics.tightBoundingRect(line));
    const double inkTop = baseline + ink.top();
    const double inkBottom = baseline + (lines.size() - 1) * em + ink.bottom();
    const double roomTop = box.top() + 1, roomBottom = box.bottom() - 1;
    if (ink.isEmpty())
        ; // blanks only: nothing to keep inside
    else if (inkBottom - inkTop > roomBottom - roomTop)
        baseline += (roomTop + roomBottom - inkTop - inkBottom) / 2;
    else if (inkTop < roomTop)
        baseline += roomTop - inkTop;
    else if (inkBottom > roomBottom)
        baseline -= inkBottom - roomBottom;

    painter.setFont(font);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const QString &line = lines[k];
        const double width = metrics.horizontalAdvance(line);
        double x = box.left();
        if (align & Qt::AlignHCenter)
            x += (box.width() - width) / 2;
        else if (align & Qt::AlignRight)
            x += box.width() - width;
        else // a pixel clear of the left edge too, where a small font's glyph starts at 0
            x += std::clamp(1 - inks[k].left(), 0.0, std::max(0.0, box.width() - width));
        painter.drawText(QPointF(x, baseline), line);
        baseline += em;
    }
}

void drawEmText(QPainter &painter, const QRectF &box, const QString &text, const QFont &font,
                Qt::Alignment align, bool singleLine)
{
    if (text.isEmpty())
        return;
    const QFontMetricsF metrics(font, painter.device());
    if (singleLine || metrics.horizontalAdvance(text) <= box.width()) {
        drawEmLines(painter, box, {text}, font, align);
        return;
    }
    // Longer text wraps as a text layout would: at word boundaries, or
    // anywhere in a word too long for a line.
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    drawEmLines(painter, box, lines, font, align);
}

} // namespace qh
