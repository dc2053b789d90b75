// The encoding part of the roster reader: the UTF-8 check over a file read
// in pieces, the byte-order marks, the name score and the choice between
// UTF-8 and GB18030 for bytes that are valid both ways.

#include "core/textencoding.h"

#include <QTest>

#include <random>
#include <tuple>

using qh::Reading;
using qh::TextEncoding;

namespace {

const qsizetype kChunks[] = {1, 2, 3, 5, 16, 64 * 1024};

// Whether the bytes are valid UTF-8, fed in pieces of `chunk`.
bool checked(const QByteArray &bytes, qsizetype chunk)
{
    qh::Utf8Check check;
    for (qsizetype at = 0; at < bytes.size(); at += chunk)
        check.feed(QByteArrayView(bytes).sliced(at, qMin(chunk, bytes.size() - at)));
    return check.validAtEnd();
}

QString u(const char *s) { return QString::fromUtf8(s); }

} // namespace

Q_DECLARE_METATYPE(TextEncoding)
Q_DECLARE_METATYPE(Reading)

class TestTextEncoding : public QObject {
    Q_OBJECT
private slots:
    // The verdict on UTF-8, which decides between UTF-8 and GB18030, sees
    // every byte, however the chunks cut it.
    void utf8Check_data()
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

    void utf8Check()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        for (const QByteArray &wrapped : {bytes, "\"" + bytes + "\",x\r\n", "a,b\r\n" + bytes}) {
            for (int pad = 0; pad < 20; pad += 3) {
                const QByteArray padded = QByteArray(pad, 'x') + wrapped;
                for (qsizetype chunk : kChunks)
                    QVERIFY2(checked(padded, chunk) == valid,
                             qPrintable(QStringLiteral("pad %1, chunk %2").arg(pad).arg(chunk)));
            }
        }
    }

    // ... and agrees with Qt's check of the whole on random byte soup rich in
    // lead and continuation bytes, cut anywhere.
    void utf8CheckAgreesWithQt()
    {
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
            const qsizetype chunk = 1 + qsizetype(random() % 9);
            QVERIFY2(checked(bytes, chunk) == expected, bytes.toHex(' ').constData());
        }
        QVERIFY(validSeen > 500); // the soup holds valid samples too
    }


    void byteOrderMark_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("encoding"); // -1: none
        QTest::addColumn<int>("length");
        QTest::newRow("utf8") << QByteArray("\xEF\xBB\xBF") << int(TextEncoding::Utf8) << 3;
        QTest::newRow("utf16le") << (QByteArray("\xFF\xFE") + "a") << int(TextEncoding::Utf16LE) << 2;
        QTest::newRow("utf16be") << QByteArray("\xFE\xFF") << int(TextEncoding::Utf16BE) << 2;
        QTest::newRow("utf8 cut short") << QByteArray("\xEF\xBB,") << -1 << 0;
        QTest::newRow("none") << QByteArray("abc") << -1 << 0;
        QTest::newRow("empty") << QByteArray() << -1 << 0;
    }
    void byteOrderMark()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, encoding);
        QFETCH(int, length);
        const auto mark = qh::byteOrderMark(head);
        QCOMPARE(mark.has_value(), encoding >= 0);
        if (mark)
            QCOMPARE(std::pair(int(mark->first), mark->second), std::pair(encoding, length));
    }

    // Level-1 characters count for a reading, private-use and unassigned ones
    // against it, anything else not at all.
    void nameScore_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("score");
        QTest::newRow("common name") << u("张伟") << qint64(2);
        QTest::newRow("compound surname") << u("欧阳思雨") << qint64(4);
        QTest::newRow("beyond level 1") << u("璟昊鑫琪") << qint64(0);
        QTest::newRow("last level-1 character") << u("座") << qint64(1); // D7F9
        QTest::newRow("mixed") << u("李璟") << qint64(1);
        QTest::newRow("latin and digits") << u("Tom 12") << qint64(0);
        QTest::newRow("utf8 read as gbk") << u("寮犱紵") << qint64(0);
        QTest::newRow("private use") << u("鏉庡\uE5E5") << qint64(-1);
        QTest::newRow("unassigned") << (QString(QChar(0x0378)) + u("张")) << qint64(0);
        QTest::newRow("beyond the BMP") << u("𠀀张") << qint64(1);
        QTest::newRow("private use beyond the BMP") << QString::fromUcs4(U"\U000F0000") << qint64(-1);
        QTest::newRow("gbk read as utf8") << u("\u043B\u0469") << qint64(0);
    }
    void nameScore()
    {
        QFETCH(QString, name);
        QFETCH(qint64, score);
        QCOMPARE(qh::nameScore(name), score);
    }

    void sexWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sexWord");
        QTest::newRow("男") << u("男") << true;
        QTest::newRow("女 with blanks") << u(" 女\u3000") << true;
        QTest::newRow("男生") << u("男生") << false;
        QTest::newRow("M") << u("M") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void sexWord()
    {
        QFETCH(QString, text);
        QFETCH(bool, sexWord);
        QCOMPARE(qh::isSexWord(text), sexWord);
    }

    // The order of the tests: validity, the rules, the sexes, the names, UTF-8.
    void choice_data()
    {
        QTest::addColumn<Reading>("utf8");
        QTest::addColumn<Reading>("gb");
        QTest::addColumn<TextEncoding>("chosen");
        const Reading good{true, true, 0, 0};
        QTest::newRow("tie") << good << good << TextEncoding::Utf8;
        QTest::newRow("not utf8") << Reading{false, true, 9, 9} << Reading{true, false, 0, 0} << TextEncoding::Gb18030;
        QTest::newRow("neither valid") << Reading{false, true, 0, 0} << Reading{false, true, 0, 0} << TextEncoding::Gb18030;
        QTest::newRow("not gb18030") << Reading{true, false, 0, 0} << Reading{false, true, 9, 9} << TextEncoding::Utf8;
        QTest::newRow("gb18030 alone keeps the rules") << Reading{true, false, 9, 9} << Reading{true, true, 0, -5}
                                                      << TextEncoding::Gb18030;
        QTest::newRow("utf8 alone keeps the rules") << Reading{true, true, 0, 0} << Reading{true, false, 9, 9}
                                                   << TextEncoding::Utf8;
        QTest::newRow("more sexes") << Reading{true, true, 1, 50} << Reading{true, true, 2, 0} << TextEncoding::Gb18030;
        QTest::newRow("more name score") << Reading{true, true, 0, 3} << Reading{true, true, 0, 4}
                                         << TextEncoding::Gb18030;
        QTest::newRow("less name score") << Reading{true, true, 0, 4} << Reading{true, true, 0, 3}
                                         << TextEncoding::Utf8;
    }
    void choice()
    {
        QFETCH(Reading, utf8);
        QFETCH(Reading, gb);
        QFETCH(TextEncoding, chosen);
        QCOMPARE(qh::chooseEncoding(utf8, gb), chosen);
    }
};


QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
