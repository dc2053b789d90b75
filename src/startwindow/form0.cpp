#include "startwindow/form0.h"

#include "core/finalname.h"
#include "core/captions.h"
#include "ui/filecontrols.h"
#include "core/platform.h"
#include "core/rosterfailure.h"

#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>

namespace qh {

namespace {

using K = ControlKind;
constexpr auto C = controlId<Form0Control>;
using enum Form0Control;
constexpr FontSpec kSong1575{FontFace::SongTi, 15.75};
constexpr FontSpec kSong18{FontFace::SongTi, 18};
constexpr FontSpec kSong2175{FontFace::SongTi, 21.75};

// In stored order: a row lies above the rows after it.
const ControlSpec kLayout[] = {
    {.kind = K::ColorButton, .name = "Command2", .id = C(Exit), .caption = "退出程序", .left = 11640, .top = 5040,
     .width = 2500, .height = 800, .font = kSong2175, .tabIndex = 8},
    {.kind = K::FileList, .name = "File1", .id = C(Files), .left = 11400, .top = 2040, .width = 2655, .height = 2295,
     .font = kSong1575, .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 7,
     .fileFilter = "*.txt"},
    {.kind = K::DirList, .name = "Dir1", .id = C(Folders), .left = 7800, .top = 2640, .width = 2895, .height = 1815,
     .font = kSong1575, .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 6},
    {.kind = K::DriveList, .name = "Drive1", .id = C(Drives), .left = 7800, .top = 2040, .width = 2895, .height = 435,
     .font = kSong1575, .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 5},
    {.kind = K::ColorButton, .name = "Command1", .id = C(Start), .caption = "开始使用", .left = 7800, .top = 5040,
     .width = 2500, .height = 800, .font = kSong2175, .tabIndex = 0},
    {.kind = K::Picture, .name = "Image3", .id = C(Corner), .left = 0, .top = 0, .width = 720, .height = 720,
     .picture = ":/qinghe/icons/corner.ico"},
    {.kind = K::Line, .name = "Line1", .id = C(Rule), .left = 1680, .top = 7320, .width = 14040 - 1680, .height = 0,
     .fore = colors::RuleBlue},
    {.kind = K::Label, .name = "Label4", .id = C(CornerLabel), .left = 13800, .top = 1080, .width = 765, .height = 495,
     .font = kSong18, .back = colors::White, .fore = colors::ButtonText, .tabIndex = 4},
    // A title whose face is taller than its box shrinks rather than lose its lower strokes.
    {.kind = K::FitLabel, .name = "Label3", .id = C(Title), .caption = "青禾抽签 人人平等 ", .left = 1440, .top = 240,
     .width = 12525, .height = 1215, .font = {FontFace::LiShu, 72}, .back = colors::White, .fore = colors::Red, .tabIndex = 3},
    {.kind = K::Label, .name = "Label1", .id = C(Motto), .caption = "因为平等，需人人兴奋愉悦参与。", .left = 2040,
     .top = 6360, .width = 12045, .height = 495, .font = kSong18, .back = colors::White, .fore = colors::ButtonText,
     .tabIndex = 2},
    {.kind = K::Picture, .name = "Image2", .id = C(Emblem), .left = 4680, .top = 4320, .width = 570, .height = 585,
     .picture = ":/qinghe/images/emblem.jpg"},
    {.kind = K::Picture, .name = "Image1", .id = C(Photo), .left = 1800, .top = 2040, .width = 4800, .height = 3600,
     .toolTip = "学生名单在“名单.txt”文件中,与本程序放在同一目录下.", .picture = ":/qinghe/images/photo.jpg"},
    // The caption ends in the maker's address, filled in when the window is built.
    {.kind = K::Label, .name = "Label2", .id = C(Link), .caption = "软件下载及使用说明  ", .left = 5040, .top = 7560,
     .width = 6615, .height = 495, .font = kSong1575, .back = colors::White, .fore = colors::ButtonText,
     .tabIndex = 1},
};

// Clicks on the link label open the instructions page.
class ClickFilter final : public QObject {
public:
    ClickFilter(QObject *parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
                m_onClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

// The file a drag carries: the first of its URLs when that is a local file;
// empty for anything else (a folder, a web address, text).
QString draggedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    const QUrl first = mime->urls().value(0);
    if (!first.isLocalFile())
        return {};
    const QString path = first.toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}

// A file dropped on the window is chosen; anything else is refused while it
// is dragged. The drop only ever copies: a "move" would let the file manager
// delete the teacher's roster.
class DropFilter final : public QObject {
public:
    DropFilter(QObject *parent, std::function<bool(const QString &)> onDrop)
        : QObject(parent), m_onDrop(std::move(onDrop))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QString path = draggedFile(drop->mimeData());
            const bool wanted = !path.isEmpty() && (drop->possibleActions() & Qt::CopyAction) &&
                                (event->type() != QEvent::Drop || m_onDrop(path));
            drop->setDropAction(Qt::CopyAction);
            drop->setAccepted(wanted);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<bool(const QString &)> m_onDrop;
};

} // namespace

Form0::Form0(Platform &platform, WindowSwitcher &switcher, QUrl instructions)
    : Form(QStringLiteral("Form0")), m_platform(platform), m_switcher(switcher),
      m_instructions(std::move(instructions))
{
}

std::span<const ControlSpec> Form0::layout()
{
    return kLayout;
}

void Form0::build(FormWindow &window)
{
    window.setWindowTitle(startStoredCaption());
    setClientSizeTwips(window, 14865, 8370);
    window.setBackground(colors::White);

    m_controls = buildControls(window, kLayout);
    auto *link = m_controls.get<QLabel>(Link);
    link->setText(link->text() + makerAddress() + QLatin1Char(' '));
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(new ClickFilter(link, [this] { openInstructions(); }));
    window.setAcceptDrops(true);
    window.installEventFilter(new DropFilter(&window, [this](const QString &path) { return chooseFile(path); }));

    m_drive = m_controls.get<DriveList>(Drives);
    m_dir = m_controls.get<DirList>(Folders);
    m_files = m_controls.get<FileList>(Files);

    // The chosen drive's folder and files come read already, off this thread.
    m_drive->setFilePatterns(m_files->patterns());
    QObject::connect(m_drive, &DriveList::driveChanged, m_dir, [this] {
        m_files->showFiles(m_drive->files());
        m_dir->showFolder(m_drive->folder());
    });
    QObject::connect(m_dir, &DirList::pathChanged, m_files, [this](const QString &path) { m_files->setPath(path); });
    QObject::connect(m_files, &FileList::fileSelected, m_files,
                     [this](const QString &name) { onFileSelected(name); });
    QObject::connect(m_controls.get<QPushButton>(Start), &QPushButton::clicked, &window,
                     [this] { m_switcher.switchTo(FormId::SeatChart); });
    QObject::connect(m_controls.get<QPushButton>(Exit), &QPushButton::clicked, &window,
                     [this] { m_platform.endProcess(); });

    // The lists start in the program's working folder (the folder list passes
    // its path on to the file list).
    const QString cwd = QDir::currentPath();
    m_drive->selectDriveOf(cwd);
    m_dir->setPath(cwd);
}

bool Form0::load()
{
    // Minimised behind the start window; the link label opens it normally.
    if (!m_instructions.isEmpty())
        m_platform.openUrlMinimised(m_instructions);
    window()->setWindowTitle(windowCaption());
    m_controls.get<QPushButton>(Start)->setEnabled(false);
    m_controls.get<QLabel>(Motto)->setText(
        QStringLiteral("趣味教学软件，便于学生自主学习,也可延伸开发出各学科多种教学游戏。"));
    // A class opened from a shortcut: chosen before the window shows.
    const QString file = std::exchange(m_fileToOpen, QString());
    if (!file.isEmpty() && !chooseFile(file))
        showCannotOpen(m_platform, resolvedPath(file));
    return true;
}

void Form0::shown()
{
    focusFirstControl();
}

void Form0::focusFirstControl()
{
    // The window's own rule: the first control in tab order that can take
    // the focus. That is 开始使用 once a roster is chosen, so Enter starts.
    QWidget *first = m_controls.get<QPushButton>(Start);
    QWidget *w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
        w = w->nextInFocusChain();
    } while (w && w != first);
}

void Form0::teardown()
{
    m_controls.clear();
    m_drive = nullptr;
    m_dir = nullptr;
    m_files = nullptr;
}

void Form0::onFileSelected(const QString &fileName)
{
    setFinalName(m_dir->path(), fileName);
}

void Form0::setFinalName(const QString &folder, const QString &fileName)
{
    finalname = composeFinalName(QDir::toNativeSeparators(folder), fileName);
    m_controls.get<QPushButton>(Start)->setEnabled(true);
}

bool Form0::chooseFile(const QString &path)
{
    const QString file = openableFile(path);
    if (file.isEmpty() || !m_files)
        return false;
    const QFileInfo info(file);
    const QString folder = info.absolutePath();
    const QString shownBefore = m_dir->path();
    m_drive->selectDriveOf(folder);
    // File1 follows Dir1 when the folder changes; in the same folder it lists
    // again, as the file may be new there. A folder that cannot be listed
    // leaves the lists where they were, with no file selected.
    const bool shown = m_dir->setPath(folder);
    if (shown && m_dir->path() == shownBefore)
        m_files->setPath(folder);
    m_files->selectFile(shown ? info.fileName() : QString());
    setFinalName(folder, info.fileName());
    focusFirstControl();
    return true;
}

void Form0::openInstructions()
{
    if (!m_instructions.isEmpty())
        m_platform.openUrl(m_instructions);
}

} // namespace qh
