#include "singledraw/classicframe.h"

#include "ui/emtext.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPainter>

namespace qh {

namespace {

class ClassicFramePainter final : public QObject {
public:
    explicit ClassicFramePainter(QGroupBox &box) : QObject(&box) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        paint(*static_cast<QGroupBox *>(watched)); // the background is already filled
        return true;
    }

private:
    static void paint(QGroupBox &box)
    {
        QPainter p(&box);
        const QPalette &pal = box.palette();
        const QFont font = box.font();
        // One em per caption line, as the layout's faces have, whatever face is used.
        const int em = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
        const int lineY = em / 2;
        const int w = box.width();
        const int h = box.height();

        // Etched: a dark line with a light one just inside and below it.
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(0, lineY, w - 2, h - lineY - 2);
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(1, lineY + 1, w - 3, lineY + 1);
        p.drawLine(1, lineY + 1, 1, h - 3);
        p.drawLine(0, h - 1, w - 1, h - 1);
        p.drawLine(w - 1, lineY, w - 1, h - 1);

        const QString title = box.title();
        if (title.isEmpty())
            return;
        const QFontMetrics fm(font);
        // A pixel of room above and below the strokes, whatever the face.
        const QRect titleRect(6, 0, fm.horizontalAdvance(title) + 4, em + 2);
        p.fillRect(titleRect, pal.color(QPalette::Window));
        p.setPen(pal.color(box.isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        drawEmLines(p, titleRect, {title}, font, Qt::AlignCenter);
    }
};

} // namespace

void useClassicFrame(QGroupBox &box)
{
    box.installEventFilter(new ClassicFramePainter(box));
    box.update();
}

} // namespace qh
