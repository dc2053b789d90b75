#pragma once
// Where the instructions page that ships with the program lives.

#include <QString>
#include <QStringList>
#include <QUrl>

namespace qh {

// Folders searched, in order: beside the program (build tree, portable zip),
// the installed share folder, and the source tree of a developer build.
QStringList instructionsCandidates(const QString &applicationDir);
// The first candidate that is a file, as a file URL; empty when there is none
// (qinghe.exe copied alone): then the page is not opened at all, since a
// missing file would make Windows show an error or open something else.
QUrl instructionsUrl(const QString &applicationDir);

} // namespace qh
