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

#include <span>
#include <vector>

class QAbstractButton;

namespace qh {

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

// The objectName of a control: "Command1", or "Command1(5)" for element 5.
QString controlName(const char *name, int index = -1);

// The controls a window built from its table, found by their layout names.
class Controls {
public:
    QWidget *find(const QString &objectName) const;
    QWidget *at(const char *name, int index = -1) const { return find(controlName(name, index)); }
    template <class T>
    T *get(const char *name, int index = -1) const { return static_cast<T *>(at(name, index)); }

    void add(QWidget *w) { m_byName.insert(w->objectName(), w); }
    void clear() { m_byName.clear(); }

private:
    QHash<QString, QWidget *> m_byName;
};

// Creates every row's control as a child of form (or of its Frame), applies
// geometry, font, colours, caption, tool tip, stacking and focus order, and
// returns them. Build cost matters: a seat chart has 172 controls.
Controls buildControls(QWidget &form, std::span<const ControlSpec> table);

// The client size in twips at zoom 1. A program window (FormWindow) zooms
// its whole layout from there (ui/zoom.h); any other widget gets it fixed.
void setClientSizeTwips(QWidget &form, int width, int height);

// Applies a back or text colour to a control built from a table.
void setBackColor(QWidget &control, Color color);
void setForeColor(QWidget &control, Color color);

} // namespace qh
