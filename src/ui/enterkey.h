#pragma once
// Enter and the keypad's Enter press the focused button, as they do on
// Windows. Qt's buttons answer only Space unless they are a dialog's default
// button, which no button of this program is.
//
// A key held down presses once, on every platform: Windows repeats the press
// without a release, X11 sends a release and a press with the same timestamp
// for each repeat, and Qt's auto-repeat flag misses some of those when the
// program is busy. So a held key cannot draw a burst of names.
//
// The memory of held keys is the application's, not a window's: the key whose
// press switched windows does nothing in the new window until it is released
// and pressed again. Qt's Windows keyboard code forgets held keys while no
// window is active, so there the new window's first repeat looks like a press.

#include <QHash>
#include <QObject>

namespace qh {

// Which of the keys that press buttons are down, for every window of the
// program; owned by whoever switches the windows.
class HeldKeys {
public:
    struct KeyState {
        bool down = false;
        quint64 releasedAt = 0; // timestamp of the last release, 0 for none
    };
    KeyState &operator[](int key) { return m_keys[key]; }
    // A release may go to no window of ours (the old one closed, the new one
    // not yet active): keys the system reports up are forgotten. On Windows;
    // elsewhere the release reaches the next window, or the memory stays.
    void forgetReleased();

private:
    QHash<int, KeyState> m_keys;
};

// Installed on every control of a window that takes the focus, so that it sees
// each key's release wherever the focus has gone; it presses buttons only.
class ButtonKeyFilter final : public QObject {
public:
    // keys: the application's memory; without one the filter keeps its own.
    ButtonKeyFilter(QObject *parent, HeldKeys *keys)
        : QObject(parent), m_keys(keys ? keys : &m_ownKeys)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HeldKeys m_ownKeys;
    HeldKeys *m_keys;
};

} // namespace qh
