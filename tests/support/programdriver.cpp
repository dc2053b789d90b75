#include "programdriver.h"
#include "ui/controls.h"

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

void ProgramDriver::focusBeforeSwitch(const QString &path, const QString &form, const QString &button)
{
    QVERIFY(start({QStringLiteral("qinghe"), path}));
    if (form == QLatin1String("Form1")) {
        click(control("Form0", QStringLiteral("Command1")));
        click(control("Form2", QStringLiteral("Command2")));
    }
    QWidget *from = window(qPrintable(form));
    QWidget *pressed = control(qPrintable(form), button);
    QVERIFY(from && pressed);
    from->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(from));
    pressed->setFocus();
}

void ProgramDriver::addSwitchRows()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    QTest::newRow("开始使用") << QStringLiteral("Form0") << QStringLiteral("Command1");
    QTest::newRow("转平铺式") << QStringLiteral("Form1") << QStringLiteral("Command2");
}

void ProgramDriver::verifyChartUntouched(int students)
{
    QWidget *chart = window("Form2");
    QVERIFY(chart);
    QVERIFY(chart->isActiveWindow()); // the key's repeats reached it
    QCOMPARE(control<QLabel>("Form2", QStringLiteral("Label2"))->text(), QString());
    for (int seat = 0; seat < students; ++seat)
        QVERIFY2(!control("Form2", controlName("Label1", seat))->isVisible(), qPrintable(QString::number(seat)));
}

} // namespace qh::test
