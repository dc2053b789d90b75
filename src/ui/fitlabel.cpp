#include "ui/fitlabel.h"

#include "ui/emtext.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qh {

FitLabel::FitLabel(QWidget *parent) : QLabel(parent) {}

void FitLabel::setShrinkToFit(bool on)
{
    m_shrink = on;
    m_cacheValid = false;
    update();
}

QStringList FitLabel::linesAt(const QFont &f) const
{
    const QRect box = contentsRect();
    const double em = emPixels(f);
    const int lines = std::min(maxLines(), static_cast<int>(box.height() / em));
    if (lines < 1)
        return {};
    const QFontMetricsF metrics(f);
    QStringList result = breakIntoLines(text(), metrics, box.width(), lines);
    if (result.isEmpty())
        return {};
    // The strokes, not just the ems, must stay inside with a pixel to spare.
    QRectF ink;
    for (const QString &line : result)
        ink |= metrics.tightBoundingRect(line);
    if (ink.height() + (result.size() - 1) * em + 2 > box.height())
        return {};
    return result;
}

bool FitLabel::fits(const QFont &f) const
{
    return !linesAt(f).isEmpty();
}

void FitLabel::refit() const
{
    if (m_cacheValid && m_cachedText == text() && m_cachedSize == size() && m_cachedWrap == wordWrap())
        return;
    QFont f = font();
    QStringList lines = linesAt(f);
    if (m_shrink && !text().isEmpty() && lines.isEmpty()) {
        // Every font size tried costs a font engine, so estimate the size
        // from one measurement (text width scales with size) and step down
        // from there.
        const QRect box = contentsRect();
        const double em = emPixels(f);
        const double advance = std::max(1.0, QFontMetricsF(f).horizontalAdvance(text()));
        double estimate = 0; // the largest size any number of lines could take
        for (int n = 1; n <= maxLines(); ++n)
            estimate = std::max(estimate, std::min({em, double(box.height()) / n, em * n * box.width() / advance}));
        int px = std::max(kMinimumPixelSize, static_cast<int>(std::floor(estimate)));
        f.setPixelSize(px);
        lines = linesAt(f);
        while (lines.isEmpty() && px > kMinimumPixelSize) {
            f.setPixelSize(--px);
            lines = linesAt(f);
        }
    }
    if (lines.isEmpty() && !text().isEmpty())
        lines = QStringList{text()}; // nothing fits: one line, cut at the box
    m_cachedText = text();
    m_cachedSize = size();
    m_cachedWrap = wordWrap();
    m_cachedFont = f;
    m_cachedLines = lines;
    m_cacheValid = true;
}

QFont FitLabel::fittedFont() const
{
    refit();
    return m_cachedFont;
}

QStringList FitLabel::fittedLines() const
{
    refit();
    return m_cachedLines;
}

void FitLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event); // the border, if any; the background is auto-filled
    if (text().isEmpty())
        return;
    QPainter p(this);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.setClipRect(contentsRect());
    if (m_shrink)
        drawEmLines(p, contentsRect(), fittedLines(), fittedFont(), alignment());
    else
        drawEmText(p, contentsRect(), text(), font(), alignment(), !wordWrap());
}

void FitLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_cacheValid = false;
    QLabel::changeEvent(event);
}

} // namespace qh
