#include "windowfixture.h"

#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace qh::test {

void click(QWidget *w)
{
    QVERIFY(w);
    const QPoint at = qobject_cast<QRadioButton *>(w) ? QPoint(8, w->height() / 2)
                                                      : QPoint(w->width() - 4, w->height() / 2);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

void clickItem(QListWidget *list, const QString &text)
{
    QVERIFY(list);
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
}

QStringList tabStops(int stops)
{
    QStringList names;
    for (int k = 0; k < stops; ++k) {
        QWidget *focus = QApplication::focusWidget();
        names << (focus ? focus->objectName() : QStringLiteral("(no focus)"));
        if (!focus)
            break;
        if (k + 1 < stops)
            QTest::keyClick(focus, Qt::Key_Tab);
    }
    return names;
}

void enterKeyRows()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

WindowFixture::WindowFixture(QString rosterName, double clockSeconds, std::uint64_t seed)
    : clock(clockSeconds), random(seed), m_rosterName(std::move(rosterName))
{
}

bool WindowFixture::reset()
{
    resetRecorders();
    return makeFolder();
}

bool WindowFixture::makeFolder()
{
    m_dir = std::make_unique<QTemporaryDir>();
    path = m_dir->filePath(m_rosterName);
    return m_dir->isValid();
}

void WindowFixture::resetRecorders()
{
    platform = RecordingPlatform();
    switcher.requests.clear();
}

FormContext WindowFixture::context()
{
    return FormContext{platform, clock, random, switcher, [this] { return path; }};
}

void WindowFixture::writeRoster(const QStringList &lines, const char *encoding)
{
    bool encoded = false;
    const QByteArray bytes = rosterBytes(lines, encoding, "\r\n", &encoded);
    QVERIFY(encoded);
    writeBytes(bytes);
}

void WindowFixture::writeBytes(const QByteArray &bytes)
{
    QVERIFY(!writeFile(path, bytes).isEmpty());
}

QString WindowFixture::filePath(const QString &name) const
{
    return m_dir->filePath(name);
}

QString WindowFixture::folder() const
{
    return m_dir->path();
}

} // namespace qh::test
