#pragma once
// The drive, folder and file lists of the start window. The folder list shows
// the path from its drive down to the current folder, then the subfolders; a
// double click (or Enter) opens a folder. Every look at a drive (a drive
// chosen, a folder opened, the start folder, a roster named on the command
// line or dropped) is made off the window's thread by the drive list, one
// reading per drive at a time; the lists show only the latest answer. A folder
// or drive that cannot be read leaves the lists as they were.

#include <QComboBox>
#include <QListWidget>
#include <QHash>
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
// then its subfolders (unsorted: the window's thread sorts them, as sorting
// uses the locale). Read anywhere, shown on the window's thread.
struct FolderContents {
    bool ok = false; // false: the folder cannot be read
    QString path;    // absolute, as the system finds it
    QStringList chain, subfolders;
};
FolderContents readFolder(const QString &path);

// The chain from the drive's root down to the folder at the absolute path,
// as text: a share (//server/share on Windows) is one root, not a tree.
QStringList folderChain(const QString &path);

// The regular files of a folder whose names match one of the patterns
// (unsorted, as above).
struct FileContents {
    bool ok = false;
    QString path;
    QStringList names;
};
FileContents readFiles(const QString &path, const QStringList &patterns);

// What a reading finds on a drive.
struct DriveAnswer {
    bool ready = false;  // the folder, or the roster, was found
    QString label;       // the volume's label, where asked (Windows)
    FolderContents folder;
    FileContents files;
    QString roster;      // the roster found, absolute
    QString named;       // the path named when no roster was found
};

// The volume label of a drive root (Windows; empty elsewhere). May block.
QString volumeLabel(const QString &root);

// The drive list's text for a drive: "F: [KINGSTON]", or the root alone.
QString driveText(const QString &root, const QString &label);

class DriveList : public QComboBox {
    Q_OBJECT
public:
    // An empty `source` (or member) means the real drives of this system.
    explicit DriveList(QWidget *parent = nullptr, DriveSource source = {});

    // The drives: QDir::drives() on Windows, the root and the mounted volumes elsewhere.
    void refresh();
    // Selects the drive holding path, without reading it; a share
    // (\\server\share on Windows) not yet listed is added.
    void selectDriveOf(const QString &path);
    // Reads the folder at path (and its files) on its drive; folderRead
    // follows when it is the latest reading asked for.
    void openFolder(const QString &path);
    // Looks for the roster the command line or a drop names (see
    // openableArgument) and reads its folder: fileFound or fileNotFound.
    void openFile(const QStringList &arguments);
    QString drive() const;
    // The drives and their probe from now on; lists the drives again.
    void setSource(DriveSource source);
    // Which files a chosen drive's first folder is read for.
    void setFilePatterns(const QStringList &patterns) { m_patterns = patterns; }
    // What the latest answer showed when folderRead was last emitted.
    const FolderContents &folder() const { return m_folder; }
    const FileContents &files() const { return m_files; }
    // The latest reading asked for has not answered yet.
    bool isWaiting() const { return m_waiting; }
    // Some drive has not answered yet (its answer may still be shown).
    bool isReading() const { return !m_reading.isEmpty() || m_waiting; }
    // How long a drive that cannot be read stays chosen, its entry saying
    // so, before the list returns to the drive in use.
    static constexpr int kNotReadyMs = 2000;

    // Roots of the volumes worth offering, read from the system's mount table
    // without asking any volume; exposed for tests.
    static QStringList availableDrives();
    // The same from the text of a Linux mountinfo table (/proc/self/mountinfo).
    static QStringList drivesFromMountInfo(QByteArrayView mountInfo);

signals:
    // The latest reading found its folder (for a drive chosen, its root or
    // the start folder when that lies on it): folder() and files() hold it.
    void folderRead(const QString &path);
    // The roster asked for by openFile: its absolute path. folderRead came
    // first when its folder could be listed.
    void fileFound(const QString &path);
    // No roster found for openFile: the path tried, absolute.
    void fileNotFound(const QString &named);
    // The latest reading was asked for (true) or has answered (false).
    void waitingChanged(bool waiting);

private:
    struct Request {
        QString root;        // the drive read: one reading per drive at a time
        bool probe = false;  // a drive chosen: its probe first
        bool label = false;  // the volume's label
        QString folder;      // the folder to read, with its files
        QStringList arguments; // a roster to look for (openFile)
        int serial = 0;      // 0: not a reading the lists wait for
    };
    void onActivated(int index);
    void ask(Request request);
    void start(const Request &request);
    void onAnswered(const QString &root, const DriveAnswer &answer);
    int driveIndexOf(const QString &native) const;
    QString rootOf(const QString &path) const;
    void setWaiting(bool waiting);
    DriveSource m_source;
    QStringList m_patterns;
    int m_current = -1;
    int m_serial = 0;          // the latest reading asked for; older answers are stale
    bool m_waiting = false;
    QHash<QString, Request> m_reading; // drives with a reading under way: one each
    QHash<QString, Request> m_next; // per busy drive, the reading to make after it
    FolderContents m_folder;
    FileContents m_files;
};

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget *parent = nullptr);

    // Shows a folder read elsewhere (readFolder).
    void showFolder(FolderContents folder);
    QString path() const { return m_path; }

signals:
    // A folder was opened (double click or Enter): its path, still unread.
    void folderOpened(const QString &path);

protected:
    bool viewportEvent(QEvent *event) override;

private:
    QString m_path;
};

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget *parent = nullptr);

    void setPattern(const QString &pattern); // e.g. "*.txt", matched case-insensitively
    QStringList patterns() const { return m_patterns; }
    // Shows files read elsewhere (readFiles).
    void showFiles(FileContents files);
    QString path() const { return m_path; }
    QString selectedFileName() const;
    // Selects the listed file of that name without emitting fileSelected;
    // false, with nothing selected, when the list does not show it.
    bool selectFile(const QString &fileName);

signals:
    // A file was chosen by mouse or keyboard: its name alone.
    void fileSelected(const QString &fileName);

protected:
    bool viewportEvent(QEvent *event) override;

private:
    QString m_path;
    QStringList m_patterns;
};

} // namespace qh
