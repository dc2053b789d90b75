// Windows only, in the classroom: the single-draw window stays on top of a
// slide show, and a press on its draw button must not take the keyboard from
// the slide show, or the presenter remote's next press goes nowhere. And the
// instructions page opens at start-up minimised behind the start window.
// A key released while no window of ours was active is known to be up.
// On other systems nothing here is built: their windows and the page behave
// as Qt makes them.

#include <QtGlobal>

#ifdef Q_OS_WIN

#include <QtCore/qt_windows.h>
#include <shellapi.h>

#include "ui/enterkey.h"
#include "ui/form.h"
#include "ui/realplatform.h"

#include <QDir>
#include <QUrl>

namespace qh {

namespace {

// Whether the press behind an activation message lands on the button. A touch
// or pen press carries its own position; a mouse press is where the cursor is.
bool pressLandsOn(const QWidget &button, const MSG &msg)
{
    POINT at{};
    if (msg.message == WM_POINTERACTIVATE) {
        POINTER_INFO info{};
        if (!GetPointerInfo(GET_POINTERID_WPARAM(msg.wParam), &info))
            return false;
        at = info.ptPixelLocation;
    } else if (!GetCursorPos(&at)) {
        return false;
    }
    if (!ScreenToClient(msg.hwnd, &at))
        return false;
    // The client area counts device pixels; the widgets device-independent ones.
    const qreal ratio = button.devicePixelRatioF();
    const QPoint inWindow(qRound(at.x / ratio), qRound(at.y / ratio));
    const QRect buttonInWindow(button.mapTo(button.window(), QPoint(0, 0)), button.size());
    return buttonInWindow.contains(inWindow);
}

} // namespace

bool FormWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    if (m_noActivate && m_noActivate->isVisible() && eventType == "windows_generic_MSG") {
        const MSG &msg = *static_cast<const MSG *>(message);
        const bool mouse = msg.message == WM_MOUSEACTIVATE;
        const bool pointer = msg.message == WM_POINTERACTIVATE;
        // Presses in the client area only: the frame and title bar activate as ever.
        const UINT hitTest = mouse ? LOWORD(msg.lParam) : HIWORD(msg.wParam);
        if ((mouse || pointer) && hitTest == HTCLIENT && pressLandsOn(*m_noActivate, msg)) {
            // The press still reaches the button, which draws as usual.
            *result = mouse ? MA_NOACTIVATE : PA_NOACTIVATE;
            return true;
        }
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void HeldKeys::forgetReleased()
{
    for (auto it = m_keys.begin(); it != m_keys.end(); ++it) {
        // Enter and the keypad's Enter are both VK_RETURN. The thread's key
        // state, as of the messages read so far, not the keyboard's: repeats
        // still queued behind a release already made must still be swallowed.
        const int vk = it.key() == Qt::Key_Space ? VK_SPACE : VK_RETURN;
        if (it->down && !(GetKeyState(vk) & 0x8000))
            it->down = false;
    }
}

void RealPlatform::openUrlMinimised(const QUrl &url)
{
    // The page beside the program opens through its file type (the browser).
    // A browser that is already running may show it in its own window anyway.
    const QString target =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString(QUrl::FullyEncoded);
    (void)ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t *>(target.utf16()), nullptr, nullptr,
                        SW_SHOWMINNOACTIVE);
}

} // namespace qh

#endif // Q_OS_WIN
