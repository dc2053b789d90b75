#pragma once
// The text a control shows, whatever its kind.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

namespace qh::test {

inline QString textOf(const QWidget &w)
{
    if (auto *b = qobject_cast<const QAbstractButton *>(&w))
        return b->text();
    if (auto *l = qobject_cast<const QLabel *>(&w))
        return l->text();
    if (auto *g = qobject_cast<const QGroupBox *>(&w))
        return g->title();
    if (auto *t = qobject_cast<const QPlainTextEdit *>(&w))
        return t->toPlainText();
    return QString();
}

} // namespace qh::test
