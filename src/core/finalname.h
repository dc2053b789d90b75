#pragma once
// The roster path the start window hands to both mode windows.

#include <QChar>
#include <QDir>
#include <QString>
#include <QStringList>

namespace qh {

// The folder, a separator unless it already ends in one (a drive root such as
// C:\ or /), then the file's name. folder is taken in native separators.
QString composeFinalName(const QString &folder, const QString &fileName, QChar separator = QDir::separator());

// The absolute path of what the system opens for path (a relative one is
// taken from the working folder). Elsewhere than on Windows the folders'
// symbolic links are followed before "..", as the system does: with L a link
// to ../B/sub, L/../r.txt is B/r.txt, not r.txt beside L. The last name is
// kept as it is (a link stays a link). Where the folder does not exist the
// path is cleaned as text. Windows itself folds ".." as text, before any link.
QString resolvedPath(const QString &path);

// resolvedPath(path), or an empty string unless it is a regular file that
// opens for reading.
QString openableFile(const QString &path);

// The roster a command line names, given its arguments after the program's
// name: openableFile of the first; failing that, when there are several and
// none is an existing file, of all of them joined with spaces (a path with
// spaces typed without quotes, which Notepad opens too). Empty when neither
// opens; then *tried (if given) holds the path that was tried last,
// resolved. Asks the drives: never on the window's thread.
QString openableArgument(const QStringList &arguments, QString *tried = nullptr);

} // namespace qh
