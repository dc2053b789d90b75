#pragma once
// Where the instructions page that ships with the program lives.

#include <QString>
#include <QStringList>
#include <QUrl>

namespace qh {

// Folders searched, in order: beside the program (build tree, portable zip),
// the installed share folder, and the source tree of a developer build.
QStringList instructionsCandidates(const QString &applicationDir);
// The first candidate that exists, as a file URL; the first candidate when none does.
QUrl instructionsUrl(const QString &applicationDir);

} // namespace qh
