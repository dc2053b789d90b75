#pragma once
// A button whose whole face is filled with its back colour, drawn the same on
// every platform (native styles ignore a button's palette). It paints itself
// with a classic raised bevel, which is also cheap: no style sheet involved.

#include <QPushButton>

namespace qh {

class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace qh
