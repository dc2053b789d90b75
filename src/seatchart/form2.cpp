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

#include <cstring>

namespace qh {

namespace {

constexpr std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

constexpr FontSpec kCardFont{FontFace::HeiTi, 26.25};
constexpr FontSpec kNameFont{FontFace::HeiTi, 14.25};
constexpr FontSpec kBannerFont{FontFace::LiShu, 84.75};
constexpr FontSpec kBarFont{FontFace::SongTi, 15.75};

bool isOptionStop(const FocusStop &stop)
{
    return std::strncmp(stop.name, "Option", 6) == 0;
}

std::vector<FocusStop> makeFocusOrder()
{
    std::vector<FocusStop> order;
    const auto cards = [&](int from, int to) {
        for (int s = from; s <= to; ++s)
            order.push_back({"Command1", s});
    };
    for (int row = 0; row < 5; ++row)
        cards(row * 10 + 1, row * 10 + 9);
    cards(51, 53);
    order.push_back({"Command4"});
    order.push_back({"Option1"}); // the option group: one stop
    order.push_back({"Command2"});
    cards(54, 59);
    order.push_back({"Command3"});
    cards(61, 69);
    cards(71, 73);
    cards(75, 77);
    cards(79, 80);
    for (int s : {50, 40, 30, 20, 10, 0, 60, 70, 74, 78, 81})
        order.push_back({"Command1", s});
    return order;
}

} // namespace

const std::vector<FocusStop> &form2FocusOrder()
{
    static const std::vector<FocusStop> order = makeFocusOrder();
    return order;
}

std::vector<ControlSpec> form2Layout()
{
    // Tab index of each control, from the keyboard order.
    std::array<int, seat::kSeatCount> cardTab{};
    int command2Tab = -1, command3Tab = -1, command4Tab = -1, optionTab = -1;
    const auto &order = form2FocusOrder();
    int tab = 0;
    for (const FocusStop &stop : order) {
        if (stop.index >= 0)
            cardTab[at(stop.index)] = tab++;
        else if (isOptionStop(stop)) {
            optionTab = tab; // Option1, Option2, Option3 in a row
            tab += 3;
        }
        else if (std::strcmp(stop.name, "Command2") == 0)
            command2Tab = tab++;
        else if (std::strcmp(stop.name, "Command3") == 0)
            command3Tab = tab++;
        else
            command4Tab = tab++;
    }

    std::vector<ControlSpec> table;
    table.reserve(2 * seat::kSeatCount + 8);
    const auto &places = seat::seatPlaces();

    for (int s = 0; s < seat::kSeatCount; ++s) {
        const seat::TwipRect &r = places[at(s)].card;
        ControlSpec c;
        c.kind = ControlKind::ColorButton;
        c.name = "Command1";
        c.index = s;
        c.caption = "23";
        c.left = r.left, c.top = r.top, c.width = r.width, c.height = r.height;
        c.font = kCardFont;
        c.back = colors::ButtonFace;
        c.fore = colors::ButtonText;
        c.tabIndex = cardTab[at(s)];
        c.align = Qt::AlignCenter;
        table.push_back(c);
    }

    const auto barButton = [&](ControlKind kind, const char *name, const char *caption, int left, Color back,
                                int tabIndex) {
        ControlSpec c;
        c.kind = kind;
        c.name = name;
        c.caption = caption;
        c.left = left, c.top = 8280, c.width = 1800, c.height = 550;
        c.font = kBarFont;
        c.back = back;
        c.fore = colors::ButtonText;
        c.tabIndex = tabIndex;
        c.align = Qt::AlignCenter;
        table.push_back(c);
    };
    barButton(ControlKind::Button, "Command3", "退出点名", 360, colors::ButtonFace, command3Tab);
    barButton(ControlKind::Button, "Command2", "转堆叠式", 2832, colors::ButtonFace, command2Tab);
    // The group options, Option3 first as they are stacked, each 2472 twips right of the one before.
    for (int i = static_cast<int>(kSeatGroups.size()) - 1; i >= 0; --i) {
        const GroupSpec &g = kSeatGroups[at(i)];
        barButton(ControlKind::OptionButton, g.option, g.caption, 7776 + 2472 * i, g.color, optionTab + i);
    }
    barButton(ControlKind::Button, "Command4", "随机排列", 5304, colors::ButtonFace, command4Tab);

    {
        ControlSpec b;
        b.kind = ControlKind::FitLabel;
        b.name = "Label2";
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
        ControlSpec line;
        line.kind = ControlKind::Line;
        line.name = "Line1";
        line.left = 360, line.top = 8160, line.width = 14520 - 360, line.height = 0;
        line.fore = colors::WindowText;
        table.push_back(line);
    }

    for (int s = 0; s < seat::kSeatCount; ++s) {
        const seat::TwipRect &r = places[at(s)].label;
        ControlSpec l;
        l.kind = ControlKind::FitLabel;
        l.name = "Label1";
        l.index = s;
        l.caption = "赵钱孙李";
        l.left = r.left, l.top = r.top, l.width = r.width, l.height = r.height;
        l.font = kNameFont;
        l.back = colors::White;
        l.fore = s == 1 ? colors::Black : colors::ButtonText;
        l.align = Qt::AlignLeft | Qt::AlignTop;
        l.wordWrap = true;
        table.push_back(l);
    }
    return table;
}

Form2::Form2(FormContext ctx)
    : Form(QStringLiteral("Form2")), m_ctx(std::move(ctx)), m_chart(m_ctx.clock, m_ctx.random)
{
}

void Form2::build(FormWindow &window)
{
    window.setWindowTitle(seatChartStoredCaption());
    setClientSizeTwips(window, kForm2ClientWidth, kForm2ClientHeight);
    window.setBackground(colors::White);

    const std::vector<ControlSpec> table = form2Layout();
    m_controls = buildControls(window, table);

    for (int s = 0; s < seat::kSeatCount; ++s) {
        m_cards[at(s)] = m_controls.get<QPushButton>("Command1", s);
        m_labels[at(s)] = m_controls.get<QLabel>("Label1", s);
        // One handler for the whole card array; it receives the seat index.
        QObject::connect(m_cards[at(s)], &QPushButton::clicked, &window, [this, s] { onCardClicked(s); });
    }
    m_banner = m_controls.get<QLabel>("Label2");

    for (int i = 0; i < static_cast<int>(kSeatGroups.size()); ++i) {
        m_options[at(i)] = m_controls.get<QRadioButton>(kSeatGroups[at(i)].option);
        const auto group = static_cast<SeatGroup>(i);
        QObject::connect(m_options[at(i)], &QRadioButton::toggled, &window, [this, group](bool checked) {
            if (checked && !m_applying)
                onGroupSelected(group);
        });
    }
    QObject::connect(m_controls.get<QPushButton>("Command4"), &QPushButton::clicked, &window,
                     [this] { onRandomArrange(); });
    QObject::connect(m_controls.get<QPushButton>("Command2"), &QPushButton::clicked, &window,
                     [this] { m_ctx.switcher.switchTo(FormId::SingleDraw); });
    QObject::connect(m_controls.get<QPushButton>("Command3"), &QPushButton::clicked, &window,
                     [this] { m_ctx.platform.endProcess(); });

    // Fresh controls show the layout, whatever an earlier visit left.
    m_chart.ControlsCreated();
    m_shown = m_chart.view();
}

bool Form2::load()
{
    const bool started = m_chart.Start([this](RosterLists &lists) {
        if (readRoster(m_ctx.rosterPath ? m_ctx.rosterPath() : QString(), kSeatChartRoster.limit, lists))
            return true;
        reportRosterFailure(m_ctx.platform);
        return false;
    });
    if (!started)
        return false;
    applyView();
    return true;
}

void Form2::teardown()
{
    m_controls.clear();
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
    for (const FocusStop &stop : form2FocusOrder()) {
        QWidget *target = nullptr;
        if (isOptionStop(stop)) {
            for (QRadioButton *o : m_options)
                if (o->isChecked())
                    target = o;
            if (!target)
                target = m_options[0];
        } else {
            target = m_controls.at(stop.name, stop.index);
        }
        if (target && target->isVisibleTo(w) && target->isEnabled()) {
            target->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void Form2::onCardClicked(int seat)
{
    m_chart.RevealCard(seat);
    applyView();
}

void Form2::onGroupSelected(SeatGroup group)
{
    m_chart.ChooseGroup(group);
    applyView();
}

void Form2::onRandomArrange()
{
    m_chart.RandomArrange();
    applyView();
}

void Form2::applyView()
{
    FormWindow *w = window();
    if (!w || !m_banner)
        return;
    QScopedValueRollback<bool> guard(m_applying, true);
    const SeatView &v = m_chart.view();

    if (v.windowCaption != m_shown.windowCaption)
        w->setWindowTitle(v.windowCaption);
    if (v.banner != m_shown.banner)
        m_banner->setText(v.banner);
    if (v.selected != m_shown.selected && v.selected)
        m_options[at(static_cast<int>(*v.selected))]->setChecked(true);

    const auto &places = seat::seatPlaces();
    for (int s = 0; s < seat::kSeatCount; ++s) {
        const CardView &card = v.cards[at(s)];
        const CardView &was = m_shown.cards[at(s)];
        QPushButton *b = m_cards[at(s)];
        if (card.caption != was.caption)
            b->setText(card.caption);
        if (card.back != was.back)
            setBackColor(*b, card.back);
        if (card.width != was.width) {
            const seat::TwipRect &r = places[at(s)].card;
            setDesignGeometry(*b, twipsRect(r.left, r.top, card.width, r.height));
        }
        if (card.visible != was.visible)
            b->setVisible(card.visible);

        const NameLabelView &label = v.labels[at(s)];
        const NameLabelView &lwas = m_shown.labels[at(s)];
        QLabel *l = m_labels[at(s)];
        if (label.caption != lwas.caption)
            l->setText(label.caption);
        if (label.fore != lwas.fore)
            setForeColor(*l, label.fore);
        if (label.visible != lwas.visible)
            l->setVisible(label.visible);
    }
    m_shown = v;
}

} // namespace qh
