// Checks the roster reader against a model of the rules. The input, taken as
// UTF-8 text, is saved as UTF-8 (with and without a byte-order mark), as
// UTF-16 LE and BE and as GB18030 (GBK where it can be written), and each file
// must load into exactly the lists that the model below derives from the text.
//
// The model is written straight from the documented field rules and shares
// no code with the reader: it works on the whole decoded text at once, with
// no chunks, no bytes and no counting pass.

#include "core/roster.h"

#include <QBuffer>
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
bool isSeparator(QChar c) { return c == u',' || c == u'\r' || c == u'\n'; }

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

// The fields of `text`, or nothing if it ends where a field ought to begin.
std::optional<QStringList> modelFields(const QString &text)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skipSeparator = [&] {
        if (i < n)
            i += (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
    };
    while (i < n) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i == n)
            return std::nullopt;
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
    return fields;
}

Expected model(const QString &text, int limit)
{
    Expected e;
    const std::optional<QStringList> fields = modelFields(text);
    if (!fields || fields->size() % 2 != 0)
        return e;
    e.ok = true;
    e.records = fields->size() / 2;
    for (qsizetype k = 0; k < qMin<qsizetype>(e.records, limit); ++k) {
        const QString &name = fields->at(2 * k);
        e.all << name;
        (fields->at(2 * k + 1) == QStringLiteral("男") ? e.boys : e.girls) << name;
    }
    return e;
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
        check("UTF-8", encoded(text, QStringConverter::Utf8), leadingMark ? model(text.mid(1), limit) : expected,
              limit);

        QStringEncoder gb("GB18030");
        if (!gb.isValid())
            continue;
        const QByteArray gbBytes = gb.encode(text);
        // Bytes that are valid UTF-8 as well are read as UTF-8; only where
        // that gives the same text is the GB18030 file expected to match.
        const bool ambiguous = QByteArrayView(gbBytes).isValidUtf8() && QString::fromUtf8(gbBytes) != text;
        if (!gb.hasError() && !ambiguous && !gbBytes.startsWith("\xEF\xBB\xBF") && !gbBytes.startsWith("\xFF\xFE")
            && !gbBytes.startsWith("\xFE\xFF"))
            check("GB18030", gbBytes, expected, limit);
    }
    return 0;
}
