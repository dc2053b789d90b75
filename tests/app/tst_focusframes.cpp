// Keys do what the teacher sees: each window shows the focus frame of its
// focused control from the moment it opens (Qt otherwise draws none until the
// first Tab), and a roster given on the command line leaves 开始使用 focused,
// so Enter starts.

#include "programdriver.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>

using namespace qh;
using test::ProgramDriver;

namespace {

// The window's focused control, drawn with and without the focus: the
// difference must be a frame, at least a dotted ring's worth of pixels.
void verifyFocusFrame(const char *form, const char *expected)
{
    QWidget *window = ProgramDriver::window(form);
    QVERIFY2(window, form);
    // As the window manager does with a window that opens.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *focused = window->focusWidget();
    QVERIFY2(focused, form);
    if (expected)
        QCOMPARE(focused->objectName(), QString::fromLatin1(expected));
    const QImage withFocus = focused->grab().toImage();
    focused->clearFocus();
    const QImage without = focused->grab().toImage();
    focused->setFocus(Qt::OtherFocusReason);
    QCOMPARE(withFocus.size(), without.size());
    int changed = 0;
    for (int y = 0; y < withFocus.height(); ++y)
        for (int x = 0; x < withFocus.width(); ++x)
            changed += withFocus.pixel(x, y) != without.pixel(x, y);
    const int ring = withFocus.width() + withFocus.height();
    const QString png = QDir::temp().filePath(QStringLiteral("tst_focusframes-%1.png").arg(QLatin1String(form)));
    withFocus.save(png);
    QVERIFY2(changed >= ring, qPrintable(QStringLiteral("%1 %2: %3 pixels differ with the focus, want %4; see %5")
                                              .arg(QLatin1String(form), focused->objectName())
                                              .arg(changed).arg(ring).arg(png)));
}

} // namespace

class TestFocusFrames : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(!test::writeFile(m_dir.filePath(QStringLiteral("名单.txt")),
                                 test::rosterBytes({QStringLiteral("张明轩,男"), QStringLiteral("李思雨,女"),
                                                    QStringLiteral("王浩然,男")}))
                     .isEmpty());
        QDir::setCurrent(m_dir.path());
    }

    void framesFromTheStartAndEnterStarts()
    {
        ProgramDriver d;
        QVERIFY(d.start({QStringLiteral("qinghe"), QStringLiteral("名单.txt")}));
        verifyFocusFrame("Form0", "Command1");

        QTest::keyClick(ProgramDriver::window("Form0")->focusWidget(), Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ProgramDriver::window("Form2"));
        QVERIFY(!ProgramDriver::window("Form0"));
        verifyFocusFrame("Form2", nullptr); // the first card of the keyboard order

        ProgramDriver::click(ProgramDriver::control("Form2", QStringLiteral("Command2")));
        verifyFocusFrame("Form1", "Command2");
        // A click moves the focus, and the frame with it: Enter now draws again.
        ProgramDriver::click(ProgramDriver::control("Form1", QStringLiteral("Command1")));
        verifyFocusFrame("Form1", "Command1");
    }
};

QH_TEST_MAIN(TestFocusFrames)
#include "tst_focusframes.moc"
