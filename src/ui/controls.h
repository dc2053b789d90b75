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
#include <bit>
#include <ranges>
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

// A window's enum of its controls: a row names its control by it, and the
// window finds the control by it. Each window has its own, so a look-up with
// another window's id (or any other enum) does not compile.
template <class Id>
concept ControlId = std::is_enum_v<Id> && std::is_same_v<std::underlying_type_t<Id>, int>;

// The id of no control: a row's container when it lies on the window itself.
template <ControlId Id>
inline constexpr Id kNoControl = static_cast<Id>(-1);

template <ControlId Id>
struct ControlSpec {
    using IdType = Id;
    ControlKind kind = ControlKind::Label;
    const char *name = "";        // the layout name, also the objectName
    int index = -1;               // element of a control array; -1 when none
    Id id = kNoControl<Id>;       // the control, as the window's code finds it
    const char *caption = "";     // UTF-8
    int left = 0, top = 0, width = 0, height = 0; // twips
    FontSpec font{};
    Color back = colors::ButtonFace;
    Color fore = colors::ButtonText;
    int tabIndex = -1;            // -1: never takes the keyboard focus
    const char *toolTip = nullptr;
    Id container = kNoControl<Id>; // the Frame row holding it
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = true;
    bool border = false;          // thin single-line border (labels)
    const char *picture = nullptr;   // resource path of a Picture
    const char *fileFilter = nullptr; // FileList name pattern, e.g. "*.txt"
};

// The row of a window's control in its table, which must hold it.
template <class Table, ControlId Id = typename std::ranges::range_value_t<Table>::IdType>
const ControlSpec<Id> &rowOf(const Table &table, std::type_identity_t<Id> id, int index = -1)
{
    const auto row = std::ranges::find_if(table, [&](auto &r) { return r.id == id && r.index == index; });
    Q_ASSERT_X(row != std::ranges::end(table), "rowOf", "no row of that id");
    return *row;
}

// The objectName of a control: "Command1", or "Command1(5)" for element 5.
QString controlName(const char *name, int index = -1);

// The controls a window built from its table, whatever its enum: tests and
// tools find them by their layout names, and the look-up checks the kind.
class ControlSet {
public:
    QWidget *find(const QString &objectName) const;
    QWidget *at(const char *name, int index = -1) const { return find(controlName(name, index)); }
    template <class T>
    T *get(const char *name, int index = -1) const { return qobject_cast<T *>(at(name, index)); }

    void add(QWidget *w, int id, int index) { m_byName.insert(w->objectName(), w), m_byId.insert({id, index}, w); }
    void clear() { m_byName.clear(), m_byId.clear(); }

protected:
    QWidget *byId(int id, int index) const { return m_byId.value({id, index}, nullptr); }

private:
    QHash<QString, QWidget *> m_byName;
    QHash<std::pair<int, int>, QWidget *> m_byId;
};

// The controls of the window whose enum is Id: its code finds them by that
// enum only.
template <ControlId Id>
class Controls : public ControlSet {
public:
    Controls() = default;
    explicit Controls(ControlSet set) : ControlSet(std::move(set)) {}

    using ControlSet::get;
    template <class T>
    T *get(Id id, int index = -1) const
    {
        T *c = qobject_cast<T *>(byId(static_cast<int>(id), index));
        Q_ASSERT_X(c, "Controls::get", "no control of that id and kind");
        return c;
    }
};

// The builder's own rows: any window's rows, their ids as plain values.
enum class AnyControl : int {};
ControlSet buildControlSet(QWidget &form, std::span<const ControlSpec<AnyControl>> table);

// Creates every row's control as a child of form (or of its Frame), applies
// geometry, font, colours, caption, tool tip, stacking and focus order, and
// returns them. Build cost matters: a seat chart has 172 controls.
template <std::ranges::input_range Table, ControlId Id = typename std::ranges::range_value_t<Table>::IdType>
Controls<Id> buildControls(QWidget &form, const Table &table)
{
    // The rows differ only in the type of their ids, both enums over int.
    std::vector<ControlSpec<AnyControl>> rows;
    rows.reserve(std::ranges::size(table));
    for (const ControlSpec<Id> &row : table)
        rows.push_back(std::bit_cast<ControlSpec<AnyControl>>(row));
    return Controls<Id>(buildControlSet(form, rows));
}

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
