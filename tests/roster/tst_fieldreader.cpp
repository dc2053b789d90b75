// The field reader: how a roster file splits into fields, the same for every
// chunk size and for UTF-8, GB18030 and UTF-16 files; long fields are capped.

#include "roster/fieldreader.h"
#include "rostertestsupport.h"

#include <QBuffer>
#include <QTest>

#include <random>

using qh::FieldReader;
using qh::TextEncoding;

namespace {

const QString kFail = QStringLiteral("<fail>");

// Every field up to the end, the way the loader asks for them; kFail marks a
// read that failed.
QStringList readAll(const QByteArray &bytes, TextEncoding encoding, qsizetype chunk)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    FieldReader reader(buffer, encoding, chunk);
    QStringList fields;
    while (!reader.atEnd()) {
        QString value;
        if (!reader.readField(&value)) {
            fields << kFail;
            break;
        }
        fields << value;
    }
    return fields;
}

// What the fast count says about the same bytes: the number of fields, or
// kFail's position (-1) when the text ends where a field ought to begin.
qint64 countAll(const QByteArray &bytes, TextEncoding encoding, qsizetype chunk)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    FieldReader reader(buffer, encoding, chunk);
    const qint64 n = reader.countFieldsToEnd();
    return reader.atEnd() ? n : -2;
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
const qsizetype kChunks[] = {1, 2, 3, 5, 16, FieldReader::kChunkBytes};

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
        QTest::newRow("spaces and tabs behind") << u("甲 \t,男  \r\n") << QStringList{u("甲"), u("男")};
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
        QTest::newRow("blanks then end fails") << u("甲,男\r\n  ") << QStringList{u("甲"), u("男"), kFail};
        QTest::newRow("blanks then line end") << u("甲,  \r\n") << QStringList{u("甲"), u("")};
        QTest::newRow("empty") << QString() << QStringList{};
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

    // The first pass counts fields with a faster scan; it must agree with
    // reading them one by one on any mix of separators, blanks and quotes.
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
                const qint64 expected = expectedCount(readAll(bytes, form.encoding, FieldReader::kChunkBytes));
                for (qsizetype chunk : {qsizetype(1), qsizetype(7), qsizetype(17), FieldReader::kChunkBytes}) {
                    QVERIFY2(countAll(bytes, form.encoding, chunk) == expected,
                             qPrintable(QStringLiteral("%1 chunk %2: %3").arg(QLatin1String(form.name)).arg(chunk)
                                            .arg(QString::fromLatin1(text.toUtf8().toPercentEncoding()))));
                }
            }
        }
    }

    void longFieldsAreCapped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("kept");
        const qsizetype max = FieldReader::kMaxFieldLength;
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
        const QString x(FieldReader::kMaxFieldLength + 5000, u'x');
        const QByteArray bytes = (u'"' + x + QStringLiteral(",next\r\n")).toUtf8();
        QCOMPARE(readAll(bytes, TextEncoding::Utf8, 1000), QStringList{x.left(FieldReader::kMaxFieldLength)});
    }

    void gbkBytes()
    {
        // 学生甲,男 CR LF 学生乙,女 in GBK.
        const QByteArray gbk("\xD1\xA7\xC9\xFA\xBC\xD7,\xC4\xD0\r\n\xD1\xA7\xC9\xFA\xD2\xD2,\xC5\xAE\r\n");
        if (qh::TextDecoder(TextEncoding::Gb18030).route() == qh::TextDecoder::Route::Latin1)
            QSKIP("no GB18030 decoder on this system");
        QCOMPARE(readAll(gbk, TextEncoding::Gb18030, 3),
                 (QStringList{QString::fromUtf8("学生甲"), QString::fromUtf8("男"),
                              QString::fromUtf8("学生乙"), QString::fromUtf8("女")}));
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
        FieldReader reader(device, TextEncoding::Utf8);
        QVERIFY(reader.atEnd());
        QVERIFY(reader.hasError());
        QString value;
        QVERIFY(!reader.readField(&value));
    }

    void skippingSeesEveryByte()
    {
        // The first pass skips fields but still shows every byte to the observer.
        const QByteArray bytes = QByteArray("\"x,y\"z,w\r\n").repeated(50);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        FieldReader reader(buffer, TextEncoding::Utf8, 7);
        QByteArray seen;
        reader.byteObserver = [&seen](QByteArrayView b) { seen.append(b.data(), b.size()); };
        int fields = 0;
        while (!reader.atEnd()) {
            QVERIFY(reader.readField(nullptr));
            ++fields;
        }
        QCOMPARE(fields, 100);
        QCOMPARE(seen, bytes);
    }
};

QTEST_GUILESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
