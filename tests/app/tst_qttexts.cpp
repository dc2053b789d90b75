// The texts Qt itself supplies are Chinese: the failure box's one button, the
// text box's context menu, a standard message box.

#include "app/translations.h"
#include "ui/realplatform.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>

using namespace qh;

class TestQtTexts : public QObject {
    Q_OBJECT

private slots:
    // Before any catalog is installed: the box alone must read right.
    void failureBoxButtonReadsQueding()
    {
        QStringList buttons;
        QString title;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
            box->accept();
        });
        RealPlatform().showMessage(QStringLiteral("名单文件出错提示"), QStringLiteral("名单"));
        QCOMPARE(title, QStringLiteral("名单文件出错提示"));
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
    }

    void qtOwnTexts_data()
    {
        QTest::addColumn<int>("menuEntry"); // -1: a standard message box's OK button
        QTest::addColumn<QString>("expected");
        QTest::newRow("text box: undo") << 0 << QStringLiteral("撤消(&U)");
        QTest::newRow("text box: copy") << 4 << QStringLiteral("复制(&C)");
        QTest::newRow("text box: paste") << 5 << QStringLiteral("粘贴(&P)");
        QTest::newRow("text box: select all") << 8 << QStringLiteral("全选");
        QTest::newRow("message box") << -1 << QStringLiteral("确定");
    }
    void qtOwnTexts()
    {
        QFETCH(int, menuEntry);
        QFETCH(QString, expected);
        QTranslator *translator = installTranslations(*qApp);
        QVERIFY2(translator, "Qt's Chinese catalog (qt6-translations-l10n) was not found");
        QString text;
        if (menuEntry < 0) {
            QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok);
            text = box.button(QMessageBox::Ok)->text();
        } else {
            QPlainTextEdit edit(QStringLiteral("甲"));
            const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
            text = menu->actions().value(menuEntry)->text().section(QLatin1Char('\t'), 0, 0);
        }
        QCoreApplication::removeTranslator(translator);
        delete translator;
        QCOMPARE(text, expected);
    }
};

QTEST_MAIN(TestQtTexts)
#include "tst_qttexts.moc"
