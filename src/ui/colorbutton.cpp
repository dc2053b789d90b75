#include "ui/colorbutton.h"

#include "ui/emtext.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace qh {

ColorButton::ColorButton(QWidget *parent) : QPushButton(parent) {}

QSize ColorButton::sizeHint() const
{
    return size();
}

void ColorButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const bool down = isDown();
    const QRect r = rect();
    p.fillRect(r, pal.color(QPalette::Button));
    // The classic two-pixel bevel, drawn as strips: cheaper than the style's
    // helpers, and a seat chart paints 82 of these.
    const QColor light = down ? pal.color(QPalette::Shadow) : pal.color(QPalette::Light);
    const QColor dark = down ? pal.color(QPalette::Light) : pal.color(QPalette::Shadow);
    const QColor midLight = down ? pal.color(QPalette::Dark) : pal.color(QPalette::Midlight);
    const QColor mid = down ? pal.color(QPalette::Midlight) : pal.color(QPalette::Dark);
    const int w = r.width(), h = r.height();
    p.fillRect(0, 0, w, 1, light);
    p.fillRect(0, 0, 1, h, light);
    p.fillRect(0, h - 1, w, 1, dark);
    p.fillRect(w - 1, 0, 1, h, dark);
    p.fillRect(1, 1, w - 2, 1, midLight);
    p.fillRect(1, 1, 1, h - 2, midLight);
    p.fillRect(1, h - 2, w - 2, 1, mid);
    p.fillRect(w - 2, 1, 1, h - 2, mid);

    QRect textRect = r.adjusted(3, 3, -3, -3);
    if (down)
        textRect.translate(1, 1);
    p.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    drawEmText(p, textRect, text(), font(), Qt::AlignCenter, false);

    if (hasFocus()) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        opt.rect = r.adjusted(4, 4, -4, -4);
        opt.backgroundColor = pal.color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

} // namespace qh
