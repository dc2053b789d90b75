#include "seatchart/form2.h"

#include "core/roster.h"
#include "core/captions.h"
#include "core/platform.h"
#include "core/rosterfailure.h"
#include "core/units.h"
#include "ui/zoom.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

#include <map>
#include <utility>

namespace qh {

namespace {

constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

using Row = ControlSpec<Form2Control>;

// Each group's option button, in the order of kSeatGroups (Option1, Option2, Option3).
constexpr std::array<std::pair<SeatGroup, Form2Control>, kSeatGroups.size()> kGroupOptions{{
    {SeatGroup::All, Form2Control::AllOption},
    {SeatGroup::Boys, Form2Control::BoysOption},
    {SeatGroup::Girls, Form2Control::GirlsOption},
}};

constexpr FontSpec kCardFont{FontFace::HeiTi, 26.25};
constexpr FontSpec kNameFont{FontFace::HeiTi, 14.25};
constexpr FontSpec kBannerFont{FontFace::LiShu, 84.75};
constexpr FontSpec kBarFont{FontFace::SongTi, 15.75};

// One stop of the keyboard order: a control and array index.
struct FocusStop {
    Form2Control control;
    int index = -1;
};

// The keyboard order of the window's buttons; the three options are one stop.
// Built once, when the first seat chart opens.
const std::vector<FocusStop> &focusOrder()
{
    static const std::vector<FocusStop> kOrder = [] {
        std::vector<FocusStop> order;
        const auto cards = [&](int from, int to) {
            for (int s = from; s <= to; ++s)
                order.push_back({Form2Control::Card, s});
        };
        for (int row = 0; row < 5; ++row)
            cards(row * 10 + 1, row * 10 + 9);
        cards(51, 53);
        order.push_back({Form2Control::Arrange});
        order.push_back({Form2Control::AllOption}); // the option group: one stop
        order.push_back({Form2Control::ToSingleDraw});
        cards(54, 59);
        order.push_back({Form2Control::Exit});
        cards(61, 69);
        cards(71, 73);
        cards(75, 77);
        cards(79, 80);
        for (int s : {50, 40, 30, 20, 10, 0, 60, 70, 74, 78, 81})
            order.push_back({Form2Control::Card, s});
        return order;
    }();
    return kOrder;
}

} // namespace

namespace {

std::vector<Row> makeLayout()
{
    // Tab index of each control, from the keyboard order.
    std::array<int, seat::kSeatCount> cardTab{};
    std::map<Form2Control, int> barTab;
    int tab = 0;
    for (const FocusStop &stop : focusOrder()) {
        if (stop.index >= 0)
            cardTab[at(stop.index)] = tab++;
        else if (stop.control == Form2Control::AllOption) // Option1, Option2, Option3 in a row
            for (const auto &option : kGroupOptions)
                barTab[option.second] = tab++;
        else
            barTab[stop.control] = tab++;
    }

    std::vector<Row> table;
    table.reserve(2 * seat::kSeatCount + 8);
    const auto &places = seat::seatPlaces();

    for (int s = 0; s < seat::kSeatCount; ++s) {
        const seat::TwipRect &r = places[at(s)].card;
        Row c;
        c.kind = ControlKind::ColorButton;
        c.name = "Command1";
        c.index = s, c.id = Form2Control::Card;
        c.caption = "23";
        c.left = r.left, c.top = r.top, c.width = r.width, c.height = r.height;
        c.font = kCardFont;
        c.back = colors::ButtonFace;
        c.fore = colors::ButtonText;
        c.tabIndex = cardTab[at(s)];
        c.align = Qt::AlignCenter;
        table.push_back(c);
    }

    const auto barButton = [&](ControlKind kind, Form2Control id, const char *name, const char *caption, int left,
                                Color back) {
        Row c;
        c.kind = kind;
        c.name = name, c.id = id;
        c.caption = caption;
        c.left = left, c.top = 8280, c.width = 1800, c.height = 550;
        c.font = kBarFont;
        c.back = back;
        c.fore = colors::ButtonText;
        c.tabIndex = barTab[id];
        c.align = Qt::AlignCenter;
        table.push_back(c);
    };
    barButton(ControlKind::Button, Form2Control::Exit, "Command3", "退出点名", 360, colors::ButtonFace);
    barButton(ControlKind::Button, Form2Control::ToSingleDraw, "Command2", "转堆叠式", 2832, colors::ButtonFace);
    // The group options, Option3 first as they are stacked, each 2472 twips right of the one before.
    for (int i = static_cast<int>(kGroupOptions.size()) - 1; i >= 0; --i) {
        const auto &[group, id] = kGroupOptions[at(i)];
        const GroupSpec &g = groupSpec(group);
        barButton(ControlKind::OptionButton, id, g.option, g.caption, 7776 + 2472 * i, g.color);
    }
    barButton(ControlKind::Button, Form2Control::Arrange, "Command4", "随机排列", 5304, colors::ButtonFace);

    {
        Row b;
        b.kind = ControlKind::FitLabel;
        b.name = "Label2", b.id = Form2Control::Banner;
        b.caption = "赵钱孙李";
        b.left = seat::kBannerRect.left, b.top = seat::kBannerRect.top;
        b.width = seat::kBannerRect.width, b.height = seat::kBannerRect.height;
        b.font = kBannerFont;
        b.back = colors::Blue;
        b.fore = colors::White;
        b.align = Qt::AlignHCenter | Qt::AlignTop;
        b.wordWrap = false; // one line, shrunk to fit
        table.push_back(b);
    }
    {
        Row line;
        line.kind = ControlKind::Line;
        line.name = "Line1", line.id = Form2Control::Separator;
        line.left = 360, line.top = 8160, line.width = 14520 - 360, line.height = 0;
        line.fore = colors::WindowText;
        table.push_back(line);
    }

    for (int s = 0; s < seat::kSeatCount; ++s) {
        const seat::TwipRect &r = places[at(s)].label;
        Row l;
        l.kind = ControlKind::FitLabel;
        l.name = "Label1";
        l.index = s, l.id = Form2Control::NameLabel;
        l.caption = "赵钱孙李";
        l.left = r.left, l.top = r.top, l.width = r.width, l.height = r.height;
        l.font = kNameFont;
        l.back = colors::White;
        l.fore = s == 1 ? colors::Black : colors::ButtonText; // Label1(1) was stored plain black: it looks the same
        l.align = Qt::AlignLeft | Qt::AlignTop;
        l.wordWrap = true;
        table.push_back(l);
    }
    return table;
}

} // namespace

std::span<const ControlSpec<Form2Control>> form2Layout()
{
    // Built once, when the first seat chart opens.
    static const std::vector<Row> kLayout = makeLayout();
    return kLayout;
}

SeatView firstView(std::span<const ControlSpec<Form2Control>> table)
{
    SeatView v{seatChartStoredCaption(), QString::fromUtf8(rowOf(table, Form2Control::Banner).caption), {}, {}, {}};
    for (int s = 0; s < seat::kSeatCount; ++s) {
        const Row &card = rowOf(table, Form2Control::Card, s);
        const Row &label = rowOf(table, Form2Control::NameLabel, s);
        v.cards[at(s)] = {true, QString::fromUtf8(card.caption), card.back, card.width};
        v.labels[at(s)] = {true, QString::fromUtf8(label.caption), label.fore};
    }
    return v;
}

Form2::Form2(FormContext ctx)
    : ViewForm(QStringLiteral("Form2")), m_ctx(std::move(ctx)), m_chart(m_ctx.clock, m_ctx.random)
{
}

void Form2::build(FormWindow &window)
{
    window.setWindowTitle(seatChartStoredCaption());
    setClientSizeTwips(window, kForm2ClientWidth, kForm2ClientHeight);
    window.setBackground(colors::White);

    buildFrom(window, form2Layout());

    for (int s = 0; s < seat::kSeatCount; ++s) {
        m_cards[at(s)] = control<QPushButton>(Form2Control::Card, s);
        m_labels[at(s)] = control<QLabel>(Form2Control::NameLabel, s);
        // One handler for the whole card array; it receives the seat index.
        QObject::connect(m_cards[at(s)], &QPushButton::clicked, &window, [this, s] { onCardClicked(s); });
    }
    m_banner = control<QLabel>(Form2Control::Banner);

    for (std::size_t i = 0; i < kGroupOptions.size(); ++i) {
        const SeatGroup group = kGroupOptions[i].first;
        m_options[i] = control<QRadioButton>(kGroupOptions[i].second);
        QObject::connect(m_options[i], &QRadioButton::toggled, &window, [this, group](bool checked) {
            if (checked && !m_applying)
                onGroupSelected(group);
        });
    }
    QObject::connect(control<QPushButton>(Form2Control::Arrange), &QPushButton::clicked, &window,
                     [this] { onRandomArrange(); });
    QObject::connect(control<QPushButton>(Form2Control::ToSingleDraw), &QPushButton::clicked, &window,
                     [this] { m_ctx.switcher.switchTo(FormId::SingleDraw); });
    QObject::connect(control<QPushButton>(Form2Control::Exit), &QPushButton::clicked, &window,
                     [this] { m_ctx.platform.endProcess(); });

    // Fresh controls show the layout, whatever an earlier visit left.
    m_chart.controlsCreated(setFirstView(firstView(form2Layout())));
}

bool Form2::load()
{
    const bool started = m_chart.start([this](RosterLists &lists) {
        const QString path = m_ctx.rosterPath ? m_ctx.rosterPath() : QString();
        const RosterStatus status = readRoster(path, kSeatChartRoster.limit, lists);
        if (status == RosterStatus::Loaded)
            return true;
        reportRosterFailure(m_ctx.platform, status, path);
        return false;
    });
    if (!started)
        return false;
    showView(m_chart.view());
    return true;
}

void Form2::forgetControls()
{
    m_cards.fill(nullptr);
    m_labels.fill(nullptr);
    m_options.fill(nullptr);
    m_banner = nullptr;
}

void Form2::shown()
{
    FormWindow *w = window();
    if (!w)
        return;
    for (const FocusStop &stop : focusOrder()) {
        QWidget *target = nullptr;
        if (stop.control == Form2Control::AllOption) {
            for (QRadioButton *o : m_options)
                if (o->isChecked())
                    target = o;
            if (!target)
                target = m_options[0];
        } else {
            target = control<QWidget>(stop.control, stop.index);
        }
        if (target && target->isVisibleTo(w) && target->isEnabled()) {
            target->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void Form2::onCardClicked(int seat)
{
    m_chart.revealCard(seat);
    showView(m_chart.view());
}

void Form2::onGroupSelected(SeatGroup group)
{
    m_chart.chooseGroup(group);
    showView(m_chart.view());
}

void Form2::onRandomArrange()
{
    m_chart.randomArrange();
    showView(m_chart.view());
}

void Form2::applyChanges(const SeatView &v, const SeatView &shown)
{
    QScopedValueRollback<bool> guard(m_applying, true);
    if (v.windowCaption != shown.windowCaption)
        window()->setWindowTitle(v.windowCaption);
    applyChange(*m_banner, v.banner, shown.banner, setCaption);
    if (v.selected != shown.selected && v.selected)
        m_options[at(static_cast<int>(*v.selected))]->setChecked(true);

    const auto &places = seat::seatPlaces();
    for (int s = 0; s < seat::kSeatCount; ++s) {
        const CardView &card = v.cards[at(s)], &was = shown.cards[at(s)];
        QPushButton &b = *m_cards[at(s)];
        applyChange(b, card.caption, was.caption, setCaption);
        applyChange(b, card.back, was.back, setBackColor);
        applyChange(b, card.width, was.width, [&](QWidget &c, int width) {
            const seat::TwipRect &r = places[at(s)].card;
            setDesignGeometry(c, twipsRect(r.left, r.top, width, r.height));
        });
        applyChange(b, card.visible, was.visible, setShown);

        const NameLabelView &label = v.labels[at(s)], &lwas = shown.labels[at(s)];
        QLabel &l = *m_labels[at(s)];
        applyChange(l, label.caption, lwas.caption, setCaption);
        applyChange(l, label.fore, lwas.fore, setForeColor);
        applyChange(l, label.visible, lwas.visible, setShown);
    }
}

} // namespace qh
