#pragma once
// Files the tests write and read: text in any encoding, rosters, and the
// sample files of the source tree.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qh::test {

// `text` in the named encoding ("UTF-8", "GB18030", "UTF-16LE", ...); empty
// and `ok` false if it cannot be encoded here.
QByteArray encodeAs(const QString &text, const char *encoding, bool *ok = nullptr);

// Whether GB18030 rosters come out as text here (Qt with ICU, or Windows'
// code page 936); elsewhere reading them fails.
bool canDecodeGb18030();

// A roster file's bytes: each line ("name,sex") in `encoding`, ended by `eol`;
// `ok` false if a line cannot be encoded.
QByteArray rosterBytes(const QStringList &lines, const char *encoding = "UTF-8", const char *eol = "\r\n",
                       bool *ok = nullptr);

// Writes `bytes` to `path`, replacing it; the path, or empty on failure.
QString writeFile(const QString &path, const QByteArray &bytes);

// A file of the source tree, by its path there ("examples/名单.txt").
QString sourcePath(const QString &relative);

} // namespace qh::test
