#include "app/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace qh {

QStringList translationFolders(const QString &applicationDir)
{
    return {QDir(applicationDir).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

QTranslator *installTranslations(QCoreApplication &app)
{
    // qtbase is Debian's catalog of the base module; windeployqt merges the
    // modules it deploys into one qt_zh_CN.
    static const char *const kCatalogs[] = {"qtbase_zh_CN", "qt_zh_CN"};
    auto *translator = new QTranslator(&app);
    for (const QString &folder : translationFolders(QCoreApplication::applicationDirPath())) {
        for (const char *catalog : kCatalogs) {
            if (translator->load(QString::fromLatin1(catalog), folder) && QCoreApplication::installTranslator(translator))
                return translator;
        }
    }
    delete translator;
    return nullptr;
}

} // namespace qh
