// readRoster: the two passes over real files in every encoding, the record
// limit and its two branches, slots kept from an earlier load, files that
// change between the passes, and inputs that must not exhaust memory.

#include "core/regularfile.h"
#include "core/roster.h"
#include "fifo.h"
#include "rostertestsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>
#include <optional>
#include <random>
#include <semaphore>
#include <thread>
#include <type_traits>

using qh::Roster;
using qh::RosterLists;
using qh::RosterStatus;

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

// n records 学生1..学生n, odd ones boys.
QString numbered(int n)
{
    QString text;
    for (int i = 1; i <= n; ++i)
        text += QStringLiteral("学生%1,%2\r\n").arg(i).arg(i % 2 ? u("男") : u("女"));
    return text;
}

QStringList numberedNames(int n, int parity)
{
    QStringList names;
    for (int i = 1; i <= n; ++i) {
        if (parity < 0 || i % 2 == parity)
            names << QStringLiteral("学生%1").arg(i);
    }
    return names;
}

// The lists hold exactly these names below their last indices, nothing above.
void verifyFresh(const RosterLists &lists, const QStringList &all, const QStringList &boys,
                 const QStringList &girls)
{
    QCOMPARE(lists.allLast, int(all.size()) - 1);
    QCOMPARE(lists.boyLast, int(boys.size()) - 1);
    QCOMPARE(lists.girlLast, int(girls.size()) - 1);
    QCOMPARE(lists.allLast, lists.boyLast + lists.girlLast + 1);
    const auto check = [](const std::vector<QString> &entries, const QStringList &names) {
        for (size_t k = 0; k < entries.size(); ++k)
            QCOMPARE(entries[k], k < size_t(names.size()) ? names[qsizetype(k)] : QString());
    };
    check(lists.allNames, all);
    check(lists.boyNames, boys);
    check(lists.girlNames, girls);
}

template <typename Source, typename... Rest> bool loaded(Source &&source, Rest &&...rest)
{
    return qh::readRoster(source, std::forward<Rest>(rest)...) == qh::RosterStatus::Loaded;
}

bool sameLists(const RosterLists &a, const RosterLists &b)
{
    return a.allNames == b.allNames && a.boyNames == b.boyNames && a.girlNames == b.girlNames
        && a.allLast == b.allLast && a.boyLast == b.boyLast && a.girlLast == b.girlLast
        && a.recordCount == b.recordCount;
}

} // namespace

class TestRoster : public QObject {
    Q_OBJECT
private slots:
    // Each case is written as UTF-8, as GB18030 and as UTF-16 with a
    // byte-order mark; all three must load alike.
    void records_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QStringList>("all");
        QTest::addColumn<QStringList>("boys");
        QTest::addColumn<QStringList>("girls");
        const QStringList none;

        struct Case {
            const char *name;
            QString text;
            bool ok;
            qint64 count;
            QStringList all, boys, girls;
        };
        const QList<Case> cases = {
            {"empty file", QString(), true, 0, none, none, none},
            {"one line end after the last record", u("学生甲,男\r\n学生乙,女\r\n"), true, 2,
             {u("学生甲"), u("学生乙")}, {u("学生甲")}, {u("学生乙")}},
            {"no line end after the last record", u("学生甲,男\r\n学生乙,女"), true, 2,
             {u("学生甲"), u("学生乙")}, {u("学生甲")}, {u("学生乙")}},
            {"blank line after the last record", u("学生甲,男\r\n\r\n"), true, 1, {u("学生甲")}, {u("学生甲")}, none},
            {"blank lines with blanks after the last record", u("甲,男\r\n乙,女\r\n \r\n\t\r\n\r\n"), true, 2,
             {u("甲"), u("乙")}, {u("甲")}, {u("乙")}},
            {"blank line between records fails", u("甲,男\r\n\r\n乙,女\r\n"), false, 0, none, none, none},
            {"two blank lines between records", u("甲,男\n\n\n乙,女"), true, 3, {u("甲"), u(""), u("乙")}, {u("甲")},
             {u(""), u("乙")}},
            {"tab-separated", u("甲\t男\r\n乙\t女\r\n"), true, 2, {u("甲"), u("乙")}, {u("甲")}, {u("乙")}},
            {"tab heading", u("姓名\t性别\r\n甲\t男\r\n"), true, 1, {u("甲")}, {u("甲")}, none},
            {"school-system columns", u("学号\t姓名\t性别\t班级\r\n1\t甲\t男\t三班\r\n2\t乙\t女\t三班\r\n"), true, 2,
             {u("甲"), u("乙")}, {u("甲")}, {u("乙")}},
            {"name column alone", u("姓名\n甲\n乙\n"), true, 2, {u("甲"), u("乙")}, none, {u("甲"), u("乙")}},
            {"sex column first", u("性别,姓名\r\n男,甲\r\n女,乙"), true, 2, {u("甲"), u("乙")}, {u("甲")}, {u("乙")}},
            {"column headings with blanks", u("学号, 姓 名 ,\"性\u3000别\"\r\n1,甲,男\r\n"), true, 1, {u("甲")}, {u("甲")},
             none},
            {"no sex column: girls", u("学号,姓名,班级\r\n1,甲,男\r\n"), true, 1, {u("甲")}, none, {u("甲")}},
            {"line without its sex column", u("学号,姓名,性别\r\n1,甲\r\n2,乙,男"), true, 2, {u("甲"), u("乙")}, {u("乙")},
             {u("甲")}},
            {"line without the name column fails", u("学号,姓名,性别\r\n1,甲,男\r\n2\r\n"), false, 0, none, none, none},
            {"columns, blank lines at the end", u("姓名,性别,班级\r\n甲,男,一\r\n\r\n \r\n"), true, 1, {u("甲")},
             {u("甲")}, none},
            {"columns, blank line between fails", u("姓名,性别,班级\r\n甲,男,一\r\n\r\n乙,女,一\r\n"), false, 0, none,
             none, none},
            {"columns, last line ends in a comma", u("姓名,性别,班级\n甲,男,"), true, 1, {u("甲")}, {u("甲")}, none},
            {"heading alone in columns", u("学号,姓名,性别\r\n"), true, 0, none, none, none},
            {"comma after the last record", u("学生甲,男,"), true, 1, {u("学生甲")}, {u("学生甲")}, none},
            {"comma after the last name fails", u("学生甲,男\r\n学生乙,"), false, 0, none, none, none},
            {"missing comma shifts and fails", u("学生甲\r\n学生乙,女\r\n"), false, 0, none, none, none},
            {"three fields shift the rest", u("学生甲,男,三班\r\n学生乙,女\r\n学生丙\r\n"), true, 3,
             {u("学生甲"), u("三班"), u("女")}, {u("学生甲")}, {u("三班"), u("女")}},
            {"sex fields", u("甲,女\r\n乙,男生\r\n丙,M\r\n丁,\r\n戊, 男\r\n己,男  \r\n庚,\t男 \r\n"
                             "辛,\" 男\"\r\n壬,男\u3000\r\n癸,\"男\"\r\n"), true, 10,
             {u("甲"), u("乙"), u("丙"), u("丁"), u("戊"), u("己"), u("庚"), u("辛"), u("壬"), u("癸")},
             {u("戊"), u("己"), u("庚"), u("癸")}, {u("甲"), u("乙"), u("丙"), u("丁"), u("辛"), u("壬")}},
            {"boys only", u("甲,男\r\n乙,男\r\n"), true, 2, {u("甲"), u("乙")}, {u("甲"), u("乙")}, none},
            {"girls only", u("甲,女\r\n"), true, 1, {u("甲")}, none, {u("甲")}},
            {"quoted name with comma", u("\"学生,甲\",男\r\n"), true, 1, {u("学生,甲")}, {u("学生,甲")}, none},
            {"text after closing quote", u("\"学生\"甲,男\r\n"), true, 1, {u("学生")}, {u("学生")}, none},
            {"unclosed quote swallows the rest", u("甲,女\r\n\"乙,男\r\n"), false, 0, none, none, none},
            {"lone CR", u("甲,男\r乙,女\r"), true, 2, {u("甲"), u("乙")}, {u("甲")}, {u("乙")}},
            {"lone LF", u("甲,男\n乙,女\n"), true, 2, {u("甲"), u("乙")}, {u("甲")}, {u("乙")}},
            {"mixed line ends", u("甲,男\r\n乙,女\n丙,男\r"), true, 3,
             {u("甲"), u("乙"), u("丙")}, {u("甲"), u("丙")}, {u("乙")}},
            {"line of blanks at the very end", u("甲,男\r\n  "), true, 1, {u("甲")}, {u("甲")}, none},
            {"81 records", numbered(81), true, 81, numberedNames(81, -1), numberedNames(81, 1), numberedNames(81, 0)},
            {"82 records", numbered(82), true, 82, numberedNames(82, -1), numberedNames(82, 1), numberedNames(82, 0)},
            {"100 records", numbered(100), true, 100, numberedNames(82, -1), numberedNames(82, 1), numberedNames(82, 0)},
            {"100 records, last malformed", numbered(99) + u("学生100"), false, 0, none, none, none},
            // Only the file's first bytes can be a byte-order mark; inside, these are text.
            {"U+FEFF and U+FFFE start fields", u("甲,男\r\n\uFEFF张三,男\r\n\uFFFE李四,男\r\n王五,\uFEFF男\r\n赵六,\uFFFE男\r\n"),
             true, 5, {u("甲"), QChar(0xFEFF) + u("张三"), QChar(0xFFFE) + u("李四"), u("王五"), u("赵六")},
             {u("甲"), QChar(0xFEFF) + u("张三"), QChar(0xFFFE) + u("李四")}, {u("王五"), u("赵六")}},
            {"full-width commas", u("张明轩，男\r\n李思雨，女\r\n"), true, 2, {u("张明轩"), u("李思雨")}, {u("张明轩")},
             {u("李思雨")}},
            {"heading row", u("姓名,性别\r\n甲,男\r\n"), true, 1, {u("甲")}, {u("甲")}, none},
            {"heading with spaces", u(" 姓 名 ，\"性\u3000别\"\r\n甲,男\r\n"), true, 1, {u("甲")}, {u("甲")}, none},
            {"heading alone", u("姓名\u3000,性别\r\n"), true, 0, none, none, none},
            {"heading not first is a student", u("甲,男\r\n姓名,性别\r\n"), true, 2, {u("甲"), u("姓名")}, {u("甲")},
             {u("姓名")}},
            {"heading and 100 records", u("姓名,性别\r\n") + numbered(100), true, 100, numberedNames(82, -1),
             numberedNames(82, 1), numberedNames(82, 0)},
        };

        struct Form {
            const char *name;
            const char *qtName;
            QByteArray bom;
        };
        const Form forms[] = {{"utf8", "UTF-8", {}}, {"gb18030", "GB18030", {}},
                              {"utf16le", "UTF-16LE", QByteArray("\xFF\xFE")},
                              {"utf16be", "UTF-16BE", QByteArray("\xFE\xFF")}};
        for (const Case &c : cases) {
            for (const Form &form : forms) {
                bool encoded = false;
                const QByteArray bytes = form.bom + qh::test::encodeAs(c.text, form.qtName, &encoded);
                if (!encoded)
                    continue;
                QTest::addRow("%s/%s", c.name, form.name) << bytes << c.ok << c.count << c.all << c.boys << c.girls;
            }
        }
    }

    void records()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(qint64, count);
        QFETCH(QStringList, all);
        QFETCH(QStringList, boys);
        QFETCH(QStringList, girls);
        if (QByteArray(QTest::currentDataTag()).endsWith("gb18030") && !qh::test::canDecodeGb18030())
            QSKIP("no GB18030 decoder on this system");

        QTemporaryDir dir;
        const QString path = qh::test::writeFile(dir.filePath(QStringLiteral("roster.txt")), bytes);
        QVERIFY(!path.isEmpty());
        RosterLists lists(qh::kSeatChartRoster.slotCount);
        QCOMPARE(loaded(path, qh::kSeatChartRoster.limit, lists), ok);
        if (!ok) {
            QVERIFY(sameLists(lists, RosterLists(qh::kSeatChartRoster.slotCount)));
            return;
        }
        QCOMPARE(lists.recordCount, count);
        verifyFresh(lists, all, boys, girls);
    }

    // Below the limit the second pass reads to the end of the file; above
    // it, it reads exactly `limit` records and leaves the rest unread.
    void limitBranches_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("readToEnd");
        QTest::newRow("0") << 0 << true;
        QTest::newRow("1") << 1 << true;
        QTest::newRow("81") << 81 << true;
        QTest::newRow("83") << 83 << false;
        QTest::newRow("100") << 100 << false;
        QTest::newRow("5000") << 5000 << false;
    }

    void limitBranches()
    {
        QFETCH(int, records);
        QFETCH(bool, readToEnd);
        QBuffer buffer;
        buffer.setData(numbered(records).toUtf8());
        buffer.open(QIODevice::ReadOnly);
        RosterLists lists(qh::kSeatChartRoster.slotCount);
        QVERIFY(loaded(buffer, 82, lists, 16));
        QCOMPARE(lists.recordCount, qint64(records));
        verifyFresh(lists, numberedNames(qMin(records, 82), -1), numberedNames(qMin(records, 82), 1),
                    numberedNames(qMin(records, 82), 0));
        QCOMPARE(buffer.pos() == buffer.size(), readToEnd);
        if (!readToEnd) // the 83rd record onwards, less one chunk read ahead
            QVERIFY(buffer.size() - buffer.pos() >= numbered(records).toUtf8().size() - numbered(82).toUtf8().size() - 16);
    }

    // At the limit the second pass reads the first 82 records and nothing
    // else, so records added behind them meanwhile go unnoticed; below it,
    // a record more than counted means the file changed.
    void branchSeenThroughAGrowingFile_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("ok");
        QTest::newRow("81 grows") << 81 << false;
        QTest::newRow("82 grows") << 82 << true;
    }

    void branchSeenThroughAGrowingFile()
    {
        QFETCH(int, records);
        QFETCH(bool, ok);
        qh::test::ScriptedDevice device(numbered(records).toUtf8());
        device.replaceAtEnd((numbered(records) + u("新生,男\r\n")).toUtf8());
        RosterLists lists;
        QCOMPARE(loaded(device, 82, lists), ok);
        QCOMPARE(lists.allLast, ok ? 81 : -1);
    }

    void changedBetweenPasses_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("ok");
        const QByteArray two = u("甲,男\r\n乙,女\r\n").toUtf8();
        QTest::newRow("unchanged") << two << two << true;
        QTest::newRow("same records, new names") << two << u("丙,女\r\n丁,男\r\n").toUtf8() << true;
        QTest::newRow("record added") << two << two + u("丙,女\r\n").toUtf8() << false;
        QTest::newRow("record removed") << two << u("甲,男\r\n").toUtf8() << false;
        QTest::newRow("emptied") << two << QByteArray() << false;
        QTest::newRow("broken") << two << u("甲,男\r\n乙").toUtf8() << false;
        QTest::newRow("byte-order mark added") << two << QByteArray("\xEF\xBB\xBF") + two << false;
        QTest::newRow("deleted while 82 are read") << numbered(90).toUtf8() << numbered(40).toUtf8() << false;
    }

    void changedBetweenPasses()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, ok);
        qh::test::ScriptedDevice device(first);
        device.replaceAtEnd(second);
        RosterLists lists;
        lists.allNames[0] = QStringLiteral("before");
        const RosterLists before = lists;
        QCOMPARE(loaded(device, 82, lists), ok);
        if (!ok)
            QVERIFY(sameLists(lists, before)); // no half-filled lists
        else
            QCOMPARE(lists.allLast, lists.boyLast + lists.girlLast + 1);
    }

    void slotsAboveAreNotCleared()
    {
        QTemporaryDir dir;
        const QString big = qh::test::writeFile(dir.filePath(QStringLiteral("big.txt")), u("甲,男\r\n乙,女\r\n丙,男\r\n丁,女\r\n戊,男\r\n").toUtf8());
        const QString small = qh::test::writeFile(dir.filePath(QStringLiteral("small.txt")), u("子,女\r\n丑,男\r\n").toUtf8());
        RosterLists lists;
        QVERIFY(loaded(big, 82, lists));
        QVERIFY(loaded(small, 82, lists));
        QCOMPARE(lists.recordCount, 2);
        QCOMPARE(lists.allLast, 1);
        QCOMPARE(lists.boyLast, 0);
        QCOMPARE(lists.girlLast, 0);
        const QStringList all{u("子"), u("丑"), u("丙"), u("丁"), u("戊")};
        for (int k = 0; k < all.size(); ++k)
            QCOMPARE(lists.allNames[size_t(k)], all[k]);
        QCOMPARE(lists.boyNames[0], u("丑"));
        QCOMPARE(lists.boyNames[1], u("丙"));
        QCOMPARE(lists.boyNames[2], u("戊"));
        QCOMPARE(lists.girlNames[0], u("子"));
        QCOMPARE(lists.girlNames[1], u("丁"));
        QCOMPARE(lists.allNames[5], QString());
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("all");
        QTest::addColumn<QStringList>("boys");
        QTest::addColumn<bool>("needsGb18030");
        const QStringList none;
        const QByteArray sample = u("学生甲,男\r\n学生乙,女\r\n").toUtf8();
        const QStringList two{u("学生甲"), u("学生乙")};
        QTest::newRow("utf8") << sample << two << QStringList{u("学生甲")} << false;
        QTest::newRow("utf8 with BOM") << QByteArray("\xEF\xBB\xBF") + sample << two << QStringList{u("学生甲")} << false;
        QTest::newRow("utf8 BOM only") << QByteArray("\xEF\xBB\xBF") << none << none << false;
        // Two bytes of a UTF-8 mark are no mark: GBK 锘.
        QTest::newRow("utf8 BOM cut short") << QByteArray("\xEF\xBB,\xC4\xD0\r\n") << QStringList{u("锘")}
                                            << QStringList{u("锘")} << true;
        QTest::newRow("utf16le BOM only") << QByteArray("\xFF\xFE") << none << none << false;
        QTest::newRow("utf16be BOM only") << QByteArray("\xFE\xFF") << none << none << false;
        QTest::newRow("utf16le") << QByteArray("\xFF\xFE") + qh::test::encodeAs(QString::fromUtf8(sample), "UTF-16LE")
                                 << two << QStringList{u("学生甲")} << false;
        QTest::newRow("utf16be") << QByteArray("\xFE\xFF") + qh::test::encodeAs(QString::fromUtf8(sample), "UTF-16BE")
                                 << two << QStringList{u("学生甲")} << false;
        QTest::newRow("gbk bytes")
            << QByteArray("\xD1\xA7\xC9\xFA\xBC\xD7,\xC4\xD0\r\n\xD1\xA7\xC9\xFA\xD2\xD2,\xC5\xAE\r\n")
            << two << QStringList{u("学生甲")} << true;
        // GBK for 联通 happens to look like UTF-8 at a glance; a strict check tells.
        QTest::newRow("gbk 联通") << QByteArray("\xC1\xAA\xCD\xA8,\xC4\xD0\r\n")
                                  << QStringList{u("联通")} << QStringList{u("联通")} << true;
        // Valid UTF-8 and valid GBK: the reading with more sexes written 男 or
        // 女, then more Chinese characters in the names.
        QTest::newRow("gbk girls that are valid utf8")
            << qh::test::encodeAs(u("谢雪,女\r\n魏英,女\r\n钱萍,女\r\n"), "GB18030")
            << QStringList{u("谢雪"), u("魏英"), u("钱萍")} << none << true;
        QTest::newRow("utf8 that is valid gbk, more han as utf8") << u("学马,M\r\n").toUtf8()
                                                                 << QStringList{u("学马")} << none << false;
        QTest::newRow("utf8 with full-width commas that is valid gbk")
            << u("王芳，女\r\n张伟，男\r\n").toUtf8() << QStringList{u("王芳"), u("张伟")} << QStringList{u("张伟")}
            << false;
        QTest::newRow("utf8 that is valid gbk, a tie") << u("学生,M\r\n").toUtf8() << QStringList{u("学生")} << none
                                                       << false;
        // Names GBK lacks, in GB18030's four-byte form (Ext-A 㐀, 𠀀 beyond the
        // BMP) and on a two-byte code GBK leaves private (䶮).
        QTest::newRow("gb18030-only names")
            << QByteArray("\x81\x39\xEE\x39,\xC4\xD0\r\n\x95\x32\x82\x36\xD2\xBB,\xC5\xAE\r\n\xFE\x9F,\xC5\xAE\r\n")
            << QStringList{u("㐀"), u("𠀀一"), u("䶮")} << QStringList{u("㐀")} << true;
        QTest::newRow("gbk trail byte 80") << QByteArray("\x81\x80,\xC4\xD0\r\n\x87\x80,\xC5\xAE\r\n")
                                           << QStringList{u("亐"), u("噣")} << QStringList{u("亐")} << true;
        // Notepad's UTF-8 without a mark that is valid GBK as well, which the
        // tie on ideographs once read as GBK.
        const QStringList fourNames{u("张伟"), u("王芳"), u("李娜"), u("刘洋")};
        QTest::newRow("notepad utf8, sexes blank") << u("张伟,\n王芳,\n李娜,\n刘洋,\n").toUtf8() << fourNames << none
                                                    << false;
        QTest::newRow("notepad utf8, sexes blank, heading")
            << u("姓名,性别\n张伟,\n王芳,\n李娜,\n刘洋,\n").toUtf8() << fourNames << none << false;
        const QStringList tenNames{u("赵伟芳"), u("钱思远"), u("孙浩然"), u("李雨桐"), u("周子涵"),
                                   u("吴俊杰"), u("郑欣怡"), u("王博文"), u("冯佳宁"), u("陈一诺")};
        QString tenLines;
        for (qsizetype k = 0; k < tenNames.size(); ++k)
            tenLines += tenNames[k] + (k % 2 ? u("，男生\n") : u("，女生\n"));
        QTest::newRow("notepad utf8, full-width commas, 男生/女生") << tenLines.toUtf8() << tenNames << none << false;
        // Read as GBK this breaks the rules, as UTF-8 it does not.
        QTest::newRow("notepad utf8 that breaks the rules as gbk")
            << u("王小明，男生\n李小红，女生\n张伟强，男生\n").toUtf8()
            << QStringList{u("王小明"), u("李小红"), u("张伟强")} << none << false;
        QTest::newRow("notepad utf8, M/F") << u("张伟，M\n王芳，F\n").toUtf8() << QStringList{u("张伟"), u("王芳")}
                                           << none << false;
        QTest::newRow("utf8 BOM with bad bytes") << QByteArray("\xEF\xBB\xBF" "a\xC4\xD0,\xE7\x94\xB7\r\n")
                                                 << QStringList{u("a\uFFFD\uFFFD")} << QStringList{u("a\uFFFD\uFFFD")} << false;
    }

    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, all);
        QFETCH(QStringList, boys);
        QFETCH(bool, needsGb18030);
        if (needsGb18030 && !qh::test::canDecodeGb18030())
            QSKIP("no GB18030 decoder on this system");
        QTemporaryDir dir;
        const QString path = qh::test::writeFile(dir.filePath(QStringLiteral("roster.txt")), bytes);
        RosterLists lists;
        QVERIFY(loaded(path, 82, lists));
        QStringList girls;
        for (const QString &name : all) {
            if (!boys.contains(name))
                girls << name;
        }
        verifyFresh(lists, all, boys, girls);
    }

    // One bad byte at the very end makes the whole file GB18030, even far
    // beyond the first chunk.
    void utf8IsDecidedOnTheWholeFile()
    {
        if (!qh::test::canDecodeGb18030())
            QSKIP("no GB18030 decoder on this system");
        QByteArray bytes = numbered(20000).toUtf8();
        QTemporaryDir dir;
        const QString good = qh::test::writeFile(dir.filePath(QStringLiteral("good.txt")), bytes);
        const QString bad = qh::test::writeFile(dir.filePath(QStringLiteral("bad.txt")), bytes + "\xC4\xD0,\xC4\xD0\r\n");
        RosterLists lists;
        QVERIFY(loaded(good, 82, lists));
        QCOMPARE(lists.allNames[0], u("学生1"));
        QVERIFY(loaded(bad, 82, lists));
        QCOMPARE(lists.recordCount, 20001);
        QCOMPARE(lists.allNames[0], u("瀛︾敓1")); // the UTF-8 bytes of 学生1 read as GB18030
        QCOMPARE(lists.boyLast, -1); // 男 in UTF-8 bytes read as GB18030 is no longer 男
    }

    void unreadableFiles()
    {
        QTemporaryDir dir;
        RosterLists lists;
        lists.allNames[3] = QStringLiteral("kept");
        const RosterLists before = lists;
        QVERIFY(!loaded(dir.filePath(QStringLiteral("missing.txt")), 82, lists));
        QVERIFY(!loaded(QString(), 82, lists));
        QVERIFY(!loaded(dir.path(), 82, lists));
        QVERIFY(sameLists(lists, before));

        qh::test::ScriptedDevice failing("甲,男\r\n");
        failing.failReads();
        QVERIFY(!loaded(failing, 82, lists));
        QVERIFY(sameLists(lists, before));
    }

    // Never an open that waits: a named pipe without a writer, a device, a folder.
    void notARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << QStringLiteral("fifo");
        QTest::newRow("device") << QStringLiteral("/dev/null");
        QTest::newRow("folder") << QStringLiteral("dir");
    }

    void notARegularFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("名单.txt"));
        std::optional<qh::test::Fifo> fifo;
        if (kind == QLatin1String("fifo")) {
            fifo.emplace(path);
            if (!fifo->ok())
                QSKIP("no named pipes here");
        } else if (kind == QLatin1String("dir")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("名单.txt")));
        } else {
            path = kind;
            if (!QFileInfo::exists(path))
                QSKIP("no such device here");
        }
        RosterLists lists;
        lists.allNames[0] = QStringLiteral("kept");
        const RosterLists before = lists;
        QVERIFY(!loaded(path, 82, lists));
        QVERIFY(sameLists(lists, before));
        if (fifo)
            QVERIFY2(!fifo->hadToUnblock(), "the reader waited for a writer");
    }

    // Kernel files that pass as regular files but never end, or wait for the
    // next kernel message: the load gives up at once instead of reading for
    // ever. (A thread, so that a reader that does wait fails the test.)
    void endlessFileIsNotWaitedOn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("page map (reads for 20 minutes)") << QStringLiteral("/proc/self/pagemap");
        QTest::newRow("size 0 but text") << QStringLiteral("/proc/self/status");
        QTest::newRow("kernel messages (waits)") << QStringLiteral("/proc/kmsg");
    }
    void endlessFileIsNotWaitedOn()
    {
        QFETCH(QString, path);
        if (!QFileInfo(path).isReadable())
            QSKIP("not here, or not readable by this user");
#ifdef Q_OS_WIN
        // Windows has no such file; under Wine the host's is read through
        // Windows calls, which have no way not to wait on it.
        if (path == QLatin1String("/proc/kmsg"))
            QSKIP("no kernel log on Windows; under Wine the host's is read through calls that wait");
#endif
        struct Load {
            std::binary_semaphore done{0};
            bool ok = true;
        };
        const auto load = std::make_shared<Load>();
        std::thread reader([load, path] {
            RosterLists lists;
            load->ok = loaded(path, 82, lists);
            load->done.release();
        });
        // Joined once done, so the next row's thread never starts while this
        // one is ending (MinGW's thread library then may never run it).
        const bool done = load->done.try_acquire_for(std::chrono::seconds(5));
        if (done)
            reader.join();
        else
            reader.detach();
        QVERIFY2(done, "the load is still reading");
        QVERIFY(!load->ok);
    }

    // What the file held when it was opened, however much is added meanwhile.
    void readsTheSizeItHadWhenOpened()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("名单.txt"));
        QFile writer(path);
        QVERIFY(writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        writer.write("甲,男\n");
        qh::SizedFile file;
        QVERIFY(file.openFile(path));
        writer.write("乙,女\n");
        QCOMPARE(file.readAll(), QByteArray("甲,男\n"));
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), QByteArray("甲,男\n"));
    }

    void fileIsOnlyRead()
    {
        QTemporaryDir dir;
        const QByteArray bytes = u("甲,男\r\n").toUtf8();
        const QString path = qh::test::writeFile(dir.filePath(QStringLiteral("roster.txt")), bytes);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QDateTime modified = QFileInfo(path).lastModified();
        RosterLists lists;
        QVERIFY(loaded(path, 82, lists));
        QCOMPARE(lists.allNames[0], u("甲"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("roster.txt")});
    }

    void slotCounts_data()
    {
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("allLast");
        QTest::newRow("seat chart") << qh::kSeatChartRoster.slotCount << qh::kSeatChartRoster.limit << 81;
        QTest::newRow("single draw") << qh::kSingleDrawRoster.slotCount << qh::kSingleDrawRoster.limit << 81;
        QTest::newRow("limit beyond the slots") << 10 << 82 << 9;
        QTest::newRow("negative limit") << 83 << -5 << -1;
    }

    void slotCounts()
    {
        QFETCH(int, slotCount);
        QFETCH(int, limit);
        QFETCH(int, allLast);
        RosterLists lists(slotCount);
        QCOMPARE(lists.allNames.size(), size_t(slotCount));
        QCOMPARE(lists.boyNames.size(), size_t(slotCount));
        QCOMPARE(lists.girlNames.size(), size_t(slotCount));
        QBuffer buffer;
        buffer.setData(numbered(100).toUtf8());
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(loaded(buffer, limit, lists));
        QCOMPARE(lists.allNames.size(), size_t(slotCount));
        QCOMPARE(lists.recordCount, 100);
        QCOMPARE(lists.allLast, allLast);
        QCOMPARE(lists.allLast, lists.boyLast + lists.girlLast + 1);
        if (allLast >= 0)
            QCOMPARE(lists.allNames[size_t(allLast)], QStringLiteral("学生%1").arg(allLast + 1));
    }

    // Why a load failed: the file could not be opened or read, or it breaks the rules.
    void statuses()
    {
        QTemporaryDir dir;
        Roster roster;
        QCOMPARE(qh::readStudents(dir.filePath(QStringLiteral("missing.txt")), 82, roster), RosterStatus::CannotOpen);
        QCOMPARE(qh::readStudents(dir.path(), 82, roster), RosterStatus::CannotOpen);
        QCOMPARE(qh::readStudents(dir.filePath(QStringLiteral("名单.txt/")), 82, roster), RosterStatus::CannotOpen);
        qh::test::ScriptedDevice failing("甲,男\r\n");
        failing.failReads();
        QCOMPARE(qh::readStudents(failing, 82, roster), RosterStatus::CannotOpen);
        const QString broken = qh::test::writeFile(dir.filePath(QStringLiteral("broken.txt")), u("甲,男\r\n乙").toUtf8());
        QCOMPARE(qh::readStudents(broken, 82, roster), RosterStatus::Malformed);
        qh::test::ScriptedDevice changing(u("甲,男\r\n").toUtf8());
        changing.replaceAtEnd(u("甲,男\r\n乙,女\r\n").toUtf8());
        QCOMPARE(qh::readStudents(changing, 82, roster), RosterStatus::Malformed);
        QVERIFY(roster.students.empty());
        const QString good = qh::test::writeFile(dir.filePath(QStringLiteral("good.txt")), u("甲,男\r\n乙,女").toUtf8());
        QCOMPARE(qh::readStudents(good, 1, roster), RosterStatus::Loaded);
        QCOMPARE(roster.students, (std::vector<qh::Student>{{u("甲"), true}}));
        QCOMPARE(roster.recordCount, 2);
    }

    // Excel's two text exports of a 45-student sheet with a heading row:
    // "文本文件(制表符分隔)" in GBK and "Unicode 文本" (UTF-16 LE with its mark),
    // both tab-separated with CR LF.
    void spreadsheetExports_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("needsGb18030");
        QString text = u("姓名\t性别\r\n");
        for (int k = 0; k < 45; ++k)
            text += QStringLiteral("董俊熙%1\t%2\r\n").arg(k).arg(k % 3 ? u("女") : u("男"));
        QTest::newRow("gbk") << qh::test::encodeAs(text, "GB18030") << true;
        QTest::newRow("unicode") << QByteArray("\xFF\xFE") + qh::test::encodeAs(text, "UTF-16LE") << false;
    }
    void spreadsheetExports()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, needsGb18030);
        if (needsGb18030 && !qh::test::canDecodeGb18030())
            QSKIP("no GB18030 decoder on this system");
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        Roster roster;
        QCOMPARE(qh::readStudents(buffer, 82, roster), RosterStatus::Loaded);
        QCOMPARE(roster.recordCount, 45);
        QCOMPARE(roster.students.size(), size_t(45));
        for (int k = 0; k < 45; ++k)
            QCOMPARE(roster.students[size_t(k)], (qh::Student{QStringLiteral("董俊熙%1").arg(k), k % 3 == 0}));
    }

    // Generated rosters as teachers save them, in UTF-8 without a mark and in
    // GBK: every one is read in the encoding it was saved in. QH_ROSTERS sets
    // how many of each (10000; fewer where a sanitizer slows the build).
    void generatedRostersReadInTheirEncoding()
    {
        if (!qh::test::canDecodeGb18030())
            QSKIP("no GB18030 decoder on this system");
        const int perEncoding = qEnvironmentVariableIsSet("QH_ROSTERS") ? qEnvironmentVariableIntValue("QH_ROSTERS") : 10000;
        const QString singles = u("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕"
                                  "丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤");
        const QStringList compounds{u("欧阳"), u("司马"), u("上官"), u("诸葛"), u("东方"), u("皇甫"), u("慕容"), u("司徒")};
        const QString given = u("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰萍红鹏辉建国文斌宇浩凯健俊帆帅旭宁龙林欣佳嘉怡"
                                "思雨晨阳婷雪琳颖倩洁子涵梓萱轩然博一诺若汐睿哲可馨墨雅天佑泽楷曦琪璟昊鑫瑶瑾瑜琦璐晗煜熙彤钰妍"
                                "悦诗韵语桐沐宸奕铭逸凡锦程皓航烨炜晟志新海波亮成荣飞德坤豪鸿");
        const QStringList sexStyles[] = {{u("男"), u("女")}, {u("男生"), u("女生")}, {QString(), QString()},
                                         {u("M"), u("F")}, {u("1"), u("0")}};
        const QString separators[] = {u(","), u("，"), u("\t")};
        std::mt19937 random(20260101);
        const auto pick = [&](qsizetype n) { return qsizetype(random() % quint32(n)); };
        int misread = 0;
        int failed = 0;
        for (const char *encoding : {"UTF-8", "GB18030"}) {
            for (int r = 0; r < perEncoding; ++r) {
                const QStringList &sexes = sexStyles[pick(5)];
                const QString &separator = separators[pick(3)];
                const QString eol = pick(2) ? u("\r\n") : u("\n");
                QString text = pick(2) ? u("姓名") + separator + u("性别") + eol : QString();
                std::vector<qh::Student> expected;
                for (qsizetype n = 1 + pick(82); n > 0; --n) {
                    QString name = pick(10) == 0 ? compounds[pick(compounds.size())] : QString(singles[pick(singles.size())]);
                    for (qsizetype g = 1 + pick(2); g > 0; --g)
                        name += given[pick(given.size())];
                    const bool boy = pick(2);
                    text += name + separator + sexes[boy ? 0 : 1] + eol;
                    expected.push_back({name, boy && sexes[0] == u("男")});
                }
                QByteArray bytes = qh::test::encodeAs(text, encoding);
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                Roster roster;
                if (qh::readStudents(buffer, 82, roster) != RosterStatus::Loaded)
                    ++failed;
                else if (roster.students != expected)
                    ++misread;
            }
        }
        qInfo("%d rosters in each encoding: %d read in the wrong encoding, %d refused", perEncoding, misread, failed);
        QCOMPARE(failed, 0);
        QCOMPARE(misread, 0);
    }

    void hugeFieldIsCapped()
    {
        // A 64 MiB name: kept to its first 4096 characters, the record still loads.
        qh::test::PatternDevice device("\xEF\xBB\xBF", 'x', qint64(64) << 20, u(",男\r\n乙,女").toUtf8());
        RosterLists lists;
        QVERIFY(loaded(device, 82, lists));
        QCOMPARE(lists.recordCount, 2);
        QCOMPARE(lists.allNames[0], QString(4096, u'x'));
        QCOMPARE(lists.boyNames[0], QString(4096, u'x'));
        QCOMPARE(lists.girlNames[0], u("乙"));
    }

    void chunkSizeDoesNotMatter_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = u("\"学,生\"x,男\r\n 乙 ,\t男 \r丙,\"女\"\n丁,\r\n\"长\r\n名\",男");
        QTest::newRow("utf8") << text.toUtf8();
        QTest::newRow("utf16le") << QByteArray("\xFF\xFE") + qh::test::encodeAs(text, "UTF-16LE");
        QTest::newRow("gb18030") << qh::test::encodeAs(text, "GB18030");
        QTest::newRow("many") << numbered(300).toUtf8();
    }

    void chunkSizeDoesNotMatter()
    {
        QFETCH(QByteArray, bytes);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        RosterLists reference;
        QVERIFY(loaded(buffer, 82, reference));
        QVERIFY(reference.allLast >= 4);
        for (qsizetype chunk : {1, 2, 3, 4, 7, 64}) {
            RosterLists lists;
            QVERIFY(loaded(buffer, 82, lists, chunk));
            QVERIFY2(sameLists(lists, reference), qPrintable(QString::number(chunk)));
        }
    }

    void recordCountIsWide()
    {
        static_assert(std::is_same_v<decltype(RosterLists::recordCount), qint64>);
        // Records are counted without a limit of their own: 200000 short records.
        QBuffer buffer;
        buffer.setData(QByteArray(",\n").repeated(200000));
        buffer.open(QIODevice::ReadOnly);
        RosterLists lists;
        QVERIFY(loaded(buffer, 82, lists));
        QCOMPARE(lists.recordCount, 200000);
        QCOMPARE(lists.girlLast, 81);
    }
};

QTEST_GUILESS_MAIN(TestRoster)
#include "tst_roster.moc"
