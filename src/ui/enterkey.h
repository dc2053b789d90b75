#pragma once
// Enter and the keypad's Enter press the focused button, as they do on
// Windows. Qt's buttons answer only Space unless they are a dialog's default
// button, which no button of this program is.
//
// A key held down presses once, on every platform: Windows repeats the press
// without a release, X11 sends a release and a press with the same timestamp
// for each repeat, and Qt's auto-repeat flag misses some of those when the
// program is busy. So a held key cannot draw a burst of names.

#include <QHash>
#include <QObject>

namespace qh {

// Installed on every control of a window that takes the focus, so that it sees
// each key's release wherever the focus has gone; it presses buttons only.
class EnterPressesButton final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct KeyState {
        bool down = false;
        quint64 releasedAt = 0; // timestamp of the last release, 0 for none
    };
    QHash<int, KeyState> m_keys;
};

} // namespace qh
