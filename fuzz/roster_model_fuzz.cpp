// Checks the roster reader against a model of the rules. The input, taken as
// UTF-8 text, is saved as UTF-8 (with and without a byte-order mark), as
// UTF-16 LE and BE and as GB18030 (GBK where it can be written), and each file
// must load into exactly the lists that the model below derives from the text.
//
// The model is written straight from the documented field rules and shares
// no code with the reader: it works on the whole decoded text at once, with
// no chunks, no bytes and no counting pass. A file without a mark is decoded
// whole both ways to choose between UTF-8 and GB18030.

#include "core/roster.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

struct Expected {
    bool ok = false;
    qint64 records = 0;
    QStringList all, boys, girls;
};

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
// Outside quotes a full-width comma, as a Chinese input method types it, is a comma.
bool isSeparator(QChar c) { return c == u',' || c == u'\uFF0C' || c == u'\r' || c == u'\n'; }

// A field keeps at most 4096 characters, never half a surrogate pair.
QString capped(QString field)
{
    if (field.size() > 4096) {
        field.truncate(4096);
        if (field.back().isHighSurrogate())
            field.chop(1);
    }
    return field;
}

struct ModelFields {
    bool ok = true; // false if the text ends where a field ought to begin
    QStringList fields;
};

ModelFields modelFields(const QString &text)
{
    ModelFields result;
    QStringList &fields = result.fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skipSeparator = [&] {
        if (i < n)
            i += (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
    };
    while (i < n) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i == n) {
            result.ok = false;
            break;
        }
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            fields << capped(text.mid(i + 1, end - i - 1));
            i = end;
            if (close >= 0) { // what follows the closing quote up to the separator is dropped
                while (i < n && !isSeparator(text[i]))
                    ++i;
                skipSeparator();
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isSeparator(text[i]))
                ++i;
            QString field = text.mid(start, i - start);
            while (!field.isEmpty() && isBlank(field.back()))
                field.chop(1);
            fields << capped(field);
            skipSeparator();
        }
    }
    return result;
}

// A spreadsheet's heading row: 姓名 and 性别, spaces aside.
bool isHeading(const QString &name, const QString &sex)
{
    static const QRegularExpression spaces(QStringLiteral("[ \t\u3000]"));
    return QString(name).remove(spaces) == QStringLiteral("姓名") && QString(sex).remove(spaces) == QStringLiteral("性别");
}

Expected model(const QString &text, int limit)
{
    Expected e;
    const ModelFields read = modelFields(text);
    QStringList fields = read.fields;
    if (!read.ok || fields.size() % 2 != 0)
        return e;
    if (fields.size() >= 2 && isHeading(fields[0], fields[1]))
        fields.remove(0, 2);
    e.ok = true;
    e.records = fields.size() / 2;
    for (qsizetype k = 0; k < qMin<qsizetype>(e.records, limit); ++k) {
        const QString &name = fields.at(2 * k);
        e.all << name;
        (fields.at(2 * k + 1) == QStringLiteral("男") ? e.boys : e.girls) << name;
    }
    return e;
}

// What tells UTF-8 from GB18030 in a text: first its sex fields written
// 男 or 女, then the CJK ideographs (the unified blocks, extension A, the
// compatibility block and the two ideographic planes) in its name fields.
std::pair<qint64, qint64> weight(const QString &text)
{
    const QStringList fields = modelFields(text).fields;
    qint64 sexes = 0;
    qint64 ideographs = 0;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        if (k % 2 == 1) {
            const QString sex = fields[k].trimmed();
            sexes += sex == QStringLiteral("男") || sex == QStringLiteral("女");
            continue;
        }
        for (const char32_t c : fields[k].toUcs4()) {
            ideographs += (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)
                || (c >= 0x20000 && c <= 0x3FFFF);
        }
    }
    return {sexes, ideographs};
}

// GB18030 text of the bytes, or nothing if they are not valid GB18030.
std::optional<QString> fromGb18030(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    // A line feed after the bytes makes a character cut off at the end an error.
    QString text = decoder.decode(bytes + '\n');
    if (!decoder.isValid() || decoder.hasError())
        return std::nullopt;
    text.chop(1);
    return text;
}

// A file without a byte-order mark is UTF-8 if it is valid UTF-8, unless it
// is valid GB18030 too and weighs more read that way.
// Nothing where neither applies (GB18030 with errors: not modelled here).
std::optional<Expected> modelWithoutMark(const QByteArray &bytes, int limit)
{
    const std::optional<QString> gb = fromGb18030(bytes);
    if (!QByteArrayView(bytes).isValidUtf8())
        return gb ? std::optional(model(*gb, limit)) : std::nullopt;
    const QString utf8 = QString::fromUtf8(bytes);
    return model(gb && weight(*gb) > weight(utf8) ? *gb : utf8, limit);
}

QStringList filled(const std::vector<QString> &entries, int last)
{
    QStringList names;
    for (int k = 0; k <= last; ++k)
        names << entries[size_t(k)];
    return names;
}

void check(const char *form, const QByteArray &bytes, const Expected &expected, int limit)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    qh::RosterLists lists(qh::kSeatChartRoster.slotCount);
    const bool ok = qh::readRoster(buffer, limit, lists);
    const bool same = ok == expected.ok
        && (!ok
            || (lists.recordCount == expected.records && filled(lists.allNames, lists.allLast) == expected.all
                && filled(lists.boyNames, lists.boyLast) == expected.boys
                && filled(lists.girlNames, lists.girlLast) == expected.girls));
    if (same)
        return;
    std::fprintf(stderr, "reader and model differ on the %s file (limit %d): reader %s, %lld records, model %s, %lld\n",
                 form, limit, ok ? "ok" : "fails", static_cast<long long>(lists.recordCount),
                 expected.ok ? "ok" : "fails", static_cast<long long>(expected.records));
    std::fprintf(stderr, "reader: %s\nmodel:  %s\n",
                 qPrintable(filled(lists.allNames, lists.allLast).join(u'|')), qPrintable(expected.all.join(u'|')));
    std::abort();
}

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Kept as it stands: a U+FEFF at the start is text here, not a mark.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const bool leadingMark = text.startsWith(QChar(0xFEFF));

    for (const int limit : {qh::kSeatChartRoster.limit, 3}) {
        const Expected expected = model(text, limit);
        check("UTF-8 with BOM", "\xEF\xBB\xBF" + encoded(text, QStringConverter::Utf8), expected, limit);
        check("UTF-16LE", "\xFF\xFE" + encoded(text, QStringConverter::Utf16LE), expected, limit);
        check("UTF-16BE", "\xFE\xFF" + encoded(text, QStringConverter::Utf16BE), expected, limit);
        // Without a mark, a U+FEFF that opens the file is taken for one.
        const QByteArray utf8Bytes = encoded(text, QStringConverter::Utf8);
        check("UTF-8", utf8Bytes, leadingMark ? model(text.mid(1), limit) : *modelWithoutMark(utf8Bytes, limit),
              limit);

        QStringEncoder gb("GB18030");
        if (!gb.isValid())
            continue;
        const QByteArray gbBytes = gb.encode(text);
        if (!gb.hasError() && !gbBytes.startsWith("\xEF\xBB\xBF") && !gbBytes.startsWith("\xFF\xFE")
            && !gbBytes.startsWith("\xFE\xFF")) {
            if (const std::optional<Expected> fromBytes = modelWithoutMark(gbBytes, limit))
                check("GB18030", gbBytes, *fromBytes, limit);
        }
    }
    return 0;
}
