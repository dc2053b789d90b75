#include "windowfixture.h"

#include <QCoreApplication>
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
    m_dir = std::make_unique<QTemporaryDir>();
    path = m_dir->filePath(m_rosterName);
    platform = RecordingPlatform();
    switcher.requests.clear();
    return m_dir->isValid();
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

} // namespace qh::test
