// Encoding detection and decoding: byte-order marks, the streaming UTF-8
// check at every cut, GB18030 character boundaries, and each GB18030 route.

#include "roster/textdecoding.h"

#include <QTest>

#include <random>

using qh::TextDecoder;
using qh::TextEncoding;
using Route = qh::TextDecoder::Route;

Q_DECLARE_METATYPE(qh::TextEncoding)

class TestTextDecoding : public QObject {
    Q_OBJECT
private slots:
    void byteOrderMark_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("found");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<qsizetype>("length");
        QTest::newRow("utf8") << QByteArray("\xEF\xBB\xBF") << true << TextEncoding::Utf8 << qsizetype(3);
        QTest::newRow("utf16le") << QByteArray("\xFF\xFE" "a") << true << TextEncoding::Utf16LE << qsizetype(2);
        QTest::newRow("utf16be") << QByteArray("\xFE\xFF") << true << TextEncoding::Utf16BE << qsizetype(2);
        QTest::newRow("utf8 cut short") << QByteArray("\xEF\xBB") << false << TextEncoding::Utf8 << qsizetype(0);
        QTest::newRow("gbk 男") << QByteArray("\xC4\xD0") << false << TextEncoding::Utf8 << qsizetype(0);
        QTest::newRow("empty") << QByteArray() << false << TextEncoding::Utf8 << qsizetype(0);
    }

    void byteOrderMark()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, found);
        QFETCH(TextEncoding, encoding);
        QFETCH(qsizetype, length);
        const auto bom = qh::sniffByteOrderMark(head);
        QCOMPARE(bom.has_value(), found);
        if (bom) {
            QCOMPARE(bom->encoding, encoding);
            QCOMPARE(bom->length, length);
        }
    }

    void utf8Validator_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii") << QByteArray("abc,def\r\n") << true;
        QTest::newRow("chinese") << QString::fromUtf8("学生甲,男\r\n").toUtf8() << true;
        QTest::newRow("four bytes") << QByteArray("a\xF0\x9F\x98\x80z") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("gbk 男") << QByteArray("\xC4\xD0") << false;
        QTest::newRow("gbk 联通 looks like utf8") << QByteArray("\xC1\xAA\xCD\xA8") << false;
        QTest::newRow("overlong") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("above 10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("cut at the end") << QByteArray("ab\xE7\x94") << false;
        QTest::newRow("lead then ascii") << QByteArray("\xE7" "ab") << false;
        QTest::newRow("stray continuation") << QByteArray("a\x80") << false;
        QTest::newRow("0xFF") << QByteArray("\xFF") << false;
    }

    void utf8Validator()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        using Method = qh::Utf8Validator::Method;

        for (Method method : {Method::Fastest, Method::Portable}) {
            // ASCII around the sample moves it across the sixteen-byte blocks
            // without changing the verdict.
            for (int pad = 0; pad < 20; ++pad) {
                const QByteArray padded = QByteArray(pad, 'x') + bytes + QByteArray(pad % 3, 'y');
                // Whole, byte by byte, and cut in two at every place.
                qh::Utf8Validator whole(method);
                whole.feed(padded);
                QCOMPARE(whole.isValidAtEnd(), valid);

                qh::Utf8Validator single(method);
                for (char c : padded)
                    single.feed(QByteArrayView(&c, 1));
                QCOMPARE(single.isValidAtEnd(), valid);

                for (qsizetype cut = 0; cut <= padded.size(); ++cut) {
                    qh::Utf8Validator two(method);
                    two.feed(QByteArrayView(padded).first(cut));
                    two.feed(QByteArrayView(padded).sliced(cut));
                    QVERIFY2(two.isValidAtEnd() == valid, qPrintable(QString::number(cut)));
                }
            }
        }
    }

    // Both methods agree with Qt's own check on random byte soup rich in
    // lead and continuation bytes.
    void utf8ValidatorAgreesWithQt()
    {
        if (!qh::Utf8Validator::hasBlockMethod())
            qInfo("no block method here; checking the portable one only");
        const uchar pool[] = {'a', ',', 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xDF,
                              0xE0, 0xE7, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
        const QByteArray han = QString::fromUtf8("学男").toUtf8();
        std::mt19937 random(82);
        int validSeen = 0;
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes;
            const int length = int(random() % 48);
            for (int k = 0; k < length; ++k) {
                if (random() % 3 == 0)
                    bytes += han.mid(qsizetype(random() % 2) * 3, 3);
                else
                    bytes += char(pool[random() % sizeof pool]);
            }
            const bool expected = QByteArrayView(bytes).isValidUtf8();
            validSeen += expected;
            for (auto method : {qh::Utf8Validator::Method::Fastest, qh::Utf8Validator::Method::Portable}) {
                qh::Utf8Validator validator(method);
                const qsizetype cut = bytes.isEmpty() ? 0 : qsizetype(random() % bytes.size());
                validator.feed(QByteArrayView(bytes).first(cut));
                validator.feed(QByteArrayView(bytes).sliced(cut));
                QVERIFY2(validator.isValidAtEnd() == expected, bytes.toHex(' ').constData());
            }
        }
        QVERIFY(validSeen > 500); // the soup holds valid samples too
    }

    void gb18030CompletePrefix_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("complete");
        QTest::newRow("ascii") << QByteArray("ab,") << qsizetype(3);
        QTest::newRow("two-byte") << QByteArray("\xC4\xD0\xC5\xAE") << qsizetype(4);
        QTest::newRow("cut two-byte") << QByteArray("\xC4\xD0\xC5") << qsizetype(2);
        QTest::newRow("four-byte") << QByteArray("a\x81\x30\x81\x30") << qsizetype(5);
        QTest::newRow("cut four-byte after 3") << QByteArray("a\x81\x30\x81") << qsizetype(1);
        QTest::newRow("cut four-byte after 2") << QByteArray("a\x81\x30") << qsizetype(1);
        QTest::newRow("bad trail is one byte") << QByteArray("\x81\x2C" "a") << qsizetype(3);
        QTest::newRow("bad four-byte") << QByteArray("\x81\x30\x20\x81") << qsizetype(3);
        QTest::newRow("0x80 and 0xFF stand alone") << QByteArray("\x80\xFF") << qsizetype(2);
        QTest::newRow("empty") << QByteArray() << qsizetype(0);
    }

    void gb18030CompletePrefix()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, complete);
        QCOMPARE(qh::gb18030CompletePrefix(bytes), complete);
    }

    void qtRoute()
    {
        if (!TextDecoder::isRouteAvailable(Route::Qt))
            QSKIP("Qt has no GB18030 here");
        TextDecoder decoder(TextEncoding::Gb18030);
        QCOMPARE(decoder.route(), Route::Qt);
        QCOMPARE(decoder.decode("\xC4\xD0"), QString::fromUtf8("男"));
        QCOMPARE(decoder.decode("\x81\x30\x81\x30"), QString(QChar(0x80)));
        // A character cut off at the end is not swallowed silently.
        QCOMPARE(decoder.decode("\xC4\xD0\xC5"), QString::fromUtf8("男\uFFFD"));
        QCOMPARE(decoder.decode("\xC4\xD0"), QString::fromUtf8("男")); // and nothing carries over
    }

    void windowsRoute()
    {
#ifdef Q_OS_WIN
        QVERIFY(TextDecoder::isRouteAvailable(Route::WindowsCodePage));
        TextDecoder decoder(TextEncoding::Gb18030, Route::WindowsCodePage);
        QCOMPARE(decoder.route(), Route::WindowsCodePage);
        QCOMPARE(decoder.decode("\xD1\xA7\xC9\xFA,\xC4\xD0"), QString::fromUtf8("学生,男"));
        QCOMPARE(decoder.decode("\x81\x30\x81\x30"), QString(QChar(0x80)));
        QVERIFY(decoder.decode("\xC4\xD0\xC5").startsWith(QString::fromUtf8("男")));
#else
        QVERIFY(!TextDecoder::isRouteAvailable(Route::WindowsCodePage));
        TextDecoder decoder(TextEncoding::Gb18030, Route::WindowsCodePage);
        QCOMPARE(decoder.route(), Route::Latin1);
#endif
    }

    void latin1Route()
    {
        // Without any GB18030 decoder every byte stays one character, so the
        // separators stay where they are.
        TextDecoder decoder(TextEncoding::Gb18030, Route::Latin1);
        QCOMPARE(decoder.route(), Route::Latin1);
        QCOMPARE(decoder.decode("\xC4\xD0,a"), QString::fromLatin1("\xC4\xD0,a"));
    }

    void autoRoute()
    {
        const Route expected = TextDecoder::isRouteAvailable(Route::Qt) ? Route::Qt
            : TextDecoder::isRouteAvailable(Route::WindowsCodePage)     ? Route::WindowsCodePage
                                                                        : Route::Latin1;
        QCOMPARE(TextDecoder(TextEncoding::Gb18030).route(), expected);
    }

    void unicodeDecoding()
    {
        TextDecoder utf8(TextEncoding::Utf8);
        QCOMPARE(utf8.decode(QString::fromUtf8("学生").toUtf8()), QString::fromUtf8("学生"));
        QCOMPARE(utf8.decode("a\xE7\x94"), QString::fromUtf8("a\uFFFD\uFFFD"));
        // The reader skips the byte-order mark; a second one is kept as text.
        QCOMPARE(utf8.decode("\xEF\xBB\xBF" "a"), QString(QChar(0xFEFF)) + u'a');
        TextDecoder le(TextEncoding::Utf16LE);
        QCOMPARE(le.decode(QByteArrayLiteral("7u")), QString(QChar(0x7537)));
        TextDecoder be(TextEncoding::Utf16BE);
        QCOMPARE(be.decode(QByteArrayLiteral("u7")), QString(QChar(0x7537)));
    }
};

QTEST_GUILESS_MAIN(TestTextDecoding)
#include "tst_textdecoding.moc"
