#include "app/program.h"

#include "app/translations.h"

#include <QApplication>
#include <QIcon>

#ifdef Q_OS_WIN
#  include "core/windowsheader.h"
#  include <shellapi.h>
#endif

namespace qh {

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

QStringList commandLineArguments([[maybe_unused]] int argc, [[maybe_unused]] char **argv)
{
    QStringList arguments;
#ifdef Q_OS_WIN
    // argv holds the ANSI code page's rendering, which loses any character
    // outside it.
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
        return arguments;
    }
#endif
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString rosterArgument(const QStringList &arguments)
{
    qsizetype at = 1;
    if (arguments.value(at) == QLatin1String("--"))
        ++at;
    const QString given = arguments.value(at);
    if (given.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(given);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    return given;
}

namespace {

FormContext context(Platform &platform, Clock &clock, RandomSource &random, App &app, const Form0 &form0)
{
    // Both mode windows read the start window's finalname at every load.
    return FormContext{platform, clock, random, app, [&form0] { return form0.finalname; }};
}

} // namespace

Program::Program(Platform &platform, Clock &clock, RandomSource &random, const QUrl &instructions)
    : app(platform), form0(platform, app, instructions),
      form1(context(platform, clock, random, app, form0)), form2(context(platform, clock, random, app, form0))
{
    app.add(FormId::Start, form0);
    app.add(FormId::SingleDraw, form1);
    app.add(FormId::SeatChart, form2);
}

void Program::start(const QStringList &arguments)
{
    form0.setFileToOpen(rosterArgument(arguments));
    app.start(FormId::Start);
}

} // namespace qh
