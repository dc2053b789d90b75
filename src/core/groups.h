#pragma once
// The groups of the seat chart and the draw modes of the single-draw window,
// one row each: its option button, the caption, which name list it draws from
// and its colour. The option button wears the colour, and so do the cards of a
// group and the draw button in a mode. Layouts, dealing and drawing read this
// table; nothing else states these facts.

#include "core/roster.h"
#include "core/colors.h"

#include <QString>

#include <array>
#include <cstddef>
#include <vector>

namespace qh {

// One of the three roster lists.
enum class NameList { All, Boys, Girls };

struct GroupSpec {
    const char *option;  // the option button's layout name
    const char *caption; // UTF-8
    NameList list;
    Color color;
};

// Seat chart, in the order of SeatGroup.
inline constexpr std::array<GroupSpec, 3> kSeatGroups{{
    {"Option1", "全体", NameList::All, colors::LightBlue},
    {"Option2", "男生", NameList::Boys, colors::LightGreen},
    {"Option3", "女生", NameList::Girls, colors::LightPink},
}};

// Single-draw window, in the order of DrawOption. 可重复 draws from the whole class.
inline constexpr std::array<GroupSpec, 4> kDrawModes{{
    {"Option1", "可重复", NameList::All, colors::LightRed},
    {"Option2", "不重复", NameList::All, colors::LightBlue},
    {"Option3", "男同学", NameList::Boys, colors::LightGreen},
    {"Option4", "女同学", NameList::Girls, colors::LightPink},
}};

inline const std::vector<QString> &namesIn(const RosterLists &lists, NameList list)
{
    switch (list) {
    case NameList::Boys: return lists.boyNames;
    case NameList::Girls: return lists.girlNames;
    case NameList::All: break;
    }
    return lists.allNames;
}

// Index of the list's last filled slot, -1 when it is empty.
inline int lastIn(const RosterLists &lists, NameList list)
{
    switch (list) {
    case NameList::Boys: return lists.boyLast;
    case NameList::Girls: return lists.girlLast;
    case NameList::All: break;
    }
    return lists.allLast;
}

} // namespace qh
