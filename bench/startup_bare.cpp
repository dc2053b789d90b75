// The baseline of the start-up benchmark: a bare Qt program with one empty
// window of the start window's size (991 x 558 pixels) and one label in a
// CJK font, ending right after the window's first paint.

#include "paintwatch.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(991, 558);
    auto *label = new QLabel(QStringLiteral("青禾抽签"), &window);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(48);
    label->setFont(font);
    label->setGeometry(96, 16, 800, 80);

    qh::bench::QuitAfterFirstPaint quitter;
    window.installEventFilter(&quitter);
    window.show();
    return QApplication::exec();
}
