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

DriveList::DriveList(QWidget *parent, DriveSource source) : QComboBox(parent), m_source(std::move(source))
{
    if (!m_source.list)
        m_source.list = &DriveList::availableDrives;
    if (!m_source.probe)
        m_source.probe = &readableDir;
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DriveList::onActivated);
    refresh();
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

void DriveList::refresh()
{
    clear();
    for (const QString &root : m_source.list())
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
    m_current = count() > 0 ? 0 : -1;
    ++m_ticket;
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
        ++m_ticket;
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
    const quint64 ticket = ++m_ticket;
    if (index == m_current)
        return;
    // The drive is asked in the background: one that does not answer leaves
    // the window usable (and closable), and its late answer is dropped if
    // another drive has been chosen meanwhile.
    QObject *relay = probeRelay();
    std::thread([relay, probe = m_source.probe, root = itemData(index).toString(), self = QPointer<DriveList>(this),
                 ticket, index]() mutable {
        const bool readable = probe(root);
        QMetaObject::invokeMethod(relay, [self = std::move(self), ticket, index, readable] {
            if (self)
                self->onProbed(ticket, index, readable);
        }, Qt::QueuedConnection);
    }).detach();
}

void DriveList::onProbed(quint64 ticket, int index, bool readable)
{
    if (ticket != m_ticket)
        return;
    const QString root = itemData(index).toString();
    if (!readable) {
        // No medium or no permission: keep the lists as they were.
        QSignalBlocker block(this);
        setCurrentIndex(m_current);
        return;
    }
    m_current = index;
    // The drive's current folder: the start folder when it lies on this drive.
    const QString cwd = QDir::toNativeSeparators(QDir::currentPath());
    emit driveChanged(liesOn(cwd, root) ? cwd : root);
}

DirList::DirList(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
}

bool DirList::setPath(const QString &path)
{
    // As the system finds it: links before "..".
    const QString clean = resolvedPath(path);
    if (!readableDir(clean))
        return false;

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QStringList chain;
    for (QDir d(clean);; ) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }

    QStringList subdirs = QDir(clean).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable);
    sortNatural(subdirs);

    setUpdatesEnabled(false);
    clear();
    int depth = 0;
    QListWidgetItem *current = nullptr;
    for (const QString &p : chain) {
        const QString label = depth == 0 ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName();
        auto *item = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + label, this);
        item->setData(kPathRole, p);
        current = item;
        ++depth;
    }
    for (const QString &name : subdirs) {
        auto *item = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, QDir(clean).filePath(name));
    }
    setCurrentItem(current);
    setUpdatesEnabled(true);

    const bool changed = clean != m_path;
    m_path = clean;
    if (changed)
        emit pathChanged(m_path);
    return true;
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
    QDir dir(path);
    if (!readableDir(dir.absolutePath()))
        return false;
    dir.setNameFilters(m_patterns); // name filters match case-insensitively
    // Regular files only: a named pipe, socket or device file would make the
    // roster reader wait on it.
    QStringList names;
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (entry.isFile())
            names << entry.fileName();
    }
    sortNatural(names);
    setUpdatesEnabled(false);
    clear();
    addItems(names);
    setUpdatesEnabled(true);
    m_path = dir.absolutePath();
    return true;
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
