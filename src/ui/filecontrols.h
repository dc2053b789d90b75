#pragma once
// The drive, folder and file lists of the start window. The folder list shows
// the path from its drive down to the current folder, then the subfolders; a
// double click (or Enter) opens a folder. A folder or drive that cannot be
// read leaves the lists as they were.

#include <QComboBox>
#include <QListWidget>

namespace qh {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    // The drives: QDir::drives() on Windows, the root and the mounted volumes elsewhere.
    void refresh();
    // Selects the drive holding path, without emitting driveChanged.
    void selectDriveOf(const QString &path);
    QString drive() const;

    // Roots of the volumes worth offering; exposed for tests.
    static QStringList availableDrives();

signals:
    // A readable drive was chosen: its root, or the start folder when that lies on it.
    void driveChanged(const QString &path);

private:
    void onActivated(int index);
    int m_current = -1;
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
