#pragma once
// The three faces of the window designs, each with fallbacks in order, so that
// a machine without the Windows Chinese fonts still gets the nearest face.

#include <QFont>
#include <QStringList>

namespace qh {

enum class FontFace { None, SongTi, HeiTi, LiShu };

struct FontSpec {
    FontFace face = FontFace::None;
    double points = 0.0;
};

QStringList fontFamilies(FontFace face);
// The wanted families that are installed, in the wanted order; all of them
// when none is.
QStringList onlyInstalled(const QStringList &wanted, const QStringList &installed);
// The face's first installed family (on Windows that one alone), at the
// weight nearest to regular that it has; pixel size from the point size at
// 96 DPI.
QFont makeFont(FontSpec wanted);

} // namespace qh
