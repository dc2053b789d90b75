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

#include <array>

namespace qh {

namespace {

constexpr FontSpec kSong105{FontFace::SongTi, 10.5};
constexpr FontSpec kSong12{FontFace::SongTi, 12};

// Client area 5340 x 2775: Text1 lies right of it and Label3..Label6 below it;
// they exist but are never seen at this size.
constexpr int kClientWidth = 5340;
constexpr int kClientHeight = 2775;

constexpr std::array<ControlSpec, 14> kLayout{{
    {.kind = ControlKind::Button, .name = "Command3", .caption = "退出程序",
     .left = 4200, .top = 1440, .width = 1000, .height = 555, .font = kSong105, .tabIndex = 13},
    {.kind = ControlKind::ColorButton, .name = "Command1", .caption = "a",
     .left = 1360, .top = 1440, .width = 2600, .height = 555, .font = {FontFace::SongTi, 14.25},
     .back = colors::LightPink, .tabIndex = 11, .toolTip = "青禾抽签,人人机会平等."},
    {.kind = ControlKind::TextBox, .name = "Text1", .caption = "Text1\r\n",
     .left = 5880, .top = 960, .width = 2850, .height = 1575, .font = kSong12,
     .back = colors::WindowBackground, .fore = colors::WindowText, .tabIndex = 7},
    {.kind = ControlKind::Frame, .name = "Frame1", .caption = "方式选择",
     .left = 120, .top = 2040, .width = 5000, .height = 615, .font = kSong105},
    // The mode options: name, caption and colour from the mode table.
    {.kind = ControlKind::OptionButton, .name = kDrawModes[3].option, .caption = kDrawModes[3].caption,
     .left = 3840, .top = 240, .width = 1000, .height = 300, .font = kSong105,
     .back = kDrawModes[3].color, .tabIndex = 5, .toolTip = " 女同学每人一次机会.", .container = "Frame1"},
    {.kind = ControlKind::OptionButton, .name = kDrawModes[2].option, .caption = kDrawModes[2].caption,
     .left = 2685, .top = 240, .width = 1000, .height = 300, .font = kSong105,
     .back = kDrawModes[2].color, .tabIndex = 4, .toolTip = " 男同学每人一次机会.", .container = "Frame1"},
    {.kind = ControlKind::OptionButton, .name = kDrawModes[1].option, .caption = kDrawModes[1].caption,
     .left = 1515, .top = 240, .width = 1000, .height = 300, .font = kSong105,
     .back = kDrawModes[1].color, .tabIndex = 3, .toolTip = " 所有同学每人一次机会.", .container = "Frame1"},
    {.kind = ControlKind::OptionButton, .name = kDrawModes[0].option, .caption = kDrawModes[0].caption,
     .left = 360, .top = 240, .width = 1000, .height = 300, .font = kSong105,
     .back = kDrawModes[0].color, .tabIndex = 2, .toolTip = "全体同学,青禾抽签.", .container = "Frame1"},
    {.kind = ControlKind::Button, .name = "Command2", .caption = "转平铺式",
     .left = 120, .top = 1440, .width = 1000, .height = 555, .font = kSong105, .tabIndex = 0},
    // The name display: one line, centred; long names shrink rather than being cut.
    {.kind = ControlKind::FitLabel, .name = "Label1", .caption = "赵钱孙李",
     .left = 120, .top = 120, .width = 5115, .height = 1245, .font = {FontFace::LiShu, 60},
     .back = colors::DarkBlue, .fore = colors::White, .align = Qt::AlignCenter, .wordWrap = false,
     .border = true},
    {.kind = ControlKind::Label, .name = "Label6", .caption = "Label6",
     .left = 7800, .top = 5520, .width = 1575, .height = 615, .font = kSong12},
    {.kind = ControlKind::Label, .name = "Label5", .caption = "Label5",
     .left = 5205, .top = 5520, .width = 1695, .height = 495, .font = kSong12},
    {.kind = ControlKind::Label, .name = "Label4", .caption = "Label4",
     .left = 2595, .top = 5520, .width = 1695, .height = 495, .font = kSong12},
    {.kind = ControlKind::Label, .name = "Label3", .caption = "Label3",
     .left = 360, .top = 5520, .width = 1335, .height = 735, .font = kSong12},
}};

} // namespace

std::span<const ControlSpec> form1Layout()
{
    return kLayout;
}

Form1::Form1(FormContext ctx)
    : Form(QStringLiteral("Form1")), m_ctx(std::move(ctx)), m_state(m_ctx.clock, m_ctx.random)
{
}

void Form1::build(FormWindow &window)
{
    // The caption stored with the window; the load replaces it at once.
    window.setWindowTitle(singleDrawStoredCaption());
    setClientSizeTwips(window, kClientWidth, kClientHeight);
    m_controls = buildControls(window, kLayout);
    m_state.controlsCreated();

    m_name = m_controls.get<QLabel>("Label1");
    m_draw = m_controls.get<ColorButton>("Command1");
    // Drawing in front of a slide show leaves it the keyboard (Windows).
    window.setNoActivateButton(m_draw);
    m_text = m_controls.get<QPlainTextEdit>("Text1");
    m_text->setTabChangesFocus(true); // Tab moves on, as in a classic text box
    m_allLast = m_controls.get<QLabel>("Label4");
    m_boyLast = m_controls.get<QLabel>("Label5");
    m_girlLast = m_controls.get<QLabel>("Label6");
    m_toSeatChart = m_controls.at("Command2");

    useClassicFrame(*m_controls.get<QGroupBox>("Frame1"));

    // Only a change of selection runs a mode's steps: toggled(true) is not
    // emitted for a click on the option that is already selected.
    // Tab stops at the selected option only, as in a classic option group;
    // the arrow keys move the selection within the frame.
    for (std::size_t i = 0; i < kDrawModes.size(); ++i) {
        auto *button = m_controls.get<QRadioButton>(kDrawModes[i].option);
        button->setFocusPolicy(Qt::ClickFocus);
        const auto option = static_cast<DrawOption>(i + 1);
        QObject::connect(button, &QRadioButton::toggled, button, [this, button, option](bool checked) {
            button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
            if (checked)
                onOptionSelected(option);
        });
    }
    QObject::connect(m_draw, &QPushButton::clicked, m_draw, [this] { onDrawPressed(); });
    auto *toSeatChart = m_controls.get<QPushButton>("Command2");
    QObject::connect(toSeatChart, &QPushButton::clicked, toSeatChart,
                     [this] { m_ctx.switcher.switchTo(FormId::SeatChart); });
    auto *exit = m_controls.get<QPushButton>("Command3");
    QObject::connect(exit, &QPushButton::clicked, exit, [this] { m_ctx.platform.endProcess(); });
}

bool Form1::load()
{
    window()->setWindowTitle(windowCaption());
    const DrawView before = m_state.view();
    // A roster that became unreadable since the seat chart loaded it ends the
    // program with the same box as there.
    const bool loaded = m_state.load([this](RosterLists &lists) {
        return readRoster(m_ctx.rosterPath(), m_state.maxStudents(), lists);
    });
    if (!loaded) {
        reportRosterFailure(m_ctx.platform);
        return false;
    }
    showChanges(before);
    // Runs Option2's selection steps, exactly as a click would.
    m_controls.get<QRadioButton>("Option2")->setChecked(true);
    return true;
}

void Form1::teardown()
{
    m_controls.clear();
    m_name = nullptr;
    m_draw = nullptr;
    m_text = nullptr;
    m_allLast = m_boyLast = m_girlLast = nullptr;
    m_toSeatChart = nullptr;
}

void Form1::shown()
{
    if (m_toSeatChart)
        m_toSeatChart->setFocus(Qt::OtherFocusReason);
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
    if (m_text)
        m_state.textTyped(m_text->toPlainText());
    const DrawView before = m_state.view();
    step();
    showChanges(before);
}

void Form1::showChanges(const DrawView &before)
{
    if (!m_name)
        return;
    const DrawView &now = m_state.view();
    if (now.name != before.name)
        m_name->setText(now.name);
    if (now.buttonCaption != before.buttonCaption)
        m_draw->setText(now.buttonCaption);
    if (now.buttonColor != before.buttonColor)
        setBackColor(*m_draw, now.buttonColor);
    if (now.text != before.text)
        m_text->setPlainText(now.text);
    if (now.allLastText != before.allLastText)
        m_allLast->setText(now.allLastText);
    if (now.boyLastText != before.boyLastText)
        m_boyLast->setText(now.boyLastText);
    if (now.girlLastText != before.girlLastText)
        m_girlLast->setText(now.girlLastText);
}

} // namespace qh
