#pragma once
// A model of the roster rules, written straight from the documented rules and
// sharing no code with the reader: it works on the whole decoded text at
// once, with no chunks, no bytes and no counting pass. A file without a mark
// is decoded whole both ways to choose between UTF-8 and GB18030. The
// model-based fuzzer and the corpus replay in ctest both check the reader
// against it.

#include "core/roster.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <optional>
#include <tuple>

namespace qh::model {

struct Expected {
    bool ok = false;
    qint64 records = 0;
    QStringList all, boys, girls;
};

inline bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
inline bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
// Outside quotes a full-width comma, as a Chinese input method types it, is a comma.
inline bool isComma(QChar c) { return c == u',' || c == u'\uFF0C'; }

// A field keeps at most 4096 characters, never half a surrogate pair.
inline QString capped(QString field)
{
    if (field.size() > 4096) {
        field.truncate(4096);
        if (field.back().isHighSurrogate())
            field.chop(1);
    }
    return field;
}

struct Field {
    QString text;
    bool endsLine = false;  // a line end or the end of the text follows it
    bool blankLine = false; // nothing but blanks on its whole line
};

struct ModelFields {
    bool ok = true; // false if the text ends where a field ought to begin, after blanks within a line
    QList<Field> fields;
};

inline ModelFields modelFields(const QString &text)
{
    ModelFields result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool lineStart = true;
    // After a field: consumes its separator, if any; whether it ended the line.
    const auto separator = [&] {
        if (i == n)
            return true;
        const bool lineEnd = isLineEnd(text[i]);
        i += (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        return lineEnd;
    };
    while (i < n) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i == n) {
            if (lineStart)
                result.fields << Field{QString(), true, true};
            else
                result.ok = false;
            break;
        }
        Field field;
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field.text = capped(text.mid(i + 1, end - i - 1));
            i = end;
            if (close >= 0) { // what follows the closing quote up to the separator is dropped
                ++i;
                while (i < n && !isComma(text[i]) && !isLineEnd(text[i]) && text[i] != u'\t')
                    ++i;
            }
            field.endsLine = separator();
        } else {
            const qsizetype from = i;
            while (i < n && !isComma(text[i]) && !isLineEnd(text[i]) && text[i] != u'\t')
                ++i;
            QString value = text.mid(from, i - from);
            while (!value.isEmpty() && isBlank(value.back()))
                value.chop(1);
            field.text = capped(value);
            field.endsLine = separator();
            field.blankLine = lineStart && field.endsLine && value.isEmpty();
        }
        lineStart = field.endsLine;
        result.fields << field;
    }
    return result;
}

inline QString squeezed(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("[ \t\u3000]"));
    return QString(text).remove(blanks);
}

// The students of a text, as names and sexes; nothing if it breaks the rules.
struct Records {
    bool ok = false;
    QList<std::pair<QString, QString>> students;
};

inline Records records(const QString &text)
{
    Records r;
    ModelFields read = modelFields(text);
    QList<Field> &fields = read.fields;
    if (!read.ok)
        return r;
    while (!fields.isEmpty() && fields.back().blankLine) // blank lines after the last record
        fields.removeLast();
    qsizetype firstLineEnd = 0;
    while (firstLineEnd < fields.size() && !fields[firstLineEnd].endsLine)
        ++firstLineEnd;
    const QList<Field> first = fields.mid(0, firstLineEnd + 1);
    qsizetype nameColumn = -1;
    qsizetype sexColumn = -1;
    for (qsizetype k = first.size() - 1; k >= 0; --k) {
        if (squeezed(first[k].text) == QStringLiteral("姓名"))
            nameColumn = k;
        else if (squeezed(first[k].text) == QStringLiteral("性别"))
            sexColumn = k;
    }
    const bool pairHeading = first.size() == 2 && nameColumn == 0 && sexColumn == 1;
    if (nameColumn < 0 || pairHeading) {
        if (pairHeading)
            fields.remove(0, 2);
        if (fields.size() % 2 != 0)
            return r;
        for (qsizetype k = 0; k < fields.size(); k += 2)
            r.students << std::pair(fields[k].text, fields[k + 1].text);
        r.ok = true;
        return r;
    }
    QList<Field> line;
    for (qsizetype k = first.size(); k < fields.size(); ++k) {
        line << fields[k];
        if (!fields[k].endsLine && k + 1 < fields.size())
            continue;
        if (line.size() <= nameColumn || line.front().blankLine)
            return r;
        r.students << std::pair(line[nameColumn].text, sexColumn < line.size() && sexColumn >= 0 ? line[sexColumn].text : QString());
        line.clear();
    }
    r.ok = true;
    return r;
}

inline Expected model(const QString &text, int limit)
{
    Expected e;
    const Records read = records(text);
    if (!read.ok)
        return e;
    e.ok = true;
    e.records = read.students.size();
    for (qsizetype k = 0; k < qMin<qsizetype>(e.records, limit); ++k) {
        const auto &[name, sex] = read.students[k];
        e.all << name;
        (sex == QStringLiteral("男") ? e.boys : e.girls) << name;
    }
    return e;
}

// GB18030 text of the bytes, or nothing if they are not valid GB18030.
inline std::optional<QString> fromGb18030(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    // A line feed after the bytes makes a character cut off at the end an error.
    QString text = decoder.decode(bytes + '\n');
    if (!decoder.isValid() || decoder.hasError())
        return std::nullopt;
    text.chop(1);
    return text;
}

// GB2312's level-1 characters are the two-byte GBK codes B0A1 to D7F9.
inline bool isLevel1(char32_t c)
{
    QStringEncoder gbk("GB18030", QStringConverter::Flag::Stateless);
    const QByteArray bytes = gbk.encode(QString::fromUcs4(&c, 1));
    if (bytes.size() != 2)
        return false;
    const int code = uchar(bytes[0]) << 8 | uchar(bytes[1]);
    return code >= 0xB0A1 && code <= 0xD7F9 && uchar(bytes[1]) >= 0xA1;
}

// What tells UTF-8 from GB18030 in a text: whether it keeps the rules, its
// sex fields written 男 or 女, then how Chinese its names read.
inline std::tuple<bool, qint64, qint64> weight(const QString &text)
{
    const Records read = records(text);
    qint64 sexes = 0;
    qint64 score = 0;
    for (const auto &[name, sex] : read.students) {
        sexes += sex.trimmed() == QStringLiteral("男") || sex.trimmed() == QStringLiteral("女");
        for (const char32_t c : name.toUcs4()) {
            const QChar::Category category = QChar::category(c);
            score += isLevel1(c) ? 1 : (category == QChar::Other_PrivateUse || category == QChar::Other_NotAssigned) ? -1 : 0;
        }
    }
    return {read.ok, sexes, score};
}

// A file without a byte-order mark is UTF-8 if it is valid UTF-8, unless it
// is valid GB18030 too and weighs more read that way. Nothing where neither
// applies (GB18030 with errors: not modelled here).
inline std::optional<Expected> modelWithoutMark(const QByteArray &bytes, int limit)
{
    const std::optional<QString> gb = fromGb18030(bytes);
    if (!QByteArrayView(bytes).isValidUtf8())
        return gb ? std::optional(model(*gb, limit)) : std::nullopt;
    const QString utf8 = QString::fromUtf8(bytes);
    return model(gb && weight(*gb) > weight(utf8) ? *gb : utf8, limit);
}

inline QStringList filled(const std::vector<QString> &entries, int last)
{
    QStringList names;
    for (int k = 0; k <= last; ++k)
        names << entries[size_t(k)];
    return names;
}

// Empty if the reader loads `bytes` as expected, else what differs.
inline QString compare(const char *form, const QByteArray &bytes, const Expected &expected, int limit)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    RosterLists lists(kSeatChartRoster.slotCount);
    const bool ok = readRoster(buffer, limit, lists) == RosterStatus::Loaded;
    const QStringList all = filled(lists.allNames, lists.allLast);
    const bool same = ok == expected.ok
        && (!ok
            || (lists.recordCount == expected.records && all == expected.all
                && filled(lists.boyNames, lists.boyLast) == expected.boys
                && filled(lists.girlNames, lists.girlLast) == expected.girls));
    if (same)
        return {};
    return QStringLiteral("reader and model differ on the %1 file (limit %2): reader %3, %4 records, model %5, %6\n"
                          "reader: %7\nmodel:  %8")
        .arg(QLatin1String(form)).arg(limit).arg(QLatin1String(ok ? "ok" : "fails")).arg(lists.recordCount)
        .arg(QLatin1String(expected.ok ? "ok" : "fails")).arg(expected.records)
        .arg(all.join(u'|'), expected.all.join(u'|'));
}

inline QByteArray encoded(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

// The input's bytes as a file without a mark, where the model applies, then
// the input taken as UTF-8 text and saved as UTF-8 (with and without a
// byte-order mark), as UTF-16 LE and BE and as GB18030 (GBK where it can be
// written): each file must load into exactly the lists that the model
// derives. Empty if all agree, else the first difference.
inline QString compareWithModel(const QByteArray &input)
{
    // Kept as it stands: a U+FEFF at the start is text here, not a mark.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(input);
    const bool leadingMark = text.startsWith(QChar(0xFEFF));
    const auto markless = [](const QByteArray &bytes) {
        return !bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF");
    };

    QString differs;
    const auto check = [&](const char *form, const QByteArray &bytes, const Expected &expected, int limit) {
        if (differs.isEmpty())
            differs = compare(form, bytes, expected, limit);
    };
    for (const int limit : {kSeatChartRoster.limit, 3}) {
        if (markless(input)) {
            if (const std::optional<Expected> fromBytes = modelWithoutMark(input, limit))
                check("given", input, *fromBytes, limit);
        }
        const Expected expected = model(text, limit);
        check("UTF-8 with BOM", "\xEF\xBB\xBF" + encoded(text, QStringConverter::Utf8), expected, limit);
        check("UTF-16LE", "\xFF\xFE" + encoded(text, QStringConverter::Utf16LE), expected, limit);
        check("UTF-16BE", "\xFE\xFF" + encoded(text, QStringConverter::Utf16BE), expected, limit);
        // Without a mark, a U+FEFF that opens the file is taken for one.
        const QByteArray utf8Bytes = encoded(text, QStringConverter::Utf8);
        if (leadingMark)
            check("UTF-8", utf8Bytes, model(text.mid(1), limit), limit);
        else if (const std::optional<Expected> fromBytes = modelWithoutMark(utf8Bytes, limit))
            check("UTF-8", utf8Bytes, *fromBytes, limit);

        QStringEncoder gb("GB18030");
        if (!gb.isValid())
            continue;
        const QByteArray gbBytes = gb.encode(text);
        if (!gb.hasError() && markless(gbBytes)) {
            if (const std::optional<Expected> fromBytes = modelWithoutMark(gbBytes, limit))
                check("GB18030", gbBytes, *fromBytes, limit);
        }
    }
    return differs;
}

} // namespace qh::model
