#pragma once
// The labels of all three windows, drawn with em line metrics (ui/emtext.h).
//
// With shrink-to-fit on (the kind used for names), text too big for the box is
// drawn in a smaller font instead of being cut off: a label that wraps its text
// first breaks it onto two lines, and shrinks only as far as the two lines then
// need; one that does not wrap shrinks its one line. Text that fits keeps the
// layout's font.

#include <QLabel>
#include <QStringList>

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
    // The lines the text is drawn on at fittedFont().
    QStringList fittedLines() const;
    // Whether the text fits the label's contents at this font, every stroke
    // a pixel clear of the edges.
    bool fits(const QFont &font) const;

    static constexpr int kMinimumPixelSize = 6;
    static constexpr int kWrappedLines = 2;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int maxLines() const { return wordWrap() ? kWrappedLines : 1; }
    QStringList linesAt(const QFont &font) const;
    void refit() const;

    bool m_shrink = false;
    mutable QString m_cachedText;
    mutable QSize m_cachedSize;
    mutable bool m_cachedWrap = false;
    mutable QFont m_cachedFont;
    mutable QStringList m_cachedLines;
    mutable bool m_cacheValid = false;
};

} // namespace qh
