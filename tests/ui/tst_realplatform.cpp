// The platform seam for real: the failure box. Built without the program's
// set-up on purpose, so Qt's Chinese catalog is not loaded and the box must
// read right by itself.

#include "ui/realplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestRealPlatform : public QObject {
    Q_OBJECT
private slots:
    void failureBoxHasOneQuedingButton()
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
        qh::RealPlatform().showMessage(QStringLiteral("名单文件出错提示"), QStringLiteral("名单"));
        QCOMPARE(title, QStringLiteral("名单文件出错提示"));
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
    }
};

QTEST_MAIN(TestRealPlatform)
#include "tst_realplatform.moc"
