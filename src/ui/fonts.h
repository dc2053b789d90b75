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
// Regular weight, pixel size from the point size at 96 DPI.
QFont makeFont(FontSpec wanted);

} // namespace qh
