#include "singledraw/form1.h"

#include "singledraw/classicframe.h"

#include "core/roster.h"
#include "core/captions.h"
#include "ui/colorbutton.h"
#include "core/platform.h"
#include "core/rosterfailure.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <utility>

namespace qh {

namespace {

constexpr FontSpec kSong105{FontFace::SongTi, 10.5};
constexpr FontSpec kSong12{FontFace::SongTi, 12};

// Client area 5340 x 2775: Text1 lies right of it and Label3..Label6 below it;
// they exist but are never seen at this size.
constexpr int kClientWidth = 5340;
constexpr int kClientHeight = 2775;

using C = Form1Control;
using Row = ControlSpec<C>;

// Each draw mode's option button.
constexpr std::array<std::pair<DrawOption, C>, kDrawModes.size()> kModeOptions{{
    {DrawOption::Repeating, C::RepeatingOption},
    {DrawOption::All, C::AllOption},
    {DrawOption::Boys, C::BoysOption},
    {DrawOption::Girls, C::GirlsOption},
}};
constexpr C optionOf(DrawOption mode) { return std::ranges::find(kModeOptions, mode, &std::pair<DrawOption, C>::first)->second; }

// A mode option: name, caption and colour from the mode table.
constexpr Row modeOption(DrawOption mode, int left, int tabIndex, const char *toolTip)
{
    const GroupSpec &m = modeSpec(mode);
    return {.kind = ControlKind::OptionButton, .name = m.option, .id = optionOf(mode), .caption = m.caption,
            .left = left, .top = 240, .width = 1000, .height = 300, .font = kSong105, .back = m.color,
            .tabIndex = tabIndex, .toolTip = toolTip, .container = C::ModeFrame};
}

constexpr std::array<Row, 14> kLayout{{
    {.kind = ControlKind::Button, .name = "Command3", .id = C::Exit, .caption = "退出程序",
     .left = 4200, .top = 1440, .width = 1000, .height = 555, .font = kSong105, .tabIndex = 13},
    {.kind = ControlKind::ColorButton, .name = "Command1", .id = C::Draw, .caption = "a",
     .left = 1360, .top = 1440, .width = 2600, .height = 555, .font = {FontFace::SongTi, 14.25},
     .back = colors::LightPink, .tabIndex = 11, .toolTip = "青禾抽签,人人机会平等."},
    {.kind = ControlKind::TextBox, .name = "Text1", .id = C::Text, .caption = "Text1\r\n",
     .left = 5880, .top = 960, .width = 2850, .height = 1575, .font = kSong12,
     .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 7},
    {.kind = ControlKind::Frame, .name = "Frame1", .id = C::ModeFrame, .caption = "方式选择",
     .left = 120, .top = 2040, .width = 5000, .height = 615, .font = kSong105},
    modeOption(DrawOption::Girls, 3840, 5, " 女同学每人一次机会."),
    modeOption(DrawOption::Boys, 2685, 4, " 男同学每人一次机会."),
    modeOption(DrawOption::All, 1515, 3, " 所有同学每人一次机会."),
    modeOption(DrawOption::Repeating, 360, 2, "全体同学,青禾抽签."),
    {.kind = ControlKind::Button, .name = "Command2", .id = C::ToSeatChart, .caption = "转平铺式",
     .left = 120, .top = 1440, .width = 1000, .height = 555, .font = kSong105, .tabIndex = 0},
    // The name display: one line, centred; long names shrink rather than being cut.
    {.kind = ControlKind::FitLabel, .name = "Label1", .id = C::Name, .caption = "赵钱孙李",
     .left = 120, .top = 120, .width = 5115, .height = 1245, .font = {FontFace::LiShu, 60},
     .back = colors::DarkBlue, .fore = colors::White, .align = Qt::AlignCenter, .wordWrap = false,
     .border = true},
    {.kind = ControlKind::Label, .name = "Label6", .id = C::GirlLast, .caption = "Label6",
     .left = 7800, .top = 5520, .width = 1575, .height = 615, .font = kSong12},
    {.kind = ControlKind::Label, .name = "Label5", .id = C::BoyLast, .caption = "Label5",
     .left = 5205, .top = 5520, .width = 1695, .height = 495, .font = kSong12},
    {.kind = ControlKind::Label, .name = "Label4", .id = C::AllLast, .caption = "Label4",
     .left = 2595, .top = 5520, .width = 1695, .height = 495, .font = kSong12},
    {.kind = ControlKind::Label, .name = "Label3", .id = C::Label3, .caption = "Label3",
     .left = 360, .top = 5520, .width = 1335, .height = 735, .font = kSong12},
}};

} // namespace

std::span<const ControlSpec<Form1Control>> form1Layout()
{
    return kLayout;
}

DrawView firstView(std::span<const ControlSpec<Form1Control>> table)
{
    const auto caption = [&](C id) { return QString::fromUtf8(rowOf(table, id).caption); };
    return {caption(C::Name),    caption(C::Draw),    rowOf(table, C::Draw).back, caption(C::Text),
            caption(C::AllLast), caption(C::BoyLast), caption(C::GirlLast),       {}};
}

Form1::Form1(FormContext ctx)
    : ViewForm(QStringLiteral("Form1")), m_ctx(std::move(ctx)), m_state(m_ctx.clock, m_ctx.random)
{
}

void Form1::build(FormWindow &window)
{
    // The caption stored with the window; the load replaces it at once.
    window.setWindowTitle(singleDrawStoredCaption());
    setClientSizeTwips(window, kClientWidth, kClientHeight);
    buildFrom(window, kLayout);
    m_state.controlsCreated(setFirstView(firstView(kLayout)));

    auto *draw = control<ColorButton>(C::Draw);
    // Drawing in front of a slide show leaves it the keyboard (Windows).
    window.setNoActivateButton(draw);
    control<QPlainTextEdit>(C::Text)->setTabChangesFocus(true); // Tab moves on, as in a classic text box
    useClassicFrame(*control<QGroupBox>(C::ModeFrame));

    // Only a change of selection runs a mode's steps: toggled(true) is not
    // emitted for a click on the option that is already selected.
    // Tab stops at the selected option only, as in a classic option group;
    // the arrow keys move the selection within the frame.
    for (const auto &entry : kModeOptions) {
        const DrawOption option = entry.first;
        auto *button = control<QRadioButton>(entry.second);
        button->setFocusPolicy(Qt::ClickFocus);
        QObject::connect(button, &QRadioButton::toggled, button, [this, button, option](bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
            if (checked)
                onOptionSelected(option);
        });
    }
    QObject::connect(draw, &QPushButton::clicked, draw, [this] { onDrawPressed(); });
    auto *toSeatChart = control<QPushButton>(C::ToSeatChart);
    QObject::connect(toSeatChart, &QPushButton::clicked, toSeatChart,
                     [this] { m_ctx.switcher.switchTo(FormId::SeatChart); });
    auto *exit = control<QPushButton>(C::Exit);
    QObject::connect(exit, &QPushButton::clicked, exit, [this] { m_ctx.platform.endProcess(); });
}

bool Form1::load()
{
    window()->setWindowTitle(windowCaption());
    // A roster that became unreadable since the seat chart loaded it ends the
    // program with the same box as there.
    const QString path = m_ctx.rosterPath();
    RosterStatus status = RosterStatus::Loaded;
    const bool loaded = m_state.load([&](RosterLists &lists) {
        status = readRoster(path, m_state.maxStudents(), lists);
        return status == RosterStatus::Loaded;
    });
    if (!loaded) {
        reportRosterFailure(m_ctx.platform, status, path);
        return false;
    }
    showView(m_state.view());
    // Runs Option2's selection steps, exactly as a click would.
    control<QRadioButton>(optionOf(DrawOption::All))->setChecked(true);
    return true;
}

void Form1::shown()
{
    if (window())
        control<QPushButton>(C::ToSeatChart)->setFocus(Qt::OtherFocusReason);
}

void Form1::onOptionSelected(DrawOption option)
{
    runStep([&] { m_state.select(option); });
}

void Form1::onDrawPressed()
{
    runStep([&] { m_state.press(); });
}

template <class Step>
void Form1::runStep(Step &&step)
{
    // Text1 takes typing (Tab reaches it), so its text is read back first:
    // emptying it must not be skipped as "unchanged".
    if (window()) {
        const QString typed = control<QPlainTextEdit>(C::Text)->toPlainText();
        m_state.textTyped(typed);
        lastShown().text = typed;
    }
    step();
    showView(m_state.view());
}

void Form1::applyChanges(const DrawView &now, const DrawView &before)
{
    QWidget &draw = *control<ColorButton>(C::Draw);
    applyChange(*control<QLabel>(C::Name), now.name, before.name, setCaption);
    applyChange(draw, now.buttonCaption, before.buttonCaption, setCaption);
    applyChange(draw, now.buttonColor, before.buttonColor, setBackColor);
    applyChange(*control<QPlainTextEdit>(C::Text), now.text, before.text, setCaption);
    applyChange(*control<QLabel>(C::AllLast), now.allLastText, before.allLastText, setCaption);
    applyChange(*control<QLabel>(C::BoyLast), now.boyLastText, before.boyLastText, setCaption);
    applyChange(*control<QLabel>(C::GirlLast), now.girlLastText, before.girlLastText, setCaption);
}

} // namespace qh
