#include "core/instructions.h"

#include <QDir>
#include <QFileInfo>

namespace qh {

QStringList instructionsCandidates(const QString &applicationDir)
{
    const QDir dir(applicationDir);
    QStringList list{
        dir.filePath(QStringLiteral("instructions.html")),
        dir.filePath(QStringLiteral("../share/qinghe/instructions.html")),
        dir.filePath(QStringLiteral("../Resources/instructions.html")), // macOS bundle
    };
    for (QString &p : list)
        p = QDir::cleanPath(p);
    return list;
}

QUrl instructionsUrl(const QString &applicationDir)
{
    const QStringList candidates = instructionsCandidates(applicationDir);
    for (const QString &p : candidates)
        if (QFileInfo(p).isFile())
            return QUrl::fromLocalFile(p);
    return {};
}

} // namespace qh
