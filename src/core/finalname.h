#pragma once
// The roster path the start window hands to both mode windows.

#include <QChar>
#include <QDir>
#include <QString>

namespace qh {

// The folder, a separator unless it already ends in one (a drive root such as
// C:\ or /), then the file's name. folder is taken in native separators.
QString composeFinalName(const QString &folder, const QString &fileName, QChar separator = QDir::separator());

// The clean absolute path that path names (a relative one is taken from the
// working folder), or an empty string unless it is a regular file that opens
// for reading.
QString openableFile(const QString &path);

} // namespace qh
