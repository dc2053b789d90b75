#pragma once
// Drives the whole program as a teacher would, finding windows and controls
// only by their names (Form0, Command1(5), Option2, ...).

#include "app/program.h"
#include "recordingplatform.h"
#include "core/clock.h"
#include "core/random.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace qh::test {

struct ProgramDriver {
    explicit ProgramDriver(std::uint64_t seed = 1) : random(seed), program(platform, clock, random, QUrl()) {}

    RecordingPlatform platform;
    FixedClock clock{30000.0};
    RandomSource random;
    Program program;

    // The visible top-level window of that name, or null.
    static QWidget *window(const char *name)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == QLatin1String(name))
                return w;
        return nullptr;
    }
    static int visibleWindows()
    {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            n += w->isVisible() && w->objectName().startsWith(QLatin1String("Form"));
        return n;
    }
    template <class T = QWidget>
    static T *control(const char *form, const QString &name)
    {
        QWidget *w = window(form);
        return w ? w->findChild<T *>(name) : nullptr;
    }
    static void click(QWidget *w)
    {
        QVERIFY(w);
        // An option button takes clicks on its indicator and caption only.
        const QPoint at = qobject_cast<QRadioButton *>(w) ? QPoint(8, w->height() / 2)
                                                          : QPoint(w->width() - 4, w->height() / 2);
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        // Run what an event loop would run after the click: posted events, and
        // the deletion of a window that was closed.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Chooses a roster in the start window's file list and presses 开始使用.
    void startWith(const QString &fileName)
    {
        auto *files = control<QListWidget>("Form0", QStringLiteral("File1"));
        QVERIFY(files);
        const QList<QListWidgetItem *> items = files->findItems(fileName, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(items.first()).center());
        click(control("Form0", QStringLiteral("Command1")));
    }
};

} // namespace qh::test
