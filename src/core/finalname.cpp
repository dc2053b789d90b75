#include "core/finalname.h"

#include "core/regularfile.h"

#include <QFile>
#include <QFileInfo>

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

QString openableFile(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // A folder, a device or a pipe is no roster; opening proves more than
    // the permission bits (a file another program holds locked), and the
    // reader's own open never waits on a pipe swapped in after a check.
    QFile file;
    return openRegularFile(file, absolute) ? absolute : QString();
}

} // namespace qh
