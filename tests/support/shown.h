#pragma once
// What the teacher sees of the single-draw window after a step: the name
// display and the draw button. Colour is the colour as the test reads it: a
// layout colour from the state, or a palette colour from the widget.

#include "core/colors.h"

#include <QColor>
#include <QString>
#include <QtGlobal>

namespace qh::test {

template <class Colour>
struct Shown {
    QString name;
    QString caption;
    Colour colour;
    bool operator==(const Shown &) const = default;
};

inline QString colourText(Color c)
{
    return QStringLiteral("&H%1").arg(c.value, 8, 16, QLatin1Char('0'));
}
inline QString colourText(const QColor &c)
{
    return c.name();
}

// How QCOMPARE prints a Shown.
template <class Colour>
char *toString(const Shown<Colour> &v)
{
    const QString text = QStringLiteral("\"%1\" / \"%2\" / %3").arg(v.name, v.caption, colourText(v.colour));
    return qstrdup(text.toUtf8().constData());
}

} // namespace qh::test
