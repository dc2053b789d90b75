// Window switching: one window open at a time, state objects survive, widgets
// are rebuilt, a mode window opens maximised or full screen as it was left,
// and a close through the frame ends the program.

#include "testmain.h"
#include "app/app.h"
#include "recordingplatform.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace qh;

namespace {

class FakeForm final : public Form {
public:
    explicit FakeForm(const QString &name) : Form(name) {}
    int loads = 0;        // a member of the state object
    bool loadSucceeds = true;
    bool canMaximise = false;
    QPointer<QLabel> label;

protected:
    void build(FormWindow &w) override { label = new QLabel(QStringLiteral("x"), &w); }
    bool load() override
    {
        ++loads;
        return loadSucceeds;
    }
    void teardown() override { label = nullptr; }
    bool maximisable() const override { return canMaximise; }
};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void switchingKeepsStateAndRebuildsWidgets()
    {
        test::RecordingPlatform platform;
        App app(platform);
        FakeForm f0(QStringLiteral("Form0")), f1(QStringLiteral("Form1")), f2(QStringLiteral("Form2"));
        app.add(FormId::Start, f0);
        app.add(FormId::SingleDraw, f1);
        app.add(FormId::SeatChart, f2);
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);

        app.start(FormId::Start);
        QCOMPARE(app.current(), &f0);
        QVERIFY(f0.window()->isVisible());

        app.switchTo(FormId::SeatChart);
        QVERIFY(!f0.isOpen());
        QVERIFY(f2.isOpen() && f2.window()->isVisible());
        QPointer<QLabel> firstLabel = f2.label;
        QPointer<FormWindow> firstWindow = f2.window();

        app.switchTo(FormId::SingleDraw);
        app.switchTo(FormId::SeatChart);
        flushDeletes();
        QVERIFY(firstLabel.isNull());   // the old widgets are gone
        QVERIFY(firstWindow.isNull());
        QVERIFY(!f2.label.isNull());    // and new ones were built
        QCOMPARE(f2.loads, 2);          // the state object kept its member
        QCOMPARE(f1.loads, 1);
        QCOMPARE(app.current(), &f2);

        int visible = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            visible += w->isVisible();
        QCOMPARE(visible, 1);
        QCOMPARE(lastClosed.count(), 0);
        QCOMPARE(platform.endCount, 0);
    }

    // The teacher's projector view lasts the run: each mode window opens as
    // it was last left, maximised, full screen or neither.
    void maximisedOrFullScreenAcrossSwitches()
    {
        test::RecordingPlatform platform;
        App app(platform);
        FakeForm f1(QStringLiteral("Form1")), f2(QStringLiteral("Form2"));
        f1.canMaximise = f2.canMaximise = true;
        app.add(FormId::SingleDraw, f1);
        app.add(FormId::SeatChart, f2);

        app.start(FormId::SeatChart);
        f2.window()->setWindowState(Qt::WindowMaximized);
        app.switchTo(FormId::SingleDraw);
        QCOMPARE(f1.window()->windowState(), Qt::WindowNoState);
        f1.window()->setWindowState(Qt::WindowFullScreen);
        for (int round = 0; round < 2; ++round) {
            app.switchTo(FormId::SeatChart);
            QCOMPARE(f2.window()->windowState(), Qt::WindowMaximized);
            app.switchTo(FormId::SingleDraw);
            QCOMPARE(f1.window()->windowState(), Qt::WindowFullScreen);
        }
        f1.window()->setWindowState(Qt::WindowNoState);
        app.switchTo(FormId::SeatChart);
        app.switchTo(FormId::SingleDraw);
        QCOMPARE(f1.window()->windowState(), Qt::WindowNoState);
        QCOMPARE(f2.loads, 4);
    }

    void closeThroughFrameEndsProgram()
    {
        test::RecordingPlatform platform;
        App app(platform);
        FakeForm f0(QStringLiteral("Form0")), f2(QStringLiteral("Form2"));
        app.add(FormId::Start, f0);
        app.add(FormId::SeatChart, f2);
        app.start(FormId::Start);
        app.switchTo(FormId::SeatChart);
        f2.window()->close();
        QCOMPARE(platform.endCount, 1);
        QVERIFY(!f2.isOpen());
        QCOMPARE(app.current(), nullptr);
    }

    void failedLoadShowsNothing()
    {
        test::RecordingPlatform platform;
        App app(platform);
        FakeForm f0(QStringLiteral("Form0")), f2(QStringLiteral("Form2"));
        f2.loadSucceeds = false;
        app.add(FormId::Start, f0);
        app.add(FormId::SeatChart, f2);
        app.start(FormId::Start);
        app.switchTo(FormId::SeatChart);
        QVERIFY(!f2.isOpen());
        QVERIFY(!f0.isOpen());
        QCOMPARE(app.current(), nullptr);
        QCOMPARE(f2.loads, 1);
    }
};

QH_TEST_MAIN(TestApp)
#include "tst_app.moc"
