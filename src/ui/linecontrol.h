#pragma once
// A straight one-pixel line between two points, drawn in its fore colour.

#include <QWidget>

namespace qh {

class LineControl : public QWidget {
    Q_OBJECT
public:
    explicit LineControl(QWidget *parent = nullptr);
    // End points in the parent's pixels.
    void setEnds(QPoint from, QPoint to);
    QPoint from() const { return m_from; }
    QPoint to() const { return m_to; }
    // End points at zoom 1, placed at the window's zoom (ui/zoom.h).
    void setDesignEnds(QPoint from, QPoint to);
    QPoint designFrom() const { return m_designFrom; }
    QPoint designTo() const { return m_designTo; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from, m_to;
    QPoint m_designFrom, m_designTo;
};

} // namespace qh
