#pragma once
// What a window test stands on: a temporary folder holding the roster the
// window reads, the recording platform and switcher, a fixed clock and a
// seeded random source; and clicks as a teacher's mouse makes them.

#include "recordingplatform.h"
#include "testfiles.h"
#include "core/clock.h"
#include "core/random.h"
#include "ui/form.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

class QListWidget;
class QWidget;

namespace qh::test {

// A left click where the control takes one: an option button on its
// indicator, any other control inside its edge.
void click(QWidget *w);
// A left click on the list's item of that text.
void clickItem(QListWidget *list, const QString &text);

// The keyboard focus's path through the tab order: the focused control's
// name, then `stops - 1` times a Tab and the name focused after it.
QStringList tabStops(int stops);

// Rows for the two keys that press a focused button besides Space: columns
// "key" (int) and "modifiers".
void enterKeyRows();

// Runs what an event loop would run after an input: posted events, and the
// deletion of a window that was closed.
void settle();

class WindowFixture {
public:
    WindowFixture(QString rosterName, double clockSeconds, std::uint64_t seed);

    // A fresh folder, platform and switcher for the next test; false when no
    // folder could be made.
    bool reset();
    // A fresh folder only, `path` the roster in it.
    bool makeFolder();
    // Forgets what the platform and switcher recorded.
    void resetRecorders();
    // Drops the folder (and the roster in it).
    void clear() { m_dir.reset(); }

    // The context a window is built with; it reads the roster at `path`.
    FormContext context();

    // Writes the roster at `path`: "name,sex" lines in `encoding`, CR LF.
    void writeRoster(const QStringList &lines, const char *encoding = "UTF-8");
    void writeBytes(const QByteArray &bytes);
    QString filePath(const QString &name) const;
    QString folder() const;

    QString path;
    RecordingPlatform platform;
    RecordingSwitcher switcher;
    FixedClock clock;
    RandomSource random;

private:
    QString m_rosterName;
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace qh::test
