#pragma once
// Reads text back from a control's pixels: which pixels of its grabbed image
// are drawn in its text colour rather than its background, and where.

#include <QAbstractButton>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include "widgettext.h"

#include <algorithm>
#include <cstdlib>

namespace qh::test {

struct Ink {
    int pixels = 0;        // ink pixels inside the area
    QRect box;             // their bounding box, device pixels
    QRect area;            // where the text may be, device pixels
    int tallestLine = 0;   // rows of the highest run of consecutive inked rows
    double ratio = 1;      // device pixels per logical pixel

    // Ink on the outermost row or column of the area: the text runs into the
    // border or past the edge, i.e. it is cut.
    bool touchesEdge() const
    {
        return box.isValid() && (box.left() <= area.left() || box.right() >= area.right() ||
                                 box.top() <= area.top() || box.bottom() >= area.bottom());
    }
};

// Where a control's own text is drawn, in its logical coordinates: inside
// borders and bevels, right of a radio button's indicator, the caption of a
// group box.
inline QRect textArea(const QWidget &w)
{
    if (qobject_cast<const QGroupBox *>(&w)) // the caption sits in the top border
        return QRect(0, 0, w.width(), std::min(w.height(), w.fontMetrics().height() + 4));
    if (auto *radio = qobject_cast<const QRadioButton *>(&w)) {
        QStyleOptionButton opt;
        opt.initFrom(radio);
        opt.text = radio->text();
        return radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, radio) & radio->rect();
    }
    if (auto *label = qobject_cast<const QLabel *>(&w)) {
        // A border drawn at a fractional display scale shades the device
        // pixels just inside it.
        const int shade = label->frameWidth() > 0 ? 1 : 0;
        return label->contentsRect().adjusted(shade, shade, -shade, -shade);
    }
    return w.rect().adjusted(3, 3, -3, -3); // a button's bevel
}

inline int colourDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// A pixel is ink when it is clearly off the background (antialiased fringes
// count only past halfway) and, for text, nearer the text colour than the
// background; a style's mark may be drawn in any colour.
inline Ink measureInk(QWidget &w, const QRect &logical, bool anyColour)
{
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    Ink ink;
    ink.ratio = image.devicePixelRatio();
    ink.area = QRect(QPoint(qRound(logical.left() * ink.ratio), qRound(logical.top() * ink.ratio)),
                     QPoint(qRound((logical.right() + 1) * ink.ratio) - 1, qRound((logical.bottom() + 1) * ink.ratio) - 1))
                   .intersected(image.rect());
    const QRgb back = w.palette().color(w.backgroundRole()).rgb();
    const QRgb fore = w.palette().color(w.foregroundRole()).rgb();
    int run = 0;
    for (int y = ink.area.top(); y <= ink.area.bottom(); ++y) {
        bool rowInked = false;
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = ink.area.left(); x <= ink.area.right(); ++x) {
            const int toBack = colourDistance(line[x], back);
            if (toBack >= 48 && (anyColour || colourDistance(line[x], fore) < toBack)) {
                ++ink.pixels;
                ink.box |= QRect(x, y, 1, 1);
                rowInked = true;
            }
        }
        run = rowInked ? run + 1 : 0;
        ink.tallestLine = std::max(ink.tallestLine, run);
    }
    return ink;
}

inline Ink measureInk(QWidget &w)
{
    return measureInk(w, textArea(w), false);
}

// An option button's round mark: what the style draws left of its text.
inline Ink measureMark(QRadioButton &radio)
{
    return measureInk(radio, QRect(0, 0, textArea(radio).left(), radio.height()), true);
}

} // namespace qh::test
