#pragma once
// The labels of all three windows. Text is laid out with the line metrics of
// the Windows Chinese faces the windows were designed with (one em per line,
// baseline at 0.86 em), whatever face the machine falls back to: a fallback
// with a tall line height would otherwise push big text out of its box.
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

    static constexpr double kAscent = 0.86; // baseline below the line top, in em

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
