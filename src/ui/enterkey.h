#pragma once
// Enter and the keypad's Enter press the focused button, as they do on
// Windows. Qt's buttons answer only Space unless they are a dialog's default
// button, which no button of this program is.

#include <QObject>

namespace qh {

// Installed on buttons: a press of Enter clicks the button it reaches.
class EnterPressesButton final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace qh
