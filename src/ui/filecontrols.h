#pragma once
// The drive, folder and file lists of the start window. The folder list shows
// the path from its drive down to the current folder, then the subfolders; a
// double click (or Enter) opens a folder. A folder or drive that cannot be
// read leaves the lists as they were.

#include <QComboBox>
#include <QListWidget>
#include <QSet>

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

// A folder as the folder list shows it: the chain from the drive down to it,
// then its subfolders. Read anywhere, shown on the window's thread.
struct FolderContents {
    bool ok = false; // false: the folder cannot be read
    QString path;    // absolute, as the system finds it
    QStringList chain, subfolders;
};
FolderContents readFolder(const QString &path);

// The regular files of a folder whose names match one of the patterns.
struct FileContents {
    bool ok = false;
    QString path;
    QStringList names;
};
FileContents readFiles(const QString &path, const QStringList &patterns);

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
    // The drives and their probe from now on; lists the drives again.
    void setSource(DriveSource source);
    // Which files a chosen drive's first folder is read for.
    void setFilePatterns(const QStringList &patterns) { m_patterns = patterns; }
    // What the chosen drive showed when driveChanged was last emitted.
    const FolderContents &folder() const { return m_folder; }
    const FileContents &files() const { return m_files; }
    // Some chosen drive has not answered yet (its answer may still be shown).
    bool isReading() const { return !m_reading.isEmpty(); }

    // Roots of the volumes worth offering, read from the system's mount table
    // without asking any volume; exposed for tests.
    static QStringList availableDrives();
    // The same from the text of a Linux mountinfo table (/proc/self/mountinfo).
    static QStringList drivesFromMountInfo(QByteArrayView mountInfo);

signals:
    // A readable drive was chosen: its root, or the start folder when that
    // lies on it. folder() and files() hold what it showed.
    void driveChanged(const QString &path);

private:
    struct Answer {
        bool ready = false;
        FolderContents folder;
        FileContents files;
    };
    void onActivated(int index);
    void onAnswered(const QString &root, const Answer &answer);
    DriveSource m_source;
    QStringList m_patterns;
    int m_current = -1;
    QString m_wanted;          // the latest choice still being read; other answers are stale
    QSet<QString> m_reading;   // drives with a reading under way: one each
    FolderContents m_folder;
    FileContents m_files;
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget *parent = nullptr);

    // Shows path; false (and nothing changes) when it cannot be read.
    bool setPath(const QString &path);
    // Shows a folder read elsewhere, without emitting pathChanged.
    void showFolder(const FolderContents &folder);
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
    QStringList patterns() const { return m_patterns; }
    bool setPath(const QString &path);
    // Shows files read elsewhere.
    void showFiles(const FileContents &files);
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
