#include "ui/fitlabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace qh {

namespace {

double emOf(const QFont &f)
{
    return f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
}

} // namespace

FitLabel::FitLabel(QWidget *parent) : QLabel(parent) {}

void FitLabel::setShrinkToFit(bool on)
{
    m_shrink = on;
    m_cacheValid = false;
    update();
}

bool FitLabel::fits(const QFont &f) const
{
    const QRect box = contentsRect();
    return QFontMetricsF(f).horizontalAdvance(text()) <= box.width() && emOf(f) <= box.height();
}

QFont FitLabel::fittedFont() const
{
    if (m_cacheValid && m_cachedText == text() && m_cachedSize == size())
        return m_cachedFont;
    QFont f = font();
    if (m_shrink && !text().isEmpty() && !fits(f)) {
        // Largest pixel size that fits, by bisection between the floor and the layout size.
        int lo = 6;
        int hi = static_cast<int>(emOf(f));
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            f.setPixelSize(mid);
            if (fits(f))
                lo = mid;
            else
                hi = mid - 1;
        }
        f.setPixelSize(lo);
    }
    m_cachedText = text();
    m_cachedSize = size();
    m_cachedFont = f;
    m_cacheValid = true;
    return f;
}

void FitLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event); // the border, if any; the background is auto-filled
    if (text().isEmpty())
        return;
    QPainter p(this);
    const QFont f = fittedFont();
    const double em = emOf(f);
    const QRectF box = contentsRect();
    p.setFont(f);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.setClipRect(contentsRect());

    const bool oneLine = m_shrink || !wordWrap();
    QTextLayout layout(text(), f, this);
    QTextOption option;
    option.setWrapMode(oneLine ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(alignment() & Qt::AlignHorizontal_Mask);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine(), ++lines) {
        line.setLineWidth(box.width());
        // Each line takes one em; the baseline sits at kAscent em.
        line.setPosition(QPointF(0, lines * em + kAscent * em - line.ascent()));
    }
    layout.endLayout();

    double top = box.top();
    const double height = lines * em;
    if (alignment() & Qt::AlignVCenter)
        top += (box.height() - height) / 2;
    else if (alignment() & Qt::AlignBottom)
        top += box.height() - height;
    layout.draw(&p, QPointF(box.left(), std::floor(top)));
}

void FitLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_cacheValid = false;
    QLabel::changeEvent(event);
}

} // namespace qh
