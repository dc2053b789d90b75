// Renders the single-draw window in each of its states to PNG files, for a
// look at the layout by eye: render_form1 <out-folder> <roster-file>.

#include "singledraw/form1.h"
#include "ui/clock.h"
#include "ui/platform.h"
#include "ui/random.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>

#include <cstdio>

namespace {

class QuietPlatform final : public qh::Platform {
public:
    void openUrl(const QUrl &) override {}
    void showMessage(const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    void endProcess() override { ended = true; }
    bool ended = false;
};

class NoSwitcher final : public qh::WindowSwitcher {
public:
    void switchTo(qh::FormId) override {}
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_form1 <out-folder> <roster-file>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString roster = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(out.path()))
        return 2;

    QuietPlatform platform;
    NoSwitcher switcher;
    qh::FixedClock clock(36000.0);
    qh::RandomSource random(2020);
    qh::Form1 form({platform, clock, random, switcher, [&] { return roster; }});
    if (!form.open())
        return 1;

    auto button = [&](const char *name) {
        return form.window()->findChild<QAbstractButton *>(QString::fromUtf8(name));
    };
    auto press = [&](int times) {
        for (int i = 0; i < times; ++i)
            button("Command1")->click();
    };
    int saved = 0;
    auto save = [&](const char *file) {
        QApplication::processEvents();
        const QString path = out.filePath(QString::fromUtf8(file));
        if (form.window()->grab().save(path))
            ++saved;
        std::printf("%s  [%s]  %s\n", qPrintable(path),
                    qPrintable(button("Command1")->text()),
                    qPrintable(form.window()->findChild<QLabel *>(QStringLiteral("Label1"))->text()));
    };

    save("1-loaded.png");
    press(3);
    save("2-no-repeat-3-presses.png");
    button("Option1")->click();
    save("3-repeating-selected.png");
    press(2);
    save("4-repeating-drawn.png");
    button("Option3")->click();
    press(1);
    save("5-boys.png");
    button("Option4")->click();
    press(1);
    save("6-girls.png");
    button("Option2")->click();
    while (button("Command1")->text() != QStringLiteral("点完了") && form.state().lists.allLast >= 0)
        press(1);
    save("7-finished.png");
    form.close();
    return saved == 7 ? 0 : 1;
}
