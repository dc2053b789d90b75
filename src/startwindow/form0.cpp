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
using enum Form0Control;
constexpr FontSpec kSong1575{FontFace::SongTi, 15.75};
constexpr FontSpec kSong18{FontFace::SongTi, 18};
constexpr FontSpec kSong2175{FontFace::SongTi, 21.75};

// In stored order: a row lies above the rows after it.
const ControlSpec<Form0Control> kLayout[] = {
    {.kind = K::ColorButton, .name = "Command2", .id = Exit, .caption = "退出程序", .left = 11640, .top = 5040,
     .width = 2500, .height = 800, .font = kSong2175, .tabIndex = 8},
    {.kind = K::FileList, .name = "File1", .id = Files, .left = 11400, .top = 2040, .width = 2655, .height = 2295,
     .font = kSong1575, .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 7,
     .fileFilter = "*.txt"},
    {.kind = K::DirList, .name = "Dir1", .id = Folders, .left = 7800, .top = 2640, .width = 2895, .height = 1815,
     .font = kSong1575, .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 6},
    {.kind = K::DriveList, .name = "Drive1", .id = Drives, .left = 7800, .top = 2040, .width = 2895, .height = 435,
     .font = kSong1575, .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 5},
    {.kind = K::ColorButton, .name = "Command1", .id = Start, .caption = "开始使用", .left = 7800, .top = 5040,
     .width = 2500, .height = 800, .font = kSong2175, .tabIndex = 0},
    {.kind = K::Picture, .name = "Image3", .id = Corner, .left = 0, .top = 0, .width = 720, .height = 720,
     .picture = ":/qinghe/icons/corner.ico"},
    {.kind = K::Line, .name = "Line1", .id = Rule, .left = 1680, .top = 7320, .width = 14040 - 1680, .height = 0,
     .fore = colors::RuleBlue},
    {.kind = K::Label, .name = "Label4", .id = CornerLabel, .left = 13800, .top = 1080, .width = 765, .height = 495,
     .font = kSong18, .back = colors::White, .fore = colors::ButtonText, .tabIndex = 4},
    // A title whose face is taller than its box shrinks rather than lose its lower strokes.
    {.kind = K::FitLabel, .name = "Label3", .id = Title, .caption = "青禾抽签 人人平等 ", .left = 1440, .top = 240,
     .width = 12525, .height = 1215, .font = {FontFace::LiShu, 72}, .back = colors::White, .fore = colors::Red, .tabIndex = 3},
    {.kind = K::Label, .name = "Label1", .id = Motto, .caption = "因为平等，需人人兴奋愉悦参与。", .left = 2040,
     .top = 6360, .width = 12045, .height = 495, .font = kSong18, .back = colors::White, .fore = colors::ButtonText,
     .tabIndex = 2},
    {.kind = K::Picture, .name = "Image2", .id = Emblem, .left = 4680, .top = 4320, .width = 570, .height = 585,
     .picture = ":/qinghe/images/emblem.jpg"},
    {.kind = K::Picture, .name = "Image1", .id = Photo, .left = 1800, .top = 2040, .width = 4800, .height = 3600,
     .toolTip = "学生名单在“名单.txt”文件中,与本程序放在同一目录下.", .picture = ":/qinghe/images/photo.jpg"},
    // The caption ends in the maker's address, filled in when the window is built.
    {.kind = K::Label, .name = "Label2", .id = Link, .caption = "软件下载及使用说明  ", .left = 5040, .top = 7560,
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

// The path a drag carries: the first of its URLs when that is a local one;
// empty for anything else (a web address, text). Whether it is a file is
// asked off this thread once it is dropped: a drive can take long to say.
QString draggedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    const QUrl first = mime->urls().value(0);
    return first.isLocalFile() ? first.toLocalFile() : QString();
}

// A local path dropped on the window is looked at as a roster; anything else
// is refused while it is dragged. The drop only ever copies: a "move" would
// let the file manager delete the teacher's roster.
class DropFilter final : public QObject {
public:
    DropFilter(QObject *parent, std::function<void(const QString &)> onDrop)
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
            const bool wanted = !path.isEmpty() && (drop->possibleActions() & Qt::CopyAction);
            drop->setDropAction(Qt::CopyAction);
            drop->setAccepted(wanted);
            if (wanted && event->type() == QEvent::Drop)
                m_onDrop(path);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<void(const QString &)> m_onDrop;
};

} // namespace

Form0::Form0(Platform &platform, WindowSwitcher &switcher, QUrl instructions)
    : TableForm(QStringLiteral("Form0")), m_platform(platform), m_switcher(switcher),
      m_instructions(std::move(instructions))
{
}

std::span<const ControlSpec<Form0Control>> form0Layout()
{
    return kLayout;
}

void Form0::build(FormWindow &window)
{
    window.setWindowTitle(startStoredCaption());
    setClientSizeTwips(window, 14865, 8370);
    window.setBackground(colors::White);

    buildFrom(window, kLayout);
    auto *link = control<QLabel>(Link);
    link->setText(link->text() + makerAddress() + QLatin1Char(' '));
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(new ClickFilter(link, [this] { openInstructions(); }));
    window.setAcceptDrops(true);
    window.installEventFilter(new DropFilter(&window, [this, &window](const QString &path) {
        // In front, so Enter starts once the roster is found: the drop left
        // the program it was dragged from active.
        window.raise();
        window.activateWindow();
        m_commandLineAsked = false;
        m_drive->openFile({path});
    }));

    m_drive = control<DriveList>(Drives);
    m_dir = control<DirList>(Folders);
    m_files = control<FileList>(Files);

    // Folders and files come read already, off this thread (the drive list
    // reads them); a list waiting for its answer shows the busy pointer.
    m_drive->setFilePatterns(m_files->patterns());
    QObject::connect(m_drive, &DriveList::folderRead, m_dir, [this] {
        m_files->showFiles(m_drive->files());
        m_dir->showFolder(m_drive->folder());
    });
    QObject::connect(m_drive, &DriveList::fileFound, m_dir, [this](const QString &path) { onFileFound(path); });
    QObject::connect(m_drive, &DriveList::fileNotFound, m_dir, [this](const QString &named) {
        if (std::exchange(m_commandLineAsked, false)) {
            showCannotOpen(m_platform, named);
            // The start folder's reading gave way to the roster's.
            if (m_dir && m_dir->path().isEmpty())
                m_drive->openFolder(QDir::currentPath());
        }
    });
    QObject::connect(m_drive, &DriveList::waitingChanged, m_dir, [this](bool waiting) {
        for (QWidget *list : {static_cast<QWidget *>(m_dir), static_cast<QWidget *>(m_files)}) {
            if (waiting)
                list->setCursor(Qt::BusyCursor);
            else
                list->unsetCursor();
        }
    });
    QObject::connect(m_dir, &DirList::folderOpened, m_drive, &DriveList::openFolder);
    QObject::connect(m_files, &FileList::fileSelected, m_files,
                     [this](const QString &name) { onFileSelected(name); });
    QObject::connect(control<QPushButton>(Start), &QPushButton::clicked, &window,
                     [this] { m_switcher.switchTo(FormId::SeatChart); });
    QObject::connect(control<QPushButton>(Exit), &QPushButton::clicked, &window,
                     [this] { m_platform.endProcess(); });

    // The lists start in the program's working folder.
    const QString cwd = QDir::currentPath();
    m_drive->selectDriveOf(cwd);
    m_drive->openFolder(cwd);
}

bool Form0::load()
{
    // Minimised behind the start window; the link label opens it normally.
    if (!m_instructions.isEmpty())
        m_platform.openUrlMinimised(m_instructions);
    window()->setWindowTitle(windowCaption());
    control<QPushButton>(Start)->setEnabled(false);
    control<QLabel>(Motto)->setText(
        QStringLiteral("趣味教学软件，便于学生自主学习,也可延伸开发出各学科多种教学游戏。"));
    // A class opened from a shortcut: chosen when its drive answers, the
    // window showing meanwhile; a box names it when it cannot be opened.
    const QStringList arguments = std::exchange(m_fileToOpen, QStringList());
    if (!arguments.isEmpty()) {
        m_commandLineAsked = true;
        m_drive->openFile(arguments);
    }
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
    QWidget *first = control<QPushButton>(Start);
    QWidget *w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
        w = w->nextInFocusChain();
    } while (w && w != first);
}

void Form0::forgetControls()
{
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
    m_finalName = composeFinalName(QDir::toNativeSeparators(folder), fileName);
    control<QPushButton>(Start)->setEnabled(true);
}

bool Form0::isReading() const
{
    return m_drive && m_drive->isReading();
}

void Form0::onFileFound(const QString &path)
{
    const QFileInfo info(path); // text only: the path is absolute
    const QString folder = info.absolutePath();
    // The lists moved to its folder just before (and File1 listed it again,
    // as the file may be new there). A folder that cannot be listed leaves
    // the lists where they were, with no file selected.
    m_files->selectFile(m_files->path() == folder ? info.fileName() : QString());
    setFinalName(folder, info.fileName());
    focusFirstControl();
}

void Form0::openInstructions()
{
    if (!m_instructions.isEmpty())
        m_platform.openUrl(m_instructions);
}

} // namespace qh
