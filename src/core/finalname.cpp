#include "core/finalname.h"

#include "core/regularfile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cstdlib>

namespace qh {

QString composeFinalName(const QString &folder, const QString &fileName, QChar separator)
{
    QString path = folder;
    if (separator == QLatin1Char('\\'))
        path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!path.endsWith(separator))
        path += separator;
    return path + fileName;
}

QString resolvedPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    // Not QFileInfo::absoluteFilePath(): it cleans the path as text.
    QString absolute = QDir::fromNativeSeparators(path);
    if (QDir::isRelativePath(absolute))
        absolute = QDir::currentPath() + QLatin1Char('/') + absolute;
#ifdef Q_OS_WIN
    return QDir::cleanPath(absolute);
#else
    const qsizetype cut = absolute.lastIndexOf(QLatin1Char('/'));
    QString name = absolute.mid(cut + 1);
    QString folder = absolute.left(qMax<qsizetype>(cut, 1));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        folder = absolute; // a folder named by its own path
        name.clear();
    }
    char *real = ::realpath(QFile::encodeName(folder).constData(), nullptr);
    if (!real)
        return QDir::cleanPath(absolute);
    QString resolved = QFile::decodeName(real);
    std::free(real);
    if (!name.isEmpty())
        resolved = composeFinalName(resolved, name, QLatin1Char('/'));
    return resolved;
#endif
}

QString openableFile(const QString &path)
{
    // "名单.txt/" names a folder, whatever stands there: cleaning the path
    // would drop the separator and open the file.
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator()))
        return {};
    const QString absolute = resolvedPath(path);
    // A folder, a device or a pipe is no roster; opening proves more than
    // the permission bits (a file another program holds locked), and the
    // reader's own open never waits on a pipe swapped in after a check.
    SizedFile file;
    return file.openFile(absolute) ? absolute : QString();
}

QString openableArgument(const QStringList &arguments, QString *tried)
{
    QString path = arguments.value(0);
    QString file = openableFile(path);
    if (file.isEmpty() && arguments.size() > 1 &&
        std::none_of(arguments.begin(), arguments.end(),
                     [](const QString &a) { return QFileInfo(resolvedPath(a)).isFile(); })) {
        path = arguments.join(QLatin1Char(' '));
        file = openableFile(path);
    }
    if (tried)
        *tried = file.isEmpty() ? resolvedPath(path) : file;
    return file;
}

} // namespace qh
