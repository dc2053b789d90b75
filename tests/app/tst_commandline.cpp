// The real program started with command lines that Qt would once have taken
// as its own options: each gives the start window (with the roster or a box
// naming the path), never an abort or a runaway read.

#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#ifndef QH_PROGRAM // set by the build to the program's path
#  define QH_PROGRAM "qinghe"
#endif

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Resident memory of a running process, in MB (Linux; -1 elsewhere).
    static qint64 residentMB(qint64 pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!qh::test::writeFile(m_dir.filePath(QStringLiteral("x.txt")), "学生甲,男\n").isEmpty());
    }

    void startsAndStays_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("-style 名单.txt") << QStringList{QStringLiteral("-style"), QStringLiteral("名单.txt")};
        QTest::newRow("-platform bogus") << QStringList{QStringLiteral("-platform"), QStringLiteral("bogus")};
        QTest::newRow("-stylesheet /dev/zero") << QStringList{QStringLiteral("-stylesheet"), QStringLiteral("/dev/zero")};
        QTest::newRow("-- x.txt") << QStringList{QStringLiteral("--"), QStringLiteral("x.txt")};
        QTest::newRow("file URL") << QStringList{QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("x.txt"))).toString()};
    }
    void startsAndStays()
    {
        QFETCH(QStringList, arguments);
        QProcess program;
        program.setWorkingDirectory(m_dir.path());
        // Its screen does not matter here, and a screen file named by a Unix
        // path is not found from a working folder on C: under Wine.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(QH_PROGRAM), arguments);
        QVERIFY(program.waitForStarted());
        // Up by now, showing its start window or the box.
        QVERIFY2(!program.waitForFinished(2500),
                 qPrintable(QStringLiteral("ended with status %1").arg(program.exitCode())));
        const qint64 mb = residentMB(program.processId());
        program.kill();
        program.waitForFinished();
        QVERIFY2(mb < 200, qPrintable(QStringLiteral("%1 MB").arg(mb)));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
