#include "ui/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QGuiApplication>
#include <QScreen>

namespace qh {

FormWindow::FormWindow(QWidget *parent) : QWidget(parent) {}

void FormWindow::setBackground(Color color)
{
    m_background = color;
    update();
}

void FormWindow::paintEvent(QPaintEvent *event)
{
    if (m_background.isSystem())
        return; // the style has painted the palette's window colour
    QPainter p(this);
    p.fillRect(event->rect(), toQColor(m_background, palette()));
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closedByUser();
}

Form::Form(QString objectName) : m_objectName(std::move(objectName)) {}

Form::~Form()
{
    close();
}

namespace {

// Qt draws a focus frame only while the last focus change came from Tab, and
// clears that mark whenever the focus moves otherwise (the window opening or
// activating, a click). Enter and Space act on the focused button, so the
// teacher must always see which one it is: the mark is put back each time.
void showFocusFrames(QWidget &window)
{
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    QObject::connect(qApp, &QApplication::focusChanged, &window, [&window](QWidget *, QWidget *now) {
        if (now && now->window() == &window)
            window.setAttribute(Qt::WA_KeyboardFocusChange);
    });
}

} // namespace

bool Form::open()
{
    close();
    auto *w = new FormWindow;
    w->setObjectName(m_objectName);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    // Fixed size, no maximise: the layout is in fixed twips.
    w->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | extraWindowFlags());
    m_window = w;
    QObject::connect(w, &FormWindow::closedByUser, w, [this] {
        if (onClosedByUser)
            onClosedByUser();
    });
    build(*w);
    if (!load()) {
        close();
        return false;
    }
    centerOnScreen(*w);
    showFocusFrames(*w);
    w->show();
    shown();
    return true;
}

void Form::close()
{
    if (m_window.isNull())
        return;
    teardown();
    FormWindow *w = m_window.data();
    m_window.clear();
    w->hide();
    w->setObjectName(QString()); // a window on its way out is no longer Form0/1/2
    // Deleted later: close() may run inside one of the window's own handlers.
    w->deleteLater();
}

void centerOnScreen(QWidget &window)
{
    QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(avail.center());
    window.move(frame.topLeft());
}

} // namespace qh
