// How a roster file splits into fields: the same for every chunk size and for
// UTF-8, GB18030 and UTF-16 files; long fields are capped; the GB18030 check
// sees every byte, however the file is cut.

#include "core/fieldscanner.h"
#include "rostertestsupport.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTest>

#include <random>

using qh::TextEncoding;

namespace {

const QString kFail = QStringLiteral("<fail>");

qh::Fields scan(const QByteArray &bytes, TextEncoding encoding, qsizetype chunk, qint64 keep)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return qh::readFields(buffer, {encoding, keep, chunk});
}

// Every field up to the end; kFail marks the end where a field ought to begin.
QStringList readAll(const QByteArray &bytes, TextEncoding encoding, qsizetype chunk)
{
    const qh::Fields fields = scan(bytes, encoding, chunk, std::numeric_limits<qint64>::max());
    return fields.ok ? fields.kept : fields.kept + QStringList{kFail};
}

// The count alone, keeping no text: -1 where reading fails.
qint64 countAll(const QByteArray &bytes, TextEncoding encoding, qsizetype chunk)
{
    const qh::Fields fields = scan(bytes, encoding, chunk, 0);
    return fields.ok ? fields.count : -1;
}

qint64 expectedCount(const QStringList &fields)
{
    return !fields.isEmpty() && fields.last() == kFail ? -1 : fields.size();
}

struct Form {
    const char *name;
    const char *qtName;
    TextEncoding encoding;
};
const Form kForms[] = {
    {"utf8", "UTF-8", TextEncoding::Utf8},
    {"gb18030", "GB18030", TextEncoding::Gb18030},
    {"utf16le", "UTF-16LE", TextEncoding::Utf16LE},
    {"utf16be", "UTF-16BE", TextEncoding::Utf16BE},
};
const qsizetype kChunks[] = {1, 2, 3, 5, 16, qh::kChunkBytes};

} // namespace

class TestFieldReader : public QObject {
    Q_OBJECT
private slots:
    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        const auto u = [](const char *s) { return QString::fromUtf8(s); };

        QTest::newRow("record per line") << u("学生甲,男\r\n学生乙,女\r\n") << QStringList{u("学生甲"), u("男"), u("学生乙"), u("女")};
        QTest::newRow("no line end at the end") << u("学生甲,男") << QStringList{u("学生甲"), u("男")};
        QTest::newRow("lone LF") << u("甲,男\n乙,女\n") << QStringList{u("甲"), u("男"), u("乙"), u("女")};
        QTest::newRow("lone CR") << u("甲,男\r乙,女\r") << QStringList{u("甲"), u("男"), u("乙"), u("女")};
        QTest::newRow("LF CR is two line ends") << u("甲\n\r乙") << QStringList{u("甲"), u(""), u("乙")};
        QTest::newRow("empty line") << u("甲\r\n\r\n乙") << QStringList{u("甲"), u(""), u("乙")};
        QTest::newRow("commas") << u(",,甲,\r\n") << QStringList{u(""), u(""), u("甲"), u("")};
        QTest::newRow("spaces and tabs in front") << u("甲,  \t男") << QStringList{u("甲"), u("男")};
        QTest::newRow("spaces behind") << u("甲  ,男  \r\n") << QStringList{u("甲"), u("男")};
        QTest::newRow("tab separates") << u("甲\t男\r\n乙 \t 女\r\n") << QStringList{u("甲"), u("男"), u("乙"), u("女")};
        QTest::newRow("tab then comma: an empty field") << u("甲\t,男") << QStringList{u("甲"), u(""), u("男")};
        QTest::newRow("tab after a closing quote") << u("\"甲\"x\t男") << QStringList{u("甲"), u("男")};
        QTest::newRow("tab inside quotes kept") << u("\"甲\t乙\",男") << QStringList{u("甲\t乙"), u("男")};
        QTest::newRow("spaces inside kept") << u(" 张 三 ,男") << QStringList{u("张 三"), u("男")};
        QTest::newRow("full-width space kept") << u("甲,男\u3000") << QStringList{u("甲"), u("男\u3000")};
        QTest::newRow("quoted comma") << u("\"学生,甲\",男") << QStringList{u("学生,甲"), u("男")};
        QTest::newRow("quoted spaces kept") << u("\" 男 \",女") << QStringList{u(" 男 "), u("女")};
        QTest::newRow("quoted line end") << u("\"甲\r\n乙\",女") << QStringList{u("甲\r\n乙"), u("女")};
        QTest::newRow("text after closing quote dropped") << u("\"学生\"甲 ,男") << QStringList{u("学生"), u("男")};
        QTest::newRow("quote at the very end") << u("甲,\"男\"") << QStringList{u("甲"), u("男")};
        QTest::newRow("empty quotes") << u("\"\",男") << QStringList{u(""), u("男")};
        QTest::newRow("blanks before quote") << u(" \t\"甲\",男") << QStringList{u("甲"), u("男")};
        QTest::newRow("unclosed quote runs to the end") << u("甲,\"男\r\n乙,女\r\n") << QStringList{u("甲"), u("男\r\n乙,女\r\n")};
        QTest::newRow("quote inside a field") << u("甲\"乙,男") << QStringList{u("甲\"乙"), u("男")};
        QTest::newRow("a last line of blanks") << u("甲,男\r\n \t") << QStringList{u("甲"), u("男"), u("")};
        QTest::newRow("blanks after a comma then end fails") << u("甲,男,  ") << QStringList{u("甲"), u("男"), kFail};
        QTest::newRow("blanks then line end") << u("甲,  \r\n") << QStringList{u("甲"), u("")};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("full-width comma") << u("张明轩，男\r\n") << QStringList{u("张明轩"), u("男")};
        QTest::newRow("full-width commas and blanks") << u("甲 ，，\t男，") << QStringList{u("甲"), u(""), u("男")};
        QTest::newRow("full-width comma quoted") << u("\"张，三\"x，男") << QStringList{u("张，三"), u("男")};
        QTest::newRow("full-width comma then blanks fails") << u("甲，  ") << QStringList{u("甲"), kFail};
    }

    void fields()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        for (const Form &form : kForms) {
            bool ok = false;
            const QByteArray bytes = qh::test::encodeAs(text, form.qtName, &ok);
            if (!ok)
                continue; // this Qt has no GB18030 encoder
            for (qsizetype chunk : kChunks) {
                const QStringList got = readAll(bytes, form.encoding, chunk);
                QVERIFY2(got == fields, qPrintable(QStringLiteral("%1, chunk %2: got [%3]")
                                                       .arg(QLatin1String(form.name)).arg(chunk)
                                                       .arg(got.join(u'|'))));
                QCOMPARE(countAll(bytes, form.encoding, chunk), expectedCount(fields));
            }
        }
    }

    // Where lines end, and which fields are a line of blanks alone (the
    // roster drops those after its last record): "/" after a field that ends
    // its line, "_" for a blank line.
    void lines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marked");
        const auto u = [](const char *s) { return QString::fromUtf8(s); };
        QTest::newRow("records") << u("甲,男\r\n乙\t女") << u("甲 男/ 乙 女/");
        QTest::newRow("blank lines") << u("甲\r\n\r\n \t\n") << u("甲/ _/ _/");
        QTest::newRow("empty field after a comma is no blank line") << u("甲,\r\n,\n") << u("甲 /  /");
        QTest::newRow("quoted empty is no blank line") << u("\"\"\n") << u("/");
        QTest::newRow("quoted line end") << u("\"a\nb\",c\n") << u("a\nb c/");
        QTest::newRow("comma at the end") << u("甲,男,") << u("甲 男");
    }
    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QString, marked);
        struct Marker final : qh::FieldSink {
            QStringList fields;
            bool wantsText() const override { return true; }
            void field(const qh::ScannedField &f) override
            {
                fields << (f.blankLine ? QStringLiteral("_") : f.text) + (f.endsLine ? QStringLiteral("/") : QString());
            }
        };
        for (const Form &form : kForms) {
            bool ok = false;
            const QByteArray bytes = qh::test::encodeAs(text, form.qtName, &ok);
            if (!ok)
                continue;
            for (qsizetype chunk : {qsizetype(1), qh::kChunkBytes}) {
                Marker marker;
                qh::FieldScanner scanner(form.encoding, marker);
                for (qsizetype at = 0; at < bytes.size(); at += chunk)
                    scanner.feed(QByteArrayView(bytes).sliced(at, qMin(chunk, bytes.size() - at)));
                QVERIFY(scanner.finish());
                QCOMPARE(marker.fields.join(u' '), marked);
            }
        }
    }

    // Counting alone, keeping no text, and every chunk size agree with
    // reading the whole text at once, on any mix of separators, blanks and quotes.
    void countingAgreesWithReading()
    {
        const QString alphabet = QString::fromUtf8("a学,,\r\n  \t\"");
        std::mt19937 random(20200101);
        for (int round = 0; round < 3000; ++round) {
            QString text;
            const int length = int(random() % 90);
            for (int k = 0; k < length; ++k)
                text += alphabet.at(qsizetype(random() % alphabet.size()));
            for (const Form &form : kForms) {
                bool ok = false;
                const QByteArray bytes = qh::test::encodeAs(text, form.qtName, &ok);
                if (!ok)
                    continue;
                const QStringList whole = readAll(bytes, form.encoding, qh::kChunkBytes);
                for (qsizetype chunk : {qsizetype(1), qsizetype(7), qsizetype(17), qh::kChunkBytes}) {
                    const QString context = QStringLiteral("%1 chunk %2: %3").arg(QLatin1String(form.name)).arg(chunk)
                                                .arg(QString::fromLatin1(text.toUtf8().toPercentEncoding()));
                    QVERIFY2(countAll(bytes, form.encoding, chunk) == expectedCount(whole), qPrintable(context));
                    QVERIFY2(readAll(bytes, form.encoding, chunk) == whole, qPrintable(context));
                }
            }
        }
    }

    void longFieldsAreCapped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("kept");
        const qsizetype max = qh::kMaxFieldLength;
        const QString x(max + 5000, u'x');
        QTest::newRow("long") << x << x.left(max);
        QTest::newRow("long quoted") << (u'"' + x + u'"') << x.left(max);
        const QString han(max + 10, QChar(0x5B66));
        QTest::newRow("long Chinese") << han << han.left(max);
        QTest::newRow("exactly the cap") << x.left(max) << x.left(max);
        QTest::newRow("blanks behind are not the field")
            << (x.left(max - 6) + QString(5000, u' ')) << x.left(max - 6);
        QTest::newRow("blanks inside stay")
            << (u'x' + QString(max + 10, u' ') + u'y') << (u'x' + QString(max - 1, u' '));
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("pair not split") << (x.left(max - 1) + smile + smile) << x.left(max - 1);
    }

    void longFieldsAreCapped()
    {
        QFETCH(QString, field);
        QFETCH(QString, kept);
        for (const Form &form : kForms) {
            bool ok = false;
            const QByteArray bytes = qh::test::encodeAs(field + QStringLiteral(",next"), form.qtName, &ok);
            if (!ok)
                continue;
            const QStringList got = readAll(bytes, form.encoding, 1000);
            QCOMPARE(got.size(), 2);
            QVERIFY2(got.at(0) == kept, form.name);
            QCOMPARE(got.at(1), QStringLiteral("next"));
        }
    }

    void unclosedQuoteIsCappedToo()
    {
        const QString x(qh::kMaxFieldLength + 5000, u'x');
        const QByteArray bytes = (u'"' + x + QStringLiteral(",next\r\n")).toUtf8();
        QCOMPARE(readAll(bytes, TextEncoding::Utf8, 1000), QStringList{x.left(qh::kMaxFieldLength)});
    }

    // GB18030 fields, including a character cut off by its separator, which
    // must not vanish silently, and the four-byte form.
    void gb18030Bytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        const auto u = [](const char *s) { return QString::fromUtf8(s); };
        QTest::newRow("gbk") << QByteArray("\xD1\xA7\xC9\xFA\xBC\xD7,\xC4\xD0\r\n\xD1\xA7\xC9\xFA\xD2\xD2,\xC5\xAE\r\n")
                             << QStringList{u("学生甲"), u("男"), u("学生乙"), u("女")};
        QTest::newRow("cut two-byte") << QByteArray("\xC4\xD0\xC5,\xC4\xD0") << QStringList{u("男\uFFFD"), u("男")};
        QTest::newRow("four-byte") << QByteArray("a\x81\x30\x81\x30,b") << QStringList{u("a\u0080"), u("b")};
        QTest::newRow("lead byte before a comma") << QByteArray("\x81,a") << QStringList{u("\uFFFD"), u("a")};
        // A3 AC is the full-width comma only where a character begins.
        QTest::newRow("full-width comma") << QByteArray("\xC4\xD0\xA3\xAC\xC5\xAE") << QStringList{u("男"), u("女")};
        QTest::newRow("A3 AC across two characters") << QByteArray("\xB0\xA3\xAC\x50,a")
                                                      << QStringList{u("埃琍"), u("a")};
        QTest::newRow("full-width comma after a bad byte") << QByteArray("\xFF\xA3\xAC" "a")
                                                           << QStringList{u("\uFFFD"), u("a")};
        QTest::newRow("full-width comma after a cut four-byte") << QByteArray("\x81\x30\xA3\xAC" "a")
                                                                << QStringList{u("\uFFFD0"), u("a")};
    }

    void gb18030Bytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        if (!qh::test::canDecodeGb18030())
            QSKIP("no GB18030 decoder on this system");
        for (qsizetype chunk : kChunks)
            QCOMPARE(readAll(bytes, TextEncoding::Gb18030, chunk), fields);
    }

    void oddLengthUtf16EndsInReplacement()
    {
        const QByteArray bytes = QByteArrayLiteral("a\0,\0b\0c");
        for (qsizetype chunk : kChunks)
            QCOMPARE(readAll(bytes, TextEncoding::Utf16LE, chunk),
                     (QStringList{QStringLiteral("a"), QStringLiteral("b\uFFFD")}));
    }

    void readErrorIsReported()
    {
        qh::test::ScriptedDevice device("a,b\r\n");
        device.failReads();
        QVERIFY(!qh::readFields(device, {}).ok);
    }

    // The GB18030 verdict, which settles bytes that are valid UTF-8 as well,
    // is Qt's on the whole: unmapped four-byte codes and cut characters too.
    void gb18030CheckAgreesWithQt()
    {
        if (!QStringDecoder("GB18030").isValid())
            QSKIP("no GB18030 decoder in this Qt");
        const uchar pool[] = {'a', ',', '0', '9', 0x2F, 0x3A, 0x40, 0x7E, 0x7F, 0x80, 0x81, 0x84, 0x8F,
                              0x90, 0xA3, 0xAC, 0xA4, 0xA5, 0xE3, 0xE4, 0xFE, 0xFF, 0x32, 0x31, 0x9A, 0x35, 0x36};
        std::mt19937 random(936);
        int validSeen = 0;
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes;
            const int length = int(random() % 24);
            for (int k = 0; k < length; ++k)
                bytes += char(pool[random() % sizeof pool]);
            QStringDecoder qt("GB18030", QStringConverter::Flag::Stateless);
            // The line feed makes a cut character an error; the decoding runs when made a string.
            const QString text = qt.decode(bytes + '\n');
            Q_UNUSED(text)
            validSeen += !qt.hasError();
            const qsizetype chunk = 1 + qsizetype(random() % 9);
            QVERIFY2(scan(bytes, TextEncoding::Gb18030, chunk, 0).validGb18030 == !qt.hasError(),
                     bytes.toHex(' ').constData());
        }
        QVERIFY(validSeen > 500);
    }
};

QTEST_GUILESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
