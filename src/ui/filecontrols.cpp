#include "ui/filecontrols.h"

#include "core/finalname.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QStyle>

#include <algorithm>
#include <system_error>
#include <thread>

#if defined(Q_OS_DARWIN) || defined(Q_OS_FREEBSD) || defined(Q_OS_OPENBSD)
#  include <sys/mount.h>
#  include <sys/param.h>
#endif

namespace qh {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

bool readableDir(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable())
        return false;
    // Listing proves more than the permission bits (a drive without a medium).
    QDir dir(path);
    return dir.exists() && dir.isReadable();
}

// Whether native path lies on the drive whose root is given: /media/usb holds
// /media/usb/班级 but not /media/usb2.
bool liesOn(const QString &native, const QString &root)
{
    return native.startsWith(root, Qt::CaseInsensitive) &&
           (root.endsWith(QDir::separator()) || native.size() == root.size() ||
            native.at(root.size()) == QDir::separator());
}

void sortNatural(QStringList &names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
}

} // namespace

FolderContents readFolder(const QString &path)
{
    FolderContents folder;
    // As the system finds it: links before "..".
    folder.path = resolvedPath(path);
    if (!readableDir(folder.path))
        return folder;
    for (QString p = folder.path;;) {
        folder.chain.prepend(p);
        const QString up = QFileInfo(p).path(); // text only: asks no drive
        if (up == p)
            break;
        p = up;
    }
    folder.subfolders = QDir(folder.path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable);
    sortNatural(folder.subfolders);
    folder.ok = true;
    return folder;
}

FileContents readFiles(const QString &path, const QStringList &patterns)
{
    FileContents files;
    QDir dir(path);
    files.path = dir.absolutePath();
    if (!readableDir(files.path))
        return files;
    dir.setNameFilters(patterns); // name filters match case-insensitively
    // Regular files only: a named pipe, socket or device file would make the
    // roster reader wait on it.
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (entry.isFile())
            files.names << entry.fileName();
    }
    sortNatural(files.names);
    files.ok = true;
    return files;
}

DriveList::DriveList(QWidget *parent, DriveSource source) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DriveList::onActivated);
    setSource(std::move(source));
}

QStringList DriveList::drivesFromMountInfo(QByteArrayView mountInfo)
{
    // Pseudo file systems hold no files a teacher would pick; autofs is only
    // the trigger under which the real share appears as its own entry.
    static const QSet<QByteArray> pseudo = {
        "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "debugfs", "tracefs",
        "pstore", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl", "binfmt_misc", "autofs",
        "rpc_pipefs", "nsfs", "efivarfs", "selinuxfs", "rootfs"};
    static const QStringList skipped = {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
                                        QStringLiteral("/run"), QStringLiteral("/snap"), QStringLiteral("/boot"),
                                        QStringLiteral("/etc"), QStringLiteral("/System"), QStringLiteral("/private")};
    // "id parent major:minor root mount-point options [optional...] - type source super-options",
    // with space, tab, newline and backslash in paths written as octal escapes.
    const auto unescape = [](QByteArrayView field) {
        QByteArray out;
        for (qsizetype i = 0; i < field.size(); ++i) {
            const char c = field[i];
            if (c == '\\' && i + 3 < field.size()) {
                bool ok = false;
                const int code = field.sliced(i + 1, 3).toInt(&ok, 8);
                if (ok && code < 256) {
                    out += char(code);
                    i += 3;
                    continue;
                }
            }
            out += c;
        }
        return QString::fromUtf8(out);
    };

    QStringList roots{QStringLiteral("/")};
    for (const QByteArray &line : mountInfo.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 5 || dash + 1 >= fields.size())
            continue;
        const QString root = unescape(fields[4]);
        if (!root.startsWith(u'/') || roots.contains(root) || pseudo.contains(fields[dash + 1]))
            continue;
        const bool system = std::any_of(skipped.begin(), skipped.end(), [&](const QString &s) {
            return root == s || root.startsWith(s + QLatin1Char('/'));
        });
        if (!system)
            roots << root;
    }
    return roots;
}

QStringList DriveList::availableDrives()
{
    // Only the system's table of drives or mounts is read: asking a volume
    // itself (QStorageInfo calls statvfs on every mount) waits for as long as
    // a dead network share takes to time out.
#ifdef Q_OS_WIN
    QStringList roots;
    for (const QFileInfo &drive : QDir::drives())
        roots << QDir::toNativeSeparators(drive.filePath());
    return roots;
#elif defined(Q_OS_LINUX)
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {QStringLiteral("/")};
    return drivesFromMountInfo(table.readAll());
#elif defined(Q_OS_DARWIN) || defined(Q_OS_FREEBSD) || defined(Q_OS_OPENBSD)
    QByteArray table;
    struct statfs *mounts = nullptr;
    // MNT_NOWAIT: the kernel's cached list, no volume is asked.
    const int n = getmntinfo(&mounts, MNT_NOWAIT);
    int id = 0;
    for (int i = 0; i < n; ++i) {
        QByteArray point = QByteArray(mounts[i].f_mntonname).replace('\\', "\\134").replace(' ', "\\040");
        table += QByteArray::number(++id) + " 0 0:0 / " + point + " rw - " + mounts[i].f_fstypename + " x rw\n";
    }
    return drivesFromMountInfo(table);
#else
    return {QStringLiteral("/")};
#endif
}

void DriveList::setSource(DriveSource source)
{
    m_source = std::move(source);
    if (!m_source.list)
        m_source.list = &DriveList::availableDrives;
    if (!m_source.probe)
        m_source.probe = &readableDir;
    refresh();
}

void DriveList::refresh()
{
    clear();
    for (const QString &root : m_source.list())
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
    m_current = count() > 0 ? 0 : -1;
    m_wanted.clear();
}

void DriveList::selectDriveOf(const QString &path)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (liesOn(native, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0) {
        QSignalBlocker block(this);
        setCurrentIndex(best);
        m_current = best;
        m_wanted.clear();
    }
}

QString DriveList::drive() const
{
    return currentData().toString();
}

namespace {

// Lives on the user-interface thread for the whole process, so a probe that
// answers late, even after its window has closed, always has somewhere to post.
QObject *probeRelay()
{
    static QObject *const relay = new QObject;
    return relay;
}

} // namespace

void DriveList::onActivated(int index)
{
    m_wanted.clear();
    if (index == m_current)
        return;
    // Everything that touches the drive before its folder shows (the probe,
    // the folder, its files) is read in the background: a drive that does
    // not answer leaves the window usable (and closable), and its late answer
    // is dropped if another drive has been chosen meanwhile. One reading per
    // drive: choosing it again while it is read waits for the same answer.
    const QString root = itemData(index).toString();
    m_wanted = root;
    if (m_reading.contains(root))
        return;
    const QString cwd = QDir::toNativeSeparators(QDir::currentPath());
    QObject *relay = probeRelay();
    try {
        std::thread([relay, probe = m_source.probe, patterns = m_patterns, root, cwd,
                     self = QPointer<DriveList>(this)]() mutable {
            Answer answer;
            answer.ready = probe(root);
            if (answer.ready) {
                // The drive's current folder: the start folder when it lies on this drive.
                answer.folder = readFolder(liesOn(cwd, root) ? cwd : root);
                if (answer.folder.ok)
                    answer.files = readFiles(answer.folder.path, patterns);
                answer.ready = answer.folder.ok && answer.files.ok;
            }
            QMetaObject::invokeMethod(relay, [self = std::move(self), root, answer = std::move(answer)] {
                if (self)
                    self->onAnswered(root, answer);
            }, Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error &) {
        // No thread to be had: the drive is as good as not ready.
        onAnswered(root, Answer{});
        return;
    }
    m_reading.insert(root);
}

void DriveList::onAnswered(const QString &root, const Answer &answer)
{
    m_reading.remove(root);
    if (root != m_wanted)
        return;
    m_wanted.clear();
    if (!answer.ready) {
        // No medium, no permission, no thread: keep the lists as they were.
        QSignalBlocker block(this);
        setCurrentIndex(m_current);
        return;
    }
    m_current = findData(root);
    m_folder = answer.folder;
    m_files = answer.files;
    emit driveChanged(QDir::toNativeSeparators(m_folder.path));
}

DirList::DirList(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
}

bool DirList::setPath(const QString &path)
{
    const FolderContents folder = readFolder(path);
    if (!folder.ok)
        return false;
    const bool changed = folder.path != m_path;
    showFolder(folder);
    if (changed)
        emit pathChanged(m_path);
    return true;
}

void DirList::showFolder(const FolderContents &folder)
{
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    setUpdatesEnabled(false);
    clear();
    int depth = 0;
    QListWidgetItem *current = nullptr;
    for (const QString &p : folder.chain) {
        const QString label = depth == 0 ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName();
        auto *item = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + label, this);
        item->setData(kPathRole, p);
        current = item;
        ++depth;
    }
    for (const QString &name : folder.subfolders) {
        auto *item = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, QDir(folder.path).filePath(name));
    }
    setCurrentItem(current);
    setUpdatesEnabled(true);

    m_path = folder.path;
}

void DirList::open(QListWidgetItem *item)
{
    if (item)
        setPath(item->data(kPathRole).toString());
}

FileList::FileList(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item)
            emit fileSelected(item->text());
    });
    connect(this, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        // Keyboard selection counts as a choice too, like a click.
        if (item && item->isSelected())
            emit fileSelected(item->text());
    });
}

void FileList::setPattern(const QString &pattern)
{
    m_patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!m_path.isEmpty())
        setPath(m_path);
}

bool FileList::setPath(const QString &path)
{
    const FileContents files = readFiles(path, m_patterns);
    if (files.ok)
        showFiles(files);
    return files.ok;
}

void FileList::showFiles(const FileContents &files)
{
    setUpdatesEnabled(false);
    clear();
    addItems(files.names);
    setUpdatesEnabled(true);
    m_path = files.path;
}

QString FileList::selectedFileName() const
{
    const QListWidgetItem *item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

bool FileList::selectFile(const QString &fileName)
{
    QListWidgetItem *item = findItems(fileName, Qt::MatchExactly).value(0);
    const QSignalBlocker block(this);
    if (!item) {
        clearSelection();
        setCurrentItem(nullptr);
        return false;
    }
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

} // namespace qh
