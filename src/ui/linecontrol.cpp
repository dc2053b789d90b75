#include "ui/linecontrol.h"

#include "ui/zoom.h"

#include <QPainter>

namespace qh {

LineControl::LineControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::setEnds(QPoint from, QPoint to)
{
    m_from = from;
    m_to = to;
    setGeometry(QRect(from, to).normalized()); // QRect is inclusive: one pixel thick
}

void LineControl::setDesignEnds(QPoint from, QPoint to)
{
    m_designFrom = from;
    m_designTo = to;
    placeAtWindowZoom(*this);
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // A rule across or down is the whole widget, filled: at a fractional
    // display scale or zoom a one-pixel pen could fall between device rows.
    if (m_from.x() == m_to.x() || m_from.y() == m_to.y()) {
        p.fillRect(rect(), palette().color(QPalette::WindowText));
        return;
    }
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.drawLine(m_from - pos(), m_to - pos());
}

} // namespace qh
