#include "app/program.h"

#include "app/translations.h"

#include <QApplication>
#include <QIcon>

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
    auto application = std::make_unique<QApplication>(argc, argv);
    configureApplication();
    return application;
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
    if (arguments.size() > 1)
        form0.setFileToOpen(arguments.at(1));
    app.start(FormId::Start);
}

} // namespace qh
