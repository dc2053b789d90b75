#include "ui/emtext.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace qh {

double emPixels(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

void drawEmText(QPainter &painter, const QRectF &box, const QString &text, const QFont &font,
                Qt::Alignment align, bool singleLine)
{
    if (text.isEmpty())
        return;
    const double em = emPixels(font);
    const QFontMetricsF metrics(font, painter.device());
    const double width = metrics.horizontalAdvance(text);
    if (singleLine || width <= box.width()) {
        // One line: place it directly; a text layout per paint costs more
        // than the rest of a button's painting.
        double x = box.left();
        if (align & Qt::AlignHCenter)
            x += (box.width() - width) / 2;
        else if (align & Qt::AlignRight)
            x += box.width() - width;
        double top = box.top();
        if (align & Qt::AlignVCenter)
            top += (box.height() - em) / 2;
        else if (align & Qt::AlignBottom)
            top += box.height() - em;
        painter.setFont(font);
        painter.drawText(QPointF(x, std::floor(top) + kEmAscent * em), text);
        return;
    }
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(singleLine ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(align & Qt::AlignHorizontal_Mask);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine(), ++lines) {
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, lines * em + kEmAscent * em - line.ascent()));
    }
    layout.endLayout();

    double top = box.top();
    const double height = lines * em;
    if (align & Qt::AlignVCenter)
        top += (box.height() - height) / 2;
    else if (align & Qt::AlignBottom)
        top += box.height() - height;
    layout.draw(&painter, QPointF(box.left(), std::floor(top)));
}

} // namespace qh
