#include "ui/fitlabel.h"

#include "ui/emtext.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace qh {

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
    return QFontMetricsF(f).horizontalAdvance(text()) <= box.width() && emPixels(f) <= box.height();
}

QFont FitLabel::fittedFont() const
{
    if (m_cacheValid && m_cachedText == text() && m_cachedSize == size())
        return m_cachedFont;
    QFont f = font();
    if (m_shrink && !text().isEmpty() && !fits(f)) {
        // Largest pixel size that fits, by bisection between the floor and the layout size.
        int lo = 6;
        int hi = static_cast<int>(emPixels(f));
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
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.setClipRect(contentsRect());
    drawEmText(p, contentsRect(), text(), fittedFont(), alignment(), m_shrink || !wordWrap());
}

void FitLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_cacheValid = false;
    QLabel::changeEvent(event);
}

} // namespace qh
