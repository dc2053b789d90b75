#include "programdriver.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

namespace qh::test {

QWidget *ProgramDriver::window(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String(name))
            return w;
    return nullptr;
}

int ProgramDriver::visibleWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->isVisible() && w->objectName().startsWith(QLatin1String("Form"));
    return n;
}

void ProgramDriver::click(QWidget *w)
{
    test::click(w);
    settle();
}

bool ProgramDriver::start(const QStringList &arguments)
{
    program.start(arguments);
    return QTest::qWaitFor([this] { return !program.form0.isReading(); }, 20000);
}

void ProgramDriver::startWith(const QString &fileName)
{
    clickItem(control<QListWidget>("Form0", QStringLiteral("File1")), fileName);
    click(control("Form0", QStringLiteral("Command1")));
}

} // namespace qh::test
