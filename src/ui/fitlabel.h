#pragma once
// The labels of all three windows, drawn with em line metrics (ui/emtext.h).
//
// With shrink-to-fit on (the kind used for names), text too wide or too tall
// for the box is drawn on one line in a smaller font instead of being cut off;
// text that fits keeps the layout's font.

#include <QLabel>

namespace qh {

class FitLabel : public QLabel {
    Q_OBJECT
public:
    explicit FitLabel(QWidget *parent = nullptr);

    void setShrinkToFit(bool on);
    bool shrinkToFit() const { return m_shrink; }

    // The font the current text is drawn in: font() when it fits (or when
    // shrinking is off), else the largest smaller pixel size that fits
    // (down to a floor of 6 px).
    QFont fittedFont() const;
    // Whether the text fits on one line in the label's contents at this font.
    bool fits(const QFont &font) const;

    static constexpr int kMinimumPixelSize = 6;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_shrink = false;
    mutable QString m_cachedText;
    mutable QFont m_cachedFont;
    mutable QSize m_cachedSize;
    mutable bool m_cacheValid = false;
};

} // namespace qh
