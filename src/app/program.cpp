#include "app/program.h"

#include "app/translations.h"

#include <QApplication>
#include <QIcon>

namespace qh {

void prepareProcess()
{
    // Qt keeps glyphs up to 64 px in its cache and draws larger text as
    // outlines on every paint; the banner (113 px), the title and the drawn
    // name are larger than that.
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE"))
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", "128");
}

void configureApplication()
{
    QApplication::setApplicationName(QStringLiteral("qinghe"));
    // Windows are switched by the program; only the exit buttons and a close
    // through the frame end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/qinghe/icons/qinghe.ico")));
    installTranslations(*QCoreApplication::instance());
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
