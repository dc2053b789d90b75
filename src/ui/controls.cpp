#include "ui/controls.h"

#include "ui/colorbutton.h"
#include "ui/enterkey.h"
#include "ui/filecontrols.h"
#include "ui/fitlabel.h"
#include "ui/form.h"
#include "ui/linecontrol.h"
#include "ui/zoom.h"
#include "core/units.h"

#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <map>

namespace qh {

namespace {

QPalette::ColorRole backRole(const QWidget &w)
{
    if (qobject_cast<const QPushButton *>(&w))
        return QPalette::Button;
    if (qobject_cast<const QPlainTextEdit *>(&w) || qobject_cast<const QListWidget *>(&w) ||
        qobject_cast<const QComboBox *>(&w))
        return QPalette::Base;
    return QPalette::Window;
}

QPalette::ColorRole foreRole(const QWidget &w)
{
    if (qobject_cast<const QPushButton *>(&w))
        return QPalette::ButtonText;
    if (qobject_cast<const QPlainTextEdit *>(&w) || qobject_cast<const QListWidget *>(&w) ||
        qobject_cast<const QComboBox *>(&w))
        return QPalette::Text;
    return QPalette::WindowText;
}

// Option buttons and frames fill and letter themselves from either the window
// or the button roles depending on the style, so they get both.
bool usesBothRoles(const QWidget &w)
{
    return qobject_cast<const QRadioButton *>(&w) || qobject_cast<const QGroupBox *>(&w);
}

void setRoleColor(QWidget &w, QPalette::ColorRole role, Color color)
{
    QPalette pal = w.palette();
    // A system colour on a control that never had its own is what the control
    // shows already: leave its palette alone. Besides saving work, this keeps
    // styles that cache per palette (Fusion's button faces) from caching a
    // new face for every control ever built.
    if (color.isSystem() && !pal.isBrushSet(QPalette::Active, role))
        return;
    const QColor c = toQColor(color, QApplication::palette(&w));
    QPalette::ColorRole roles[2] = {role, role};
    if (usesBothRoles(w))
        roles[1] = role == QPalette::Window ? QPalette::Button : QPalette::ButtonText;
    bool changed = false;
    for (QPalette::ColorRole r : roles) {
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            // Disabled text keeps the style's greyed colour.
            if (g == QPalette::Disabled && (r == QPalette::WindowText || r == QPalette::ButtonText || r == QPalette::Text))
                continue;
            if (pal.color(g, r) != c) {
                pal.setColor(g, r, c);
                changed = true;
            }
        }
    }
    if (changed)
        w.setPalette(pal);
}

QWidget *create(const ControlSpec<AnyControl> &row, QWidget *parent)
{
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::Button: {
        auto *b = new QPushButton(caption, parent);
        b->setAutoDefault(false);
        return b;
    }
    case ControlKind::ColorButton: {
        auto *b = new ColorButton(parent);
        b->setText(caption);
        b->setAutoDefault(false);
        return b;
    }
    case ControlKind::Label:
    case ControlKind::FitLabel: {
        auto *l = new FitLabel(parent);
        l->setShrinkToFit(row.kind == ControlKind::FitLabel);
        l->setText(caption);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(row.align);
        l->setWordWrap(row.wordWrap);
        l->setAutoFillBackground(true);
        if (row.border) {
            // The classic thin sunken edge, drawn in the palette's shades so it
            // shows whatever the label's own colours.
            l->setFrameShape(QFrame::Panel);
            l->setFrameShadow(QFrame::Sunken);
            l->setLineWidth(1);
        }
        return l;
    }
    case ControlKind::OptionButton: {
        auto *o = new QRadioButton(caption, parent);
        o->setAutoFillBackground(true);
        return o;
    }
    case ControlKind::Frame: {
        auto *f = new QGroupBox(caption, parent);
        f->setAutoFillBackground(true);
        return f;
    }
    case ControlKind::TextBox: {
        auto *t = new QPlainTextEdit(parent);
        t->setPlainText(caption);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return t;
    }
    case ControlKind::DriveList:
        return new DriveList(parent);
    case ControlKind::DirList:
        return new DirList(parent);
    case ControlKind::FileList: {
        auto *f = new FileList(parent);
        if (row.fileFilter)
            f->setPattern(QString::fromUtf8(row.fileFilter));
        return f;
    }
    case ControlKind::Picture: {
        auto *p = new QLabel(parent);
        p->setAttribute(Qt::WA_TranslucentBackground);
        return p;
    }
    case ControlKind::Line:
        return new LineControl(parent);
    }
    return new QWidget(parent);
}

bool takesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::FitLabel:
    case ControlKind::Frame:
    case ControlKind::Picture:
    case ControlKind::Line:
        return false;
    default:
        return true;
    }
}

} // namespace

QString controlName(const char *name, int index)
{
    QString n = QString::fromUtf8(name);
    if (index >= 0)
        n += QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
    return n;
}

QWidget *ControlSet::find(const QString &objectName) const
{
    return m_byName.value(objectName, nullptr);
}

void setCaption(QWidget &control, const QString &text)
{
    if (auto *b = qobject_cast<QAbstractButton *>(&control))
        b->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(&control))
        l->setText(text);
    else if (auto *t = qobject_cast<QPlainTextEdit *>(&control))
        t->setPlainText(text);
}

void setBackColor(QWidget &control, Color color)
{
    designFor(control).back = color;
    setRoleColor(control, backRole(control), color);
}

void setForeColor(QWidget &control, Color color)
{
    designFor(control).fore = color;
    setRoleColor(control, foreRole(control), color);
}

void setClientSizeTwips(FormWindow &form, int width, int height)
{
    form.setDesignSize(twipsSize(width, height));
}

ControlSet buildControlSet(QWidget &form, std::span<const ControlSpec<AnyControl>> table)
{
    ControlSet controls;
    QHash<int, QWidget *> frames; // by id
    // Fonts are shared between controls of the same face and size.
    std::map<std::pair<int, int>, QFont> fonts;

    // One filter for all the window's controls that take the focus: Enter
    // presses the focused button, a held key only once, also across windows.
    ButtonKeyFilter *buttonKeys = nullptr;
    const auto *formWindow = qobject_cast<const FormWindow *>(&form);
    HeldKeys *heldKeys = formWindow ? formWindow->heldKeys() : nullptr;

    // Frames first, so that the controls they hold find their parent.
    std::vector<QWidget *> created(table.size(), nullptr);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < table.size(); ++i) {
            const ControlSpec<AnyControl> &row = table[i];
            if ((row.kind == ControlKind::Frame) != (pass == 0))
                continue;
            QWidget *parent = &form;
            if (row.container != kNoControl<AnyControl>) {
                parent = frames.value(static_cast<int>(row.container), nullptr);
                Q_ASSERT_X(parent, "buildControls", "container row missing");
                if (!parent)
                    parent = &form;
            }
            QWidget *w = create(row, parent);
            w->setObjectName(controlName(row.name, row.index));
            if (row.kind == ControlKind::Frame)
                frames.insert(static_cast<int>(row.id), w);

            // Geometry, font and picture at the window's zoom (ui/zoom.h).
            if (row.kind == ControlKind::Line) {
                static_cast<LineControl *>(w)->setDesignEnds(twipsPoint(row.left, row.top),
                                                             twipsPoint(row.left + row.width, row.top + row.height));
            } else if (row.kind == ControlKind::Picture) {
                const QPixmap picture = row.picture ? QPixmap(QString::fromUtf8(row.picture)) : QPixmap();
                const QSize natural = picture.isNull() ? twipsSize(row.width, row.height)
                                                       : picture.deviceIndependentSize().toSize();
                setDesignGeometry(*w, QRect(twipsPoint(row.left, row.top), natural));
                setDesignPicture(*w, picture);
            } else {
                setDesignGeometry(*w, twipsRect(row.left, row.top, row.width, row.height));
            }

            if (row.font.face != FontFace::None) {
                const auto key = std::make_pair(static_cast<int>(row.font.face), pointsToPixels(row.font.points));
                auto it = fonts.find(key);
                if (it == fonts.end())
                    it = fonts.emplace(key, makeFont(row.font)).first;
                setDesignFont(*w, it->second);
            }
            if (row.kind != ControlKind::Picture) {
                setBackColor(*w, row.back);
                setForeColor(*w, row.fore);
            }
            if (row.toolTip)
                w->setToolTip(QString::fromUtf8(row.toolTip));
            if (!takesFocus(row.kind) || row.tabIndex < 0) {
                w->setFocusPolicy(Qt::NoFocus);
            } else {
                if (!buttonKeys)
                    buttonKeys = new ButtonKeyFilter(&form, heldKeys);
                w->installEventFilter(buttonKeys);
            }
            created[i] = w;
        }
    }

    // Stacking: the first row lies on top, so raise from the last row upwards.
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        (*it)->raise();

    // Focus order by ascending tab index.
    std::vector<size_t> order;
    for (size_t i = 0; i < table.size(); ++i)
        if (takesFocus(table[i].kind) && table[i].tabIndex >= 0)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return table[a].tabIndex < table[b].tabIndex; });
    for (size_t k = 1; k < order.size(); ++k)
        QWidget::setTabOrder(created[order[k - 1]], created[order[k]]);

    for (size_t i = 0; i < table.size(); ++i)
        controls.add(created[i], static_cast<int>(table[i].id), table[i].index);
    return controls;
}

} // namespace qh
