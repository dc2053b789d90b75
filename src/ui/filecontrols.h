#pragma once
// The drive, folder and file lists of the start window. The folder list shows
// the path from its drive down to the current folder, then the subfolders; a
// double click (or Enter) opens a folder. A folder or drive that cannot be
// read leaves the lists as they were.

#include <QComboBox>
#include <QListWidget>

#include <functional>

namespace qh {

// Where the drive list gets its drives, and how it checks the one chosen.
struct DriveSource {
    // The drives' roots; must not touch any volume (no statvfs, no listing),
    // so one that hangs cannot hold up the start window.
    std::function<QStringList()> list;
    // Whether a chosen drive can be read. May block for as long as the drive
    // does not answer; it runs off the user-interface thread.
    std::function<bool(const QString &root)> probe;
};

class DriveList : public QComboBox {
    Q_OBJECT
public:
    // An empty `source` (or member) means the real drives of this system.
    explicit DriveList(QWidget *parent = nullptr, DriveSource source = {});

    // The drives: QDir::drives() on Windows, the root and the mounted volumes elsewhere.
    void refresh();
    // Selects the drive holding path, without emitting driveChanged.
    void selectDriveOf(const QString &path);
    QString drive() const;

    // Roots of the volumes worth offering, read from the system's mount table
    // without asking any volume; exposed for tests.
    static QStringList availableDrives();
    // The same from the text of a Linux mountinfo table (/proc/self/mountinfo).
    static QStringList drivesFromMountInfo(QByteArrayView mountInfo);

signals:
    // A readable drive was chosen: its root, or the start folder when that lies on it.
    void driveChanged(const QString &path);

private:
    void onActivated(int index);
    void onProbed(quint64 ticket, int index, bool readable);
    DriveSource m_source;
    int m_current = -1;
    quint64 m_ticket = 0; // the latest choice; older answers are stale
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget *parent = nullptr);

    // Shows path; false (and nothing changes) when it cannot be read.
    bool setPath(const QString &path);
    QString path() const { return m_path; }

signals:
    void pathChanged(const QString &path);

private:
    void open(QListWidgetItem *item);
    QString m_path;
};

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget *parent = nullptr);

    void setPattern(const QString &pattern); // e.g. "*.txt", matched case-insensitively
    bool setPath(const QString &path);
    QString path() const { return m_path; }
    QString selectedFileName() const;
    // Selects the listed file of that name without emitting fileSelected;
    // false, with nothing selected, when the list does not show it.
    bool selectFile(const QString &fileName);

signals:
    // A file was chosen by mouse or keyboard: its name alone.
    void fileSelected(const QString &fileName);

private:
    QString m_path;
    QStringList m_patterns;
};

} // namespace qh
