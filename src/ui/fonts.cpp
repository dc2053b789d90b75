#include "ui/fonts.h"

#include "core/units.h"

#include <QFontDatabase>

#include <cstdlib>

namespace qh {

QStringList fontFamilies(FontFace face)
{
    switch (face) {
    case FontFace::SongTi:
        // AR PL UMing before Noto Serif CJK: Qt 6.4 on Debian draws Noto Serif
        // CJK's Han characters through a sans-serif fallback, so the Ming face,
        // where installed, is the nearer match to 宋体.
        return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                QStringLiteral("AR PL UMing"), QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Songti SC")};
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

QStringList onlyInstalled(const QStringList &wanted, const QStringList &installed)
{
    // A family with faces from several foundries is listed as "Family [Foundry]".
    QStringList names;
    names.reserve(installed.size());
    for (const QString &family : installed) {
        const qsizetype foundry = family.indexOf(QLatin1String(" ["));
        names.append(foundry < 0 ? family : family.left(foundry));
    }
    QStringList present;
    for (const QString &family : wanted)
        if (names.contains(family, Qt::CaseInsensitive))
            present.append(family);
    return present.isEmpty() ? wanted : present;
}

QFont makeFont(FontSpec wanted)
{
    QFont font;
    if (wanted.face == FontFace::None)
        return font;
    // Only the faces this machine has: a family Qt cannot find sends Windows'
    // and macOS's font databases through every installed face in search of
    // an alias, a quarter of a second at start-up under Wine.
    const QStringList families = onlyInstalled(fontFamilies(wanted.face), QFontDatabase::families());
#ifdef Q_OS_WIN
    // The first alone: given more, Qt asks Windows' font database for its own
    // fallbacks at once, and that reads every installed face; given one, it
    // asks only when a character is missing from it.
    font.setFamily(families.first());
#else
    font.setFamilies(families);
#endif
    font.setPixelSize(pointsToPixels(wanted.points));
    // The weight nearest to regular that the face has (AR PL UMing has only
    // Light): Qt answers any inexact match by the same search for aliases.
    int weight = -1;
    for (const QString &style : QFontDatabase::styles(families.first())) {
        const int has = QFontDatabase::weight(families.first(), style);
        if (has > 0 && !QFontDatabase::italic(families.first(), style) &&
            (weight < 0 || std::abs(has - QFont::Normal) < std::abs(weight - QFont::Normal)))
            weight = has;
    }
    font.setWeight(weight < 0 ? QFont::Normal : QFont::Weight(weight));
    font.setStyleHint(wanted.face == FontFace::HeiTi ? QFont::SansSerif : QFont::Serif);
#ifndef Q_OS_WIN
    // The free Ming and Kai faces that stand in for 宋体 and 隶书 carry no
    // hinting, so hinting them runs FreeType's auto-hinter, which loads dozens
    // of glyphs up front: slower start-up and megabytes more memory.
    if (wanted.face != FontFace::HeiTi)
        font.setHintingPreference(QFont::PreferNoHinting);
#endif
    return font;
}

} // namespace qh
