// Renders the program's windows to PNG files for a look by eye, starting the
// whole program as main() does and driving it as a teacher would:
//
//   render_windows OUT_DIR [form0|form1|form2|all]
//
// The start window lists the working folder, whose 名单.txt is chosen. Set
// QT_SCALE_FACTOR for a display scale other than 1. The mode windows are also
// saved maximised.

#include "programdriver.h"
#include "testmain.h"

#include <QDir>
#include <QScreen>

#include <cstdio>

using qh::test::ProgramDriver;

namespace {

class Renderer {
public:
    Renderer(const QString &outDir, const QString &which) : m_out(outDir), m_which(which) {}

    bool run()
    {
        if (!m_driver.start())
            return false;
        auto *files = ProgramDriver::control<QListWidget>("Form0", QStringLiteral("File1"));
        const QList<QListWidgetItem *> sample = files->findItems(QStringLiteral("名单.txt"), Qt::MatchExactly);
        if (sample.isEmpty()) {
            std::fprintf(stderr, "no 名单.txt in %s\n", qPrintable(QDir::currentPath()));
            return false;
        }
        files->setCurrentItem(sample.first());
        save("Form0", "form0.png");

        click("Form0", "Command1");
        save("Form2", "form2-start.png");
        for (int s : {0, 14, 27, 33, 41, 58, 5})
            click("Form2", qh::controlName("Command1", s));
        save("Form2", "form2-reveals.png");
        click("Form2", "Option2");
        click("Form2", qh::controlName("Command1", 2));
        click("Form2", qh::controlName("Command1", 9));
        save("Form2", "form2-boys.png");
        // Every card turned over: the longest names show how they wrap.
        click("Form2", "Option1");
        for (int s = 0; s < 82; ++s)
            click("Form2", qh::controlName("Command1", s));
        save("Form2", "form2-all.png");
        // Maximised: the whole layout zoomed to the screen, a card turned over.
        click("Form2", "Option3");
        click("Form2", qh::controlName("Command1", 3));
        saveMaximised("Form2", "form2-maximised.png");

        click("Form2", "Command2");
        save("Form1", "form1-1-loaded.png");
        for (int i = 0; i < 3; ++i)
            click("Form1", "Command1");
        save("Form1", "form1-2-no-repeat-3-presses.png");
        click("Form1", "Option1");
        click("Form1", "Command1");
        save("Form1", "form1-3-repeating.png");
        click("Form1", "Option3");
        click("Form1", "Command1");
        save("Form1", "form1-4-boys.png");
        click("Form1", "Option4");
        click("Form1", "Command1");
        save("Form1", "form1-5-girls.png");
        click("Form1", "Option2");
        auto *draw = ProgramDriver::control<QAbstractButton>("Form1", QStringLiteral("Command1"));
        for (int i = 0; i < 100 && draw->text() != QStringLiteral("点完了"); ++i)
            click("Form1", "Command1");
        save("Form1", "form1-6-finished.png");
        saveMaximised("Form1", "form1-maximised.png");
        return m_failures == 0;
    }

private:
    void click(const char *form, const char *name) { click(form, QString::fromLatin1(name)); }
    void click(const char *form, const QString &name)
    {
        if (QWidget *w = ProgramDriver::control(form, name); w && w->isVisible())
            ProgramDriver::click(w);
    }
    // Maximises through the window state, saves, and restores. Without a
    // window manager (a bare Xvfb) nobody resizes a maximised window, so the
    // window is then given the screen's available area as a manager would.
    void saveMaximised(const char *form, const char *file)
    {
        QWidget *w = ProgramDriver::window(form);
        if (!w)
            return;
        const QSize normal = w->size();
        w->setWindowState(Qt::WindowMaximized);
        if (!QTest::qWaitFor([&] { return w->size() != normal; }, 1000))
            w->setGeometry(w->screen()->availableGeometry());
        QTest::qWait(50);
        save(form, file);
        w->setWindowState(Qt::WindowNoState);
        if (!QTest::qWaitFor([&] { return w->size() == normal; }, 1000))
            w->resize(normal);
    }
    void save(const char *form, const char *file)
    {
        if (m_which != QLatin1String("all") && m_which.compare(QLatin1String(form), Qt::CaseInsensitive) != 0)
            return;
        QWidget *w = ProgramDriver::window(form);
        const QString path = m_out.filePath(QString::fromUtf8(file));
        if (!w || !w->grab().save(path)) {
            ++m_failures;
            std::fprintf(stderr, "could not save %s\n", qPrintable(path));
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    ProgramDriver m_driver{20200101};
    QDir m_out;
    QString m_which;
    int m_failures = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    const auto application = qh::createApplication(argc, argv);
    const QStringList args = qh::commandLineArguments(argc, argv);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: render_windows OUT_DIR [form0|form1|form2|all]\n");
        return 2;
    }
    QDir().mkpath(args.at(1));
    Renderer renderer(args.at(1), args.size() > 2 ? args.at(2) : QStringLiteral("all"));
    return renderer.run() ? 0 : 1;
}
