#include "ui/enterkey.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace qh {

bool EnterPressesButton::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Modified Enter stays free for shortcuts; a held key draws no burst of names.
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) || key->isAutoRepeat())
        return QObject::eventFilter(watched, event);
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button || !button->isEnabled())
        return QObject::eventFilter(watched, event);
    button->click();
    return true;
}

} // namespace qh
