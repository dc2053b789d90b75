#include "app/finalname.h"

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

} // namespace qh
