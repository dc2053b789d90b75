#include "ui/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>

#include "ui/zoom.h"

#include <algorithm>
#include <utility>

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

void FormWindow::setDesignSize(QSize size)
{
    m_design = size;
    setFixedSize(size);
}

void FormWindow::zoomTo(QSize client)
{
    if (m_design.isEmpty())
        return;
    const double z = std::min(double(client.width()) / m_design.width(), double(client.height()) / m_design.height());
    const QSize used = zoomSize(m_design, z);
    applyZoom(*this, z, QPoint((client.width() - used.width()) / 2, (client.height() - used.height()) / 2));
}

void FormWindow::resizeEvent(QResizeEvent *event)
{
    zoomTo(event->size());
    QWidget::resizeEvent(event);
    placeWithRealFrame();
}

void FormWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    placeWithRealFrame();
}

QMargins FormWindow::frameMargins() const
{
    const QRect inner = geometry(), outer = frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

void FormWindow::placeWithGuessedFrame(bool resizable, QMargins guessedFrame)
{
    m_resizable = resizable;
    m_guessedFrame = guessedFrame;
    qh::fitAndCentre(*this, resizable, guessedFrame);
}

void FormWindow::placeWithRealFrame()
{
    if (m_guessedFrame.isNull() || !isVisible())
        return;
    const QMargins frame = frameMargins();
    if (frame.isNull())
        return;
    const QMargins guess = std::exchange(m_guessedFrame, QMargins());
    if (frame != guess && windowState() == Qt::WindowNoState)
        qh::fitAndCentre(*this, m_resizable, frame);
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
    w->setHeldKeys(m_heldKeys);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    // The layout zooms as a whole (ui/zoom.h); only the mode windows offer
    // to be maximised.
    w->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                      (maximisable() ? Qt::WindowMaximizeButtonHint : Qt::WindowFlags()) | extraWindowFlags());
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
    // The frame is known only once the window is shown: placed first with a
    // generous guess at a title bar and borders.
    w->placeWithGuessedFrame(maximisable(), QMargins(8, 40, 8, 8));
    showFocusFrames(*w);
    // Maximised or full screen again, as the teacher left it the last time:
    // a projector view lasts across switches of window.
    if (maximisable())
        w->setWindowState(m_lastState);
    w->show();
    w->placeWithRealFrame(); // where the platform knows it already
    if (maximisable()) {
        auto *fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), w);
        QObject::connect(fullScreen, &QShortcut::activated, w,
                         [w] { w->setWindowState(w->windowState() ^ Qt::WindowFullScreen); });
        auto *leave = new QShortcut(QKeySequence(Qt::Key_Escape), w);
        QObject::connect(leave, &QShortcut::activated, w,
                         [w] { w->setWindowState(w->windowState() & ~Qt::WindowFullScreen); });
    }
    shown();
    return true;
}

void Form::close()
{
    if (m_window.isNull())
        return;
    teardown();
    FormWindow *w = m_window.data();
    m_lastState = w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    m_window.clear();
    w->hide();
    w->setObjectName(QString()); // a window on its way out is no longer Form0/1/2
    // Deleted later: close() may run inside one of the window's own handlers.
    w->deleteLater();
}

void fitAndCentre(FormWindow &window, bool resizable, QMargins frameMargins)
{
    QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    const QSize design = window.designSize();
    const QSize size = zoomSize(design, fitZoom(design, avail.size().shrunkBy(frameMargins)));
    if (resizable) {
        window.setMinimumSize(size);
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window.resize(size);
    } else {
        window.setFixedSize(size);
    }
    window.zoomTo(size); // a hidden window gets its resize event only when shown

    QRect frame(QPoint(), size.grownBy(frameMargins));
    frame.moveCenter(avail.center());
    // Never above the top or under the taskbar, even if the centre must give.
    frame.moveLeft(std::max(avail.left(), std::min(frame.left(), avail.left() + avail.width() - frame.width())));
    frame.moveTop(std::max(avail.top(), std::min(frame.top(), avail.top() + avail.height() - frame.height())));
    window.move(frame.topLeft());
}

} // namespace qh
