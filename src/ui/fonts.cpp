#include "ui/fonts.h"

#include "ui/units.h"

namespace qh {

QStringList fontFamilies(FontFace face)
{
    switch (face) {
    case FontFace::SongTi:
        return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing"), QStringLiteral("Songti SC")};
    case FontFace::HeiTi:
        return {QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC"),
                QStringLiteral("Heiti SC"), QStringLiteral("PingFang SC")};
    case FontFace::LiShu:
        return {QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("STLiti"), QStringLiteral("KaiTi"),
                QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai"), QStringLiteral("Kaiti SC"),
                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
    case FontFace::None:
        break;
    }
    return {};
}

QFont makeFont(FontSpec spec)
{
    QFont font;
    if (spec.face == FontFace::None)
        return font;
    font.setFamilies(fontFamilies(spec.face));
    font.setPixelSize(pointsToPixels(spec.points));
    font.setWeight(QFont::Normal);
    font.setStyleHint(spec.face == FontFace::HeiTi ? QFont::SansSerif : QFont::Serif);
    return font;
}

} // namespace qh
