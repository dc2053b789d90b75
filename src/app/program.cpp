#include "app/program.h"

#ifdef Q_OS_WIN
#  include "core/windowsheader.h"
#  include <shellapi.h>
#endif

namespace qh {

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

QStringList rosterArguments(const QStringList &arguments)
{
    qsizetype at = 1;
    if (arguments.value(at) == QLatin1String("--"))
        ++at;
    QStringList given = arguments.mid(at);
    for (QString &argument : given) {
        if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            QUrl url(argument);
            // file://localhost/… is RFC 8089's other spelling of file:///….
            if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
                url.setHost(QString());
            argument = url.isLocalFile() ? url.toLocalFile() : QString();
        }
    }
    return given.value(0).isEmpty() ? QStringList() : given;
}

namespace {

FormContext context(Platform &platform, Clock &clock, RandomSource &random, App &app, const Form0 &form0)
{
    // Both mode windows read the start window's finalname at every load.
    return FormContext{platform, clock, random, app, [&form0] { return form0.finalName(); }};
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
    form0.setFileToOpen(rosterArguments(arguments));
    app.start(FormId::Start);
}

} // namespace qh
