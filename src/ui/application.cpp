#include "ui/application.h"

#include "ui/zoom.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

namespace qh {

QStringList translationFolders(const QString &applicationDir)
{
    // The one-file Windows build carries Qt's catalog as a resource.
    return {QDir(applicationDir).filePath(QStringLiteral("translations")), QStringLiteral(":/translations"),
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

namespace {

// Before the QApplication exists.
void prepareProcess()
{
    // A 125 % or 150 % classroom display scales the twip layout by exactly
    // that much rather than rounding it to 100 % or 200 %.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // No glyph-cache tuning (QT_MAX_CACHED_GLYPH_SIZE): Qt's FreeType engine
    // switches to outline drawing above its own compiled-in 64 px whatever
    // the variable says, while the raster engine would then ask it for
    // cached bitmaps it never renders, and the big texts come out blank.
}

// Right after it exists: name, window icon, and the rule that only the
// program decides when it ends.
void configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("qinghe"));
    // Windows are switched by the program; only the exit buttons and a close
    // through the frame end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qinghe/icons/qinghe.ico")));
    installTranslations(*QCoreApplication::instance());
    // The platform's own style, its indicators zoomed with their window.
    QApplication::setStyle(new ZoomingStyle(QStyleFactory::create(QApplication::style()->name())));
}

} // namespace

std::unique_ptr<QApplication> createApplication(int &argc, char **argv)
{
    prepareProcess();
    // Qt keeps these for the application's lifetime.
    static char *nameOnly[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    static int one = argc > 0 ? 1 : 0;
    auto application = std::make_unique<QApplication>(one, nameOnly);
    configureApplication();
    return application;
}

} // namespace qh
