// LoadRoster: on failure the message box comes first, then the end of the
// process, once each, and the after-load step never runs; on success the
// after-load step runs once and nothing is shown.

#include "roster/roster.h"
#include "recordingplatform.h"
#include "rostertestsupport.h"

#include <QTest>

using qh::RosterLists;

class TestLoadRoster : public QObject {
    Q_OBJECT
private slots:
    void failureShowsBoxThenEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("missing");
        QTest::newRow("missing file") << QByteArray() << true;
        QTest::newRow("extra empty line") << QString::fromUtf8("甲,男\r\n\r\n").toUtf8() << false;
        QTest::newRow("sex field missing") << QString::fromUtf8("甲,男\r\n乙").toUtf8() << false;
    }

    void failureShowsBoxThenEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, missing);
        QTemporaryDir dir;
        const QString path = missing ? dir.filePath(QStringLiteral("gone.txt"))
                                     : qh::test::writeBytes(dir, QStringLiteral("roster.txt"), bytes);
        qh::test::RecordingPlatform platform;
        RosterLists lists;
        int afterLoads = 0;
        QVERIFY(!qh::LoadRoster(path, lists, 82, platform, [&](const RosterLists &) { ++afterLoads; }));
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].first, QString::fromUtf8("名单文件出错提示"));
        QCOMPARE(platform.messages[0].second, QString::fromUtf8("文件格式错误,或光标不在最后一行,或学生数超过82"));
        QCOMPARE(platform.endCount, 1);
        QCOMPARE(platform.messageOrder, 1);
        QCOMPARE(platform.endOrder, 2);
        QCOMPARE(afterLoads, 0);
    }

    void successRunsAfterLoadOnce_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("empty file") << QByteArray() << QStringList{QStringLiteral("-1"), QStringLiteral("-1"), QStringLiteral("-1")};
        QTest::newRow("two records") << QString::fromUtf8("甲,男\r\n乙,女\r\n丙,女\r\n").toUtf8() << QStringList{QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("1")};
    }

    void successRunsAfterLoadOnce()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, labels);
        QTemporaryDir dir;
        const QString path = qh::test::writeBytes(dir, QStringLiteral("roster.txt"), bytes);
        qh::test::RecordingPlatform platform;
        RosterLists lists(qh::kSingleDrawRoster.slotCount);
        QStringList written;
        int afterLoads = 0;
        // The single-draw window writes the three last indices into its labels.
        const auto afterLoad = [&](const RosterLists &loaded) {
            ++afterLoads;
            QCOMPARE(&loaded, &lists);
            written = {QString::number(loaded.allLast), QString::number(loaded.boyLast),
                       QString::number(loaded.girlLast)};
        };
        QVERIFY(qh::LoadRoster(path, lists, qh::kSingleDrawRoster.limit, platform, afterLoad));
        QCOMPARE(afterLoads, 1);
        QCOMPARE(written, labels);
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(platform.endCount, 0);

        // Without an after-load step the seat chart's call just loads.
        RosterLists seat(qh::kSeatChartRoster.slotCount);
        QVERIFY(qh::LoadRoster(path, seat, qh::kSeatChartRoster.limit, platform));
        QCOMPARE(seat.allLast, labels[0].toInt());
        QCOMPARE(platform.endCount, 0);
    }
};

QTEST_MAIN(TestLoadRoster)
#include "tst_loadroster.moc"
