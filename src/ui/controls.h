#pragma once
// Declarative layout tables: one row per control, from which a window builds
// its controls. Rows are listed in stacking order, the first row on top, as in
// the window designs. Positions and sizes are twips; a Line row gives its two
// end points as (left, top) and (left + width, top + height).

#include "core/colors.h"
#include "ui/fonts.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

class QAbstractButton;

namespace qh {

class FormWindow;

enum class ControlKind {
    Button,          // standard push button
    ColorButton,     // "graphical" button: its face is filled with the back colour
    Label,
    FitLabel,        // a label whose text shrinks to fit the box instead of being cut
    OptionButton,    // radio button; the ones sharing a parent form one group
    Frame,           // group box holding the controls that name it as container
    TextBox,         // multi-line text box without scroll bars
    DriveList,
    DirList,
    FileList,
    Picture,         // shown at its natural pixel size
    Line,
};

struct ControlSpec {
    ControlKind kind = ControlKind::Label;
    const char *name = "";        // the layout name, also the objectName
    int index = -1;               // element of a control array; -1 when none
    int id = -1;                  // the window's own enum value for the control
    const char *caption = "";     // UTF-8
    int left = 0, top = 0, width = 0, height = 0; // twips
    FontSpec font{};
    Color back = colors::ButtonFace;
    Color fore = colors::ButtonText;
    int tabIndex = -1;            // -1: never takes the keyboard focus
    const char *toolTip = nullptr;
    const char *container = nullptr; // name of the Frame row holding it
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = true;
    bool border = false;          // thin single-line border (labels)
    const char *picture = nullptr;   // resource path of a Picture
    const char *fileFilter = nullptr; // FileList name pattern, e.g. "*.txt"
};

// A value of a window's enum of its controls, as its table rows hold it.
template <class Id>
concept ControlId = std::is_enum_v<Id>;
constexpr int controlId(ControlId auto id) { return static_cast<int>(id); }

// The row of a window's control in its table, which must hold it.
const ControlSpec &rowOf(std::span<const ControlSpec> table, ControlId auto id, int index = -1)
{
    const auto row = std::ranges::find_if(table, [&](auto &r) { return r.id == controlId(id) && r.index == index; });
    Q_ASSERT_X(row != table.end(), "rowOf", "no row of that id");
    return *row;
}

// The objectName of a control: "Command1", or "Command1(5)" for element 5.
QString controlName(const char *name, int index = -1);

// The controls a window built from its table: a window finds them by its enum
// of controls, tests and tools by their layout names. Both look-ups check the kind.
class Controls {
public:
    QWidget *find(const QString &objectName) const;
    QWidget *at(const char *name, int index = -1) const { return find(controlName(name, index)); }
    template <class T>
    T *get(const char *name, int index = -1) const { return qobject_cast<T *>(at(name, index)); }
    template <class T>
    T *get(ControlId auto id, int index = -1) const
    {
        T *c = qobject_cast<T *>(m_byId.value({controlId(id), index}, nullptr));
        Q_ASSERT_X(c, "Controls::get", "no control of that id and kind");
        return c;
    }

    void add(QWidget *w, int id, int index) { m_byName.insert(w->objectName(), w), m_byId.insert({id, index}, w); }
    void clear() { m_byName.clear(), m_byId.clear(); }

private:
    QHash<QString, QWidget *> m_byName;
    QHash<std::pair<int, int>, QWidget *> m_byId;
};

// Creates every row's control as a child of form (or of its Frame), applies
// geometry, font, colours, caption, tool tip, stacking and focus order, and
// returns them. Build cost matters: a seat chart has 172 controls.
Controls buildControls(QWidget &form, std::span<const ControlSpec> table);

// The client size in twips at zoom 1: the window zooms its whole layout
// from there (ui/zoom.h).
void setClientSizeTwips(FormWindow &form, int width, int height);

// Applies a back or text colour to a control built from a table.
void setBackColor(QWidget &control, Color color);
void setForeColor(QWidget &control, Color color);
// A button's or label's text, a text box's contents.
void setCaption(QWidget &control, const QString &text);
inline void setShown(QWidget &control, bool visible) { control.setVisible(visible); }

// Both mode windows copy their view to the controls this way: a property is
// set only where the view changed it since the view last shown.
template <class T, class Set>
void applyChange(QWidget &control, const T &now, const T &was, Set set)
{
    if (now != was)
        set(control, now);
}

} // namespace qh
