#include "ui/colorbutton.h"

#include "ui/emtext.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

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
    qDrawWinButton(&p, r, pal, down, nullptr);

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
