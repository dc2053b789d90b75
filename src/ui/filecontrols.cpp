#include "ui/filecontrols.h"

#include "core/finalname.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QPointer>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#if defined(Q_OS_DARWIN) || defined(Q_OS_FREEBSD) || defined(Q_OS_OPENBSD)
#  include <sys/mount.h>
#  include <sys/param.h>
#endif
#ifdef Q_OS_WIN
#  include "core/windowsheader.h"
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

// On the window's thread only: the collator uses the locale's data, which the
// process's teardown destroys under any thread still reading a drive.
void sortNatural(QStringList &names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
}

// The share a path lies on, \\server\share (either separator), or empty.
QString shareOf(const QString &path)
{
#ifdef Q_OS_WIN
    const QString p = QDir::fromNativeSeparators(path);
    if (!p.startsWith(QLatin1String("//")) || p.size() < 3 || p.at(2) == QLatin1Char('/'))
        return {};
    const qsizetype server = p.indexOf(QLatin1Char('/'), 2);
    if (server < 0 || server + 1 >= p.size() || p.at(server + 1) == QLatin1Char('/'))
        return {};
    const qsizetype share = p.indexOf(QLatin1Char('/'), server + 1);
    return QDir::toNativeSeparators(share < 0 ? p : p.left(share));
#else
    Q_UNUSED(path);
    return {};
#endif
}

} // namespace

QStringList folderChain(const QString &path)
{
    QStringList chain;
    const QString share = QDir::fromNativeSeparators(shareOf(path));
    for (QString p = path;;) {
        chain.prepend(p);
        const QString up = QFileInfo(p).path(); // text only: asks no drive
        if (up == p || (!share.isEmpty() && p.size() <= share.size()))
            break;
        p = up;
    }
    return chain;
}

FolderContents readFolder(const QString &path)
{
    FolderContents folder;
    // As the system finds it: links before "..".
    folder.path = resolvedPath(path);
    if (!readableDir(folder.path))
        return folder;
    folder.chain = folderChain(folder.path);
    folder.subfolders = QDir(folder.path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable,
                                                    QDir::Unsorted);
    folder.ok = true;
    return folder;
}

namespace {

// A wildcard pattern ("*.txt", "?" for one character) matched against a name
// case-insensitively, by hand: Qt's name filters use regular expressions,
// whose per-thread state a reading's thread must not leave behind.
bool matchesPattern(QStringView name, QStringView pattern)
{
    const auto same = [](QChar a, QChar b) { return a.toCaseFolded() == b.toCaseFolded(); };
    qsizetype n = 0, p = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || (pattern[p] != u'*' && same(pattern[p], name[n])))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace

FileContents readFiles(const QString &path, const QStringList &patterns)
{
    FileContents files;
    QDir dir(path);
    files.path = dir.absolutePath();
    if (!readableDir(files.path))
        return files;
    // Regular files only: a named pipe, socket or device file would make the
    // roster reader wait on it.
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Unsorted)) {
        const QString name = entry.fileName();
        const bool matches = patterns.isEmpty() || std::any_of(patterns.begin(), patterns.end(), [&](const QString &p) {
                                 return matchesPattern(name, p);
                             });
        if (matches && entry.isFile())
            files.names << name;
    }
    files.ok = true;
    return files;
}

QString volumeLabel([[maybe_unused]] const QString &root)
{
#ifdef Q_OS_WIN
    // The system's own call, as Explorer makes it; a drive without a medium
    // fails at once, a dead share only when it times out.
    wchar_t label[MAX_PATH + 1] = {};
    QString path = QDir::toNativeSeparators(root);
    if (!path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('\\');
    if (GetVolumeInformationW(reinterpret_cast<const wchar_t *>(path.utf16()), label, MAX_PATH + 1, nullptr,
                              nullptr, nullptr, nullptr, 0))
        return QString::fromWCharArray(label).trimmed();
#endif
    return {};
}

QString driveText(const QString &root, const QString &label)
{
    if (label.isEmpty())
        return root;
    QString name = root;
    if (name.size() > 1 && name.endsWith(QDir::separator()))
        name.chop(1);
    return name + QStringLiteral(" [") + label + QLatin1Char(']');
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
    ++m_serial;
    setWaiting(false);
#ifdef Q_OS_WIN
    // Each drive's label, as Windows' own drive list shows it; read like
    // everything else on a drive, so a dead one only stays unlabelled.
    for (int i = 0; i < count(); ++i) {
        Request request;
        request.root = itemData(i).toString();
        ask(request);
    }
#endif
}

int DriveList::driveIndexOf(const QString &native) const
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (liesOn(native, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void DriveList::selectDriveOf(const QString &path)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    int best = driveIndexOf(native);
    if (const QString share = shareOf(native); best < 0 && !share.isEmpty()) {
        addItem(style()->standardIcon(QStyle::SP_DriveNetIcon), share, share);
        best = count() - 1;
    }
    if (best >= 0) {
        QSignalBlocker block(this);
        setCurrentIndex(best);
        m_current = best;
    }
}

QString DriveList::drive() const
{
    return currentData().toString();
}

QString DriveList::rootOf(const QString &path) const
{
    // Text only: the drive listed for it, its share, or its first folder.
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    if (const int index = driveIndexOf(native); index >= 0)
        return itemData(index).toString();
    const QString share = shareOf(native);
    return share.isEmpty() ? native.left(native.indexOf(QDir::separator()) + 1) : share;
}

void DriveList::openFolder(const QString &path)
{
    Request request;
    request.folder = QDir::isRelativePath(path) ? QDir::currentPath() + QLatin1Char('/') + path : path;
    request.root = rootOf(request.folder);
    request.serial = ++m_serial;
    ask(request);
}

void DriveList::openFile(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return;
    QString first = QDir::fromNativeSeparators(arguments.first());
    if (QDir::isRelativePath(first))
        first = QDir::currentPath() + QLatin1Char('/') + first;
    Request request;
    request.root = rootOf(first);
    request.arguments = arguments;
    request.serial = ++m_serial;
    ask(request);
}

void DriveList::onActivated(int index)
{
    ++m_serial;
    if (index == m_current) {
        setWaiting(false);
        return;
    }
    // The probe, the folder to show and its files are read in the
    // background like every other reading: a drive that does not answer
    // leaves the window usable (and closable).
    Request request;
    request.root = itemData(index).toString();
    request.probe = true;
    request.serial = m_serial;
    ask(request);
}

void DriveList::ask(Request request)
{
#ifdef Q_OS_WIN
    request.label = true;
#endif
    if (request.serial)
        setWaiting(true);
    // One reading per drive. Asked again for what it is reading, a drive
    // answers the newer request with that reading; asked for something
    // else, it reads the latest such request when it answers.
    const auto reading = m_reading.find(request.root);
    if (reading == m_reading.end()) {
        start(request);
        return;
    }
    if (reading->probe == request.probe && reading->folder == request.folder &&
        reading->arguments == request.arguments) {
        if (request.serial) {
            reading->serial = request.serial;
            m_next.remove(request.root);
        }
    } else if (request.serial || !m_next.contains(request.root)) {
        m_next.insert(request.root, request);
    }
}

namespace {

// Lives on the user-interface thread for the whole process, so a reading that
// answers late, even after its window has closed, always has somewhere to post.
QObject *readingRelay()
{
    static QObject *const relay = new QObject;
    return relay;
}

// One thread per drive, started at its first reading and never ended: the
// process ends without joining it (Platform::endProcess). Threads that end
// while others start let MinGW's thread library hand a new thread the state
// of one that just ended (under Wine a reading then never began, or began on
// freed memory), and a drive reads one thing at a time anyway.
class DriveThreads {
public:
    // Runs job on the drive's thread, after its earlier jobs; false when no
    // thread could be had.
    bool post(const QString &root, std::function<void()> job)
    {
        auto it = m_drives.find(root);
        if (it == m_drives.end()) {
            auto queue = std::make_shared<Queue>();
            try {
                std::thread([queue] {
                    for (;;) {
                        std::function<void()> next;
                        {
                            std::unique_lock lock(queue->mutex);
                            queue->ready.wait(lock, [&] { return !queue->jobs.empty(); });
                            next = std::move(queue->jobs.front());
                            queue->jobs.pop_front();
                        }
                        next();
                    }
                }).detach();
            } catch (const std::system_error &) {
                return false;
            }
            it = m_drives.emplace(root, std::move(queue)).first;
        }
        {
            const std::lock_guard lock(it->second->mutex);
            it->second->jobs.push_back(std::move(job));
        }
        it->second->ready.notify_one();
        return true;
    }

private:
    struct Queue {
        std::mutex mutex;
        std::condition_variable ready;
        std::deque<std::function<void()>> jobs;
    };
    std::map<QString, std::shared_ptr<Queue>> m_drives; // the window's thread only
};

// Lives as long as the process, like its threads.
DriveThreads &driveThreads()
{
    static DriveThreads *const threads = new DriveThreads;
    return *threads;
}

} // namespace

void DriveList::start(const Request &request)
{
    // The reading's thread makes file-system calls only; what it found is
    // sorted and shown here. Nothing in it needs the process's teardown not
    // to have happened: the program ends without one.
    const QString cwd = QDir::toNativeSeparators(QDir::currentPath());
    QObject *relay = readingRelay();
    const bool posted = driveThreads().post(
        request.root, [relay, probe = m_source.probe, patterns = m_patterns, request, cwd,
                       self = QPointer<DriveList>(this)]() mutable {
            DriveAnswer answer;
            if (request.label)
                answer.label = volumeLabel(request.root);
            QString folder = request.folder;
            if (request.probe) {
                // The drive's current folder: the start folder when it lies on this drive.
                folder = probe(request.root) ? (liesOn(cwd, request.root) ? cwd : request.root) : QString();
            } else if (!request.arguments.isEmpty()) {
                answer.roster = openableArgument(request.arguments, &answer.named);
                folder = answer.roster.isEmpty() ? QString() : QFileInfo(answer.roster).absolutePath();
            }
            if (!folder.isEmpty()) {
                answer.folder = readFolder(folder);
                if (answer.folder.ok)
                    answer.files = readFiles(answer.folder.path, patterns);
                answer.ready = answer.folder.ok && answer.files.ok;
            }
            QMetaObject::invokeMethod(relay, [self = std::move(self), root = request.root,
                                              answer = std::move(answer)] {
                if (self)
                    self->onAnswered(root, answer);
            }, Qt::QueuedConnection);
        });
    if (!posted) {
        // No thread to be had: the drive is as good as not ready.
        m_reading.insert(request.root, request);
        DriveAnswer none;
        if (!request.arguments.isEmpty())
            none.named = QDir::cleanPath(request.arguments.first()); // text only: this is the window's thread
        onAnswered(request.root, none);
        return;
    }
    m_reading.insert(request.root, request);
}

void DriveList::onAnswered(const QString &root, const DriveAnswer &answer)
{
    const Request request = m_reading.take(root);
    if (const auto next = m_next.find(root); next != m_next.end()) {
        const Request waiting = *next;
        m_next.erase(next);
        if (!waiting.serial || waiting.serial == m_serial)
            start(waiting);
    }
    if (const int index = findData(request.root); index >= 0 && !answer.label.isEmpty())
        setItemText(index, driveText(request.root, answer.label));
    if (!request.serial || request.serial != m_serial)
        return; // a label, or an answer no longer wanted
    setWaiting(false);
    if (request.probe && !answer.ready) {
        // No medium, no permission, no thread: the entry stays chosen long
        // enough to say so, then the list returns to the drive in use.
        const QString text = QStringLiteral("驱动器未就绪：") + currentText();
        QToolTip::showText(mapToGlobal(QPoint(0, height())), text, this, {}, kNotReadyMs);
        setToolTip(text);
        QTimer::singleShot(kNotReadyMs, this, [this, serial = m_serial] {
            setToolTip({});
            if (serial != m_serial)
                return;
            QSignalBlocker block(this);
            setCurrentIndex(m_current);
        });
        return;
    }
    const bool roster = !request.arguments.isEmpty();
    if (answer.ready) {
        if (request.probe)
            m_current = findData(request.root);
        else
            selectDriveOf(answer.folder.path);
        m_folder = answer.folder;
        m_files = answer.files;
        emit folderRead(QDir::toNativeSeparators(m_folder.path));
    }
    if (roster && !answer.roster.isEmpty())
        emit fileFound(answer.roster);
    else if (roster)
        emit fileNotFound(answer.named);
}

void DriveList::setWaiting(bool waiting)
{
    if (waiting == m_waiting)
        return;
    m_waiting = waiting;
    emit waitingChanged(waiting);
}

namespace {

// A name wider than its list shows whole in a tool tip over it.
bool showWholeName(QListWidget *list, QEvent *event, const QStyleOptionViewItem &option)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto *help = static_cast<QHelpEvent *>(event);
    QListWidgetItem *item = list->itemAt(help->pos());
    const QModelIndex index = list->indexFromItem(item);
    const QRect rect = list->visualItemRect(item);
    const int needed = index.isValid() ? list->itemDelegate()->sizeHint(option, index).width() : 0;
    if (item && (rect.left() < 0 || rect.left() + needed > list->viewport()->width()))
        QToolTip::showText(help->globalPos(), item->text().trimmed(), list->viewport(), rect);
    else
        QToolTip::hideText();
    return true;
}

} // namespace

DirList::DirList(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (item)
            emit folderOpened(item->data(kPathRole).toString());
    });
}

bool DirList::viewportEvent(QEvent *event)
{
    QStyleOptionViewItem option;
    if (event->type() == QEvent::ToolTip)
        initViewItemOption(&option);
    return showWholeName(this, event, option) || QListWidget::viewportEvent(event);
}

void DirList::showFolder(FolderContents folder)
{
    sortNatural(folder.subfolders);
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

bool FileList::viewportEvent(QEvent *event)
{
    QStyleOptionViewItem option;
    if (event->type() == QEvent::ToolTip)
        initViewItemOption(&option);
    return showWholeName(this, event, option) || QListWidget::viewportEvent(event);
}

void FileList::setPattern(const QString &pattern)
{
    m_patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

void FileList::showFiles(FileContents files)
{
    sortNatural(files.names);
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
