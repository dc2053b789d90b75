#include "ui/enterkey.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>

namespace qh {

#ifndef Q_OS_WIN
void HeldKeys::forgetReleased() {}
#endif

bool ButtonKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    // The focus arrives with a window's activation: a key released meanwhile
    // elsewhere is no longer held.
    if (event->type() == QEvent::FocusIn)
        m_keys->forgetReleased();
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool space = key->key() == Qt::Key_Space;
    // Modified Enter stays free for shortcuts.
    if (!(space || (enter && !(key->modifiers() & ~Qt::KeypadModifier))))
        return QObject::eventFilter(watched, event);

    HeldKeys::KeyState &state = (*m_keys)[key->key()];
    auto *button = qobject_cast<QAbstractButton *>(watched);
    // Enter presses push buttons only; Space any button, as Qt's own does.
    const bool presses = button && button->isEnabled() && (space || qobject_cast<QPushButton *>(button));
    if (!press) {
        if (!key->isAutoRepeat()) {
            state.down = false;
            state.releasedAt = key->timestamp();
        }
        // Space is handled at the press; Qt's button would click at its release.
        return presses && space;
    }
    if (!presses)
        return QObject::eventFilter(watched, event);
    // Held only where it pressed: a press on a list box whose release goes to
    // its pop-up must not swallow the next press on a button.
    const bool repeat = key->isAutoRepeat() || state.down ||
                        (key->timestamp() != 0 && key->timestamp() == state.releasedAt);
    state.down = true;
    if (!repeat)
        button->click();
    return true;
}

} // namespace qh
