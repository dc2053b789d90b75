#include "ui/fitlabel.h"

#include "ui/emtext.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

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
    // The height test is free; measure the width only when it passes.
    return emPixels(f) <= box.height() && QFontMetricsF(f).horizontalAdvance(text()) <= box.width();
}

QFont FitLabel::fittedFont() const
{
    if (m_cacheValid && m_cachedText == text() && m_cachedSize == size())
        return m_cachedFont;
    QFont f = font();
    if (m_shrink && !text().isEmpty() && !fits(f)) {
        // Every font size tried costs a font engine, so estimate from one
        // measurement (text width scales with size) and step down from there.
        // Start no larger than the box is high, so a face that is merely too
        // tall is measured once, at the size it will be drawn.
        const QRect box = contentsRect();
        int px = std::max(kMinimumPixelSize, static_cast<int>(std::min(emPixels(f), double(box.height()))));
        f.setPixelSize(px);
        const double width = QFontMetricsF(f).horizontalAdvance(text());
        if (width > box.width()) {
            px = std::max(kMinimumPixelSize, static_cast<int>(px * box.width() / width));
            f.setPixelSize(px);
        }
        while (px > kMinimumPixelSize && !fits(f))
            f.setPixelSize(--px);
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
