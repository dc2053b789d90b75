// The fuzzers' corpus replayed in ctest, so that a find stays found without
// them: every file of fuzz/corpus/ loads without a crash, and as the model of
// the rules (fuzz/rostermodel.h, shared with the model-based fuzzer) says,
// as it stands and saved in every encoding.

#include "rostermodel.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

class TestRosterCorpus : public QObject {
    Q_OBJECT
private slots:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(qh::test::sourcePath(QStringLiteral("fuzz/corpus")));
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 20);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << corpus.filePath(file);
    }

    void replay()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        for (const qsizetype chunk : {qsizetype(1), qsizetype(7), qh::kChunkBytes}) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            qh::Roster roster;
            const qh::RosterStatus status = qh::readStudents(buffer, 82, roster, chunk);
            QVERIFY(status != qh::RosterStatus::CannotOpen);
        }
        if (!QStringDecoder("GB18030").isValid())
            QSKIP("the model needs a GB18030 decoder");
        const QString differs = qh::model::compareWithModel(bytes);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }
};

QTEST_GUILESS_MAIN(TestRosterCorpus)
#include "tst_rostercorpus.moc"
