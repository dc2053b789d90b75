#include "ui/filecontrols.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>

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

void sortNatural(QStringList &names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
}

} // namespace

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DriveList::onActivated);
    refresh();
}

QStringList DriveList::availableDrives()
{
    QStringList roots;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        roots << QDir::toNativeSeparators(drive.absoluteFilePath());
#else
    roots << QStringLiteral("/");
    static const QStringList skipped = {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
                                        QStringLiteral("/run"), QStringLiteral("/snap"), QStringLiteral("/boot"),
                                        QStringLiteral("/System"), QStringLiteral("/private")};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || root == QLatin1String("/") || roots.contains(root))
            continue;
        const bool system = std::any_of(skipped.begin(), skipped.end(), [&](const QString &s) {
            return root == s || root.startsWith(s + QLatin1Char('/'));
        });
        if (!system)
            roots << root;
    }
#endif
    return roots;
}

void DriveList::refresh()
{
    clear();
    for (const QString &root : availableDrives())
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
    m_current = count() > 0 ? 0 : -1;
}

void DriveList::selectDriveOf(const QString &path)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const bool holds = native.startsWith(root, Qt::CaseInsensitive) &&
                           (root.endsWith(QDir::separator()) || native.size() == root.size() ||
                            native.at(root.size()) == QDir::separator());
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
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

void DriveList::onActivated(int index)
{
    const QString root = itemData(index).toString();
    if (index == m_current)
        return;
    if (!readableDir(root)) {
        // No medium or no permission: keep the lists as they were.
        QSignalBlocker block(this);
        setCurrentIndex(m_current);
        return;
    }
    m_current = index;
    // The drive's current folder: the start folder when it lies on this drive.
    const QString cwd = QDir::toNativeSeparators(QDir::currentPath());
    emit driveChanged(cwd.startsWith(root, Qt::CaseInsensitive) ? cwd : root);
}

DirList::DirList(QWidget *parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
}

bool DirList::setPath(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
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
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
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
