#include "core/roster.h"

#include "core/regularfile.h"

#include <QIODevice>

#include <algorithm>
#include <optional>
#include <utility>

namespace qh {

namespace {

// How the records lie in the file, as its first line tells.
struct Layout {
    bool columns = false; // a heading names the columns; else the fields pair up
    bool heading = false; // pairs: the first two fields are the heading 姓名, 性别
    qint64 nameColumn = 0;
    qint64 sexColumn = -1; // none
    friend bool operator==(const Layout &, const Layout &) = default;
};

// The first line's fields, one by one, and the layout they make.
class FirstLine {
public:
    void add(QStringView text)
    {
        QString heading = text.toString();
        heading.remove(u' ').remove(u'\t').remove(u'\u3000');
        if (heading == u"姓名" && m_name < 0)
            m_name = m_count;
        else if (heading == u"性别" && m_sex < 0)
            m_sex = m_count;
        ++m_count;
    }
    Layout layout() const
    {
        if (m_count == 2 && m_name == 0 && m_sex == 1)
            return {false, true, 0, -1};
        if (m_name >= 0)
            return {true, false, m_name, m_sex};
        return {};
    }

private:
    qint64 m_count = 0;
    qint64 m_name = -1;
    qint64 m_sex = -1;
};

struct RecordPlan {
    std::optional<Layout> layout; // known from an earlier pass, and checked again
    qint64 keep = 0;              // students to keep
    bool stopAtKeep = false;      // read no further than the kept students
    bool weigh = false;           // count what tells UTF-8 from GB18030
};

// Makes records of the fields as the layout says, counts them, keeps the
// first students and, while asked to, weighs the reading.
class RecordReader final : public FieldSink {
public:
    explicit RecordReader(const RecordPlan &plan)
        : m_plan(plan), m_layout(plan.layout.value_or(Layout{})), m_weigh(plan.weigh)
    {
    }

    bool wantsText() const override
    {
        if (m_line == 0)
            return true;
        if (!m_layout.columns)
            return m_weigh || m_pairFields < 2 * m_plan.keep;
        const bool used = m_column == m_layout.nameColumn || m_column == m_layout.sexColumn;
        return used && (m_weigh || m_records < m_plan.keep);
    }

    void field(const ScannedField &field) override
    {
        // Blank lines count only once a record follows them.
        if (field.blankLine) {
            ++m_heldBlankLines;
            return;
        }
        for (; m_heldBlankLines > 0; --m_heldBlankLines)
            take(ScannedField{{}, false, true, true});
        take(field);
    }

    bool done() const override { return m_plan.stopAtKeep && m_records >= m_plan.keep; }
    void stopWeighing() { m_weigh = false; }

    // After the scanner's finish() (`scanned`): whether the text keeps the rules.
    bool finish(bool scanned)
    {
        if (done())
            return scanned && !m_broken;
        if (m_line == 0) // the first line never ended, or there was none
            endFirstLine();
        if (m_layout.columns && m_lineFields > 0)
            endColumnLine();
        return scanned && !m_broken && (m_layout.columns || m_pairFields % 2 == 0);
    }

    const Layout &layout() const { return m_layout; }
    qint64 records() const { return m_records; }
    std::vector<Student> takeStudents() { return std::move(m_students); }
    Reading weight(bool valid, bool ok) const { return {valid, ok, m_sexWords, m_nameScore}; }

private:
    void take(const ScannedField &field)
    {
        if (m_line == 0) {
            m_firstLine.add(field.text);
            // Until the line ends, the first pass takes its fields for pairs.
            if (!m_plan.layout || (!m_layout.columns && !m_layout.heading))
                takePair(field);
            if (field.endsLine)
                endFirstLine();
            else
                ++m_column;
            return;
        }
        if (m_layout.columns)
            takeColumn(field);
        else
            takePair(field);
    }

    void endFirstLine()
    {
        const Layout found = m_firstLine.layout();
        if (m_plan.layout) {
            m_broken = m_broken || found != *m_plan.layout; // the file changed
        } else if (found.columns || found.heading) {
            m_layout = found;
            m_pairFields = m_records = m_sexWords = m_nameScore = 0;
            m_students.clear();
        }
        m_line = 1;
        m_column = 0;
    }

    void takePair(const ScannedField &field)
    {
        if (m_pairFields++ % 2 == 0) {
            m_name = field.text;
            weighName(field);
        } else {
            weighSex(field);
            addStudent(field.text == QStringView(kBoySex));
        }
    }

    void takeColumn(const ScannedField &field)
    {
        m_broken = m_broken || field.blankLine; // a blank line between records
        if (m_column == m_layout.nameColumn) {
            m_name = field.text;
            weighName(field);
        }
        if (m_column == m_layout.sexColumn) {
            m_boy = field.text == QStringView(kBoySex);
            weighSex(field);
        }
        m_lineFields = m_column + 1;
        if (field.endsLine)
            endColumnLine();
        else
            ++m_column;
    }

    void endColumnLine()
    {
        if (m_lineFields <= m_layout.nameColumn)
            m_broken = true; // no 姓名 column
        else
            addStudent(m_boy);
        m_boy = false;
        m_lineFields = m_column = 0;
    }

    void addStudent(bool boy)
    {
        if (m_records++ < m_plan.keep)
            m_students.push_back({std::move(m_name), boy});
        m_name.clear();
    }

    // An ASCII field is the same text either way and holds no Chinese.
    void weighName(const ScannedField &field)
    {
        if (m_weigh && field.nonAscii)
            m_nameScore += nameScore(field.text);
    }
    void weighSex(const ScannedField &field)
    {
        if (m_weigh && field.nonAscii)
            m_sexWords += isSexWord(field.text);
    }

    RecordPlan m_plan;
    Layout m_layout;
    bool m_weigh;
    FirstLine m_firstLine;
    qint64 m_line = 0;   // 0 for the first line, 1 for any later one
    qint64 m_column = 0; // the next field's column in its line
    qint64 m_lineFields = 0;
    qint64 m_heldBlankLines = 0;
    qint64 m_pairFields = 0;
    qint64 m_records = 0;
    bool m_broken = false;
    QString m_name;
    bool m_boy = false;
    std::vector<Student> m_students;
    qint64 m_sexWords = 0;
    qint64 m_nameScore = 0;
};

// One reading of the bytes.
struct Scan {
    Scan(TextEncoding encoding, const RecordPlan &plan) : records(plan), scanner(encoding, records) {}
    bool finish() { return records.finish(scanner.finish()); }
    RecordReader records;
    FieldScanner scanner;
};

struct Pass {
    RosterStatus status = RosterStatus::Loaded;
    std::optional<TextEncoding> mark;
    TextEncoding encoding = TextEncoding::Utf8;
    Layout layout;
    qint64 records = 0;
    std::vector<Student> students;
};

Pass passResult(Pass pass, Scan &scan, bool ok)
{
    pass.status = ok ? RosterStatus::Loaded : RosterStatus::Malformed;
    pass.layout = scan.records.layout();
    pass.records = scan.records.records();
    pass.students = scan.records.takeStudents();
    return pass;
}

Pass cannotOpen() { return Pass{RosterStatus::CannotOpen, {}, {}, {}, 0, {}}; }

Pass readOneWay(QIODevice &device, qsizetype chunkBytes, Pass pass, const RecordPlan &plan)
{
    Scan scan(pass.encoding, plan);
    const bool read = readChunks(device, chunkBytes, [&](QByteArrayView bytes) {
        scan.scanner.feed(bytes);
        return !scan.scanner.done();
    });
    if (!read)
        return cannotOpen();
    const bool ok = scan.finish();
    return passResult(std::move(pass), scan, ok);
}

// The same bytes as UTF-8 and as GB18030 at once, the way chooseEncoding()
// settles. A reading that cannot be the file's stops early: UTF-8 once a
// byte is not UTF-8; GB18030 once a byte is not GB18030 while all are still
// UTF-8 (read again, alone, in the rare file that turns out neither).
Pass readEitherWay(QIODevice &device, qsizetype chunkBytes, Pass pass, RecordPlan plan)
{
    const qint64 start = device.pos();
    plan.weigh = true;
    Scan utf8(TextEncoding::Utf8, plan);
    Scan gb(TextEncoding::Gb18030, plan);
    Utf8Check check;
    bool gbDropped = false;
    const bool read = readChunks(device, chunkBytes, [&](QByteArrayView bytes) {
        // Weighed only while both are possible: otherwise the valid one wins.
        if (!check.validSoFar() || !gb.scanner.validGb18030()) {
            utf8.records.stopWeighing();
            gb.records.stopWeighing();
        }
        check.feed(bytes);
        if (check.validSoFar())
            utf8.scanner.feed(bytes);
        if (!gbDropped)
            gb.scanner.feed(bytes);
        gbDropped = gbDropped || (!gb.scanner.validGb18030() && check.validSoFar());
        return check.validSoFar() || !gbDropped;
    });
    if (!read)
        return cannotOpen();
    const bool utf8Ok = check.validSoFar() && utf8.finish();
    const bool gbOk = !gbDropped && gb.finish();
    const Reading asUtf8 = utf8.records.weight(check.validAtEnd(), utf8Ok);
    const Reading asGb = gb.records.weight(!gbDropped && gb.scanner.validGb18030(), gbOk);
    pass.encoding = chooseEncoding(asUtf8, asGb);
    if (pass.encoding == TextEncoding::Utf8)
        return passResult(std::move(pass), utf8, utf8Ok);
    if (!gbDropped)
        return passResult(std::move(pass), gb, gbOk);
    if (!device.seek(start))
        return cannotOpen();
    plan.weigh = false;
    return readOneWay(device, chunkBytes, std::move(pass), plan);
}

// One pass from the start of the device: the byte-order mark, then the
// records in `encoding`, or, for the first pass over a file without a mark,
// in the encoding that fits it.
Pass readPass(QIODevice &device, qsizetype chunkBytes, std::optional<TextEncoding> encoding, const RecordPlan &plan)
{
    if (!device.seek(0))
        return cannotOpen();
    const auto mark = byteOrderMark(device.read(3));
    if (!device.seek(mark ? mark->second : 0))
        return cannotOpen();
    Pass pass;
    if (mark)
        pass.mark = mark->first;
    if (!mark && !encoding)
        return readEitherWay(device, chunkBytes, std::move(pass), plan);
    pass.encoding = mark ? mark->first : *encoding;
    return readOneWay(device, chunkBytes, std::move(pass), plan);
}

// Both passes; `passOverFile(encoding, plan)` opens the file (or rewinds the
// device) and runs one readPass() on it.
template <typename PassOverFile> RosterStatus readTwice(PassOverFile passOverFile, int limit, Roster &roster)
{
    limit = std::max(limit, 0);
    // First pass: the encoding, the layout and the count.
    const Pass first = passOverFile(std::nullopt, RecordPlan{});
    if (first.status != RosterStatus::Loaded)
        return first.status;

    // Second pass: below the limit to the end of the file, else exactly
    // `limit` students, leaving the rest unread. Any sign that the file is
    // no longer the one just counted makes it fail.
    const qint64 wanted = std::min<qint64>(first.records, limit);
    const bool atLimit = first.records >= limit;
    Pass second = passOverFile(first.encoding, RecordPlan{first.layout, wanted, atLimit, false});
    if (second.status != RosterStatus::Loaded)
        return second.status;
    if (second.mark != first.mark || qint64(second.students.size()) != wanted
        || (!atLimit && second.records != first.records))
        return RosterStatus::Malformed;
    roster.students = std::move(second.students);
    roster.recordCount = first.records;
    return RosterStatus::Loaded;
}

} // namespace

RosterStatus readStudents(const QString &path, int limit, Roster &roster)
{
    return readTwice([&](std::optional<TextEncoding> encoding, const RecordPlan &plan) {
        SizedFile file;
        if (!file.openFile(path))
            return cannotOpen();
        return readPass(file, kChunkBytes, encoding, plan);
    }, limit, roster);
}

RosterStatus readStudents(QIODevice &device, int limit, Roster &roster, qsizetype chunkBytes)
{
    if (!device.isReadable() || device.isSequential())
        return RosterStatus::CannotOpen;
    return readTwice([&](std::optional<TextEncoding> encoding, const RecordPlan &plan) {
        return readPass(device, chunkBytes, encoding, plan);
    }, limit, roster);
}

RosterLists::RosterLists(int slotCount)
    : allNames(size_t(qMax(slotCount, 0)))
    , boyNames(size_t(qMax(slotCount, 0)))
    , girlNames(size_t(qMax(slotCount, 0)))
{
}

void RosterLists::assign(const Roster &roster)
{
    const size_t slotCount = std::min({allNames.size(), boyNames.size(), girlNames.size()});
    size_t all = 0, boys = 0, girls = 0;
    for (const Student &student : roster.students) {
        if (all == slotCount)
            break;
        allNames[all++] = student.name;
        (student.boy ? boyNames[boys++] : girlNames[girls++]) = student.name;
    }
    allLast = int(all) - 1;
    boyLast = int(boys) - 1;
    girlLast = int(girls) - 1;
    recordCount = roster.recordCount;
}

namespace {

template <typename Source>
RosterStatus readInto(Source &&readFrom, int limit, RosterLists &lists)
{
    const size_t slotCount = std::min({lists.allNames.size(), lists.boyNames.size(), lists.girlNames.size()});
    Roster roster;
    const RosterStatus status = readFrom(int(std::clamp<qint64>(limit, 0, qint64(slotCount))), roster);
    if (status == RosterStatus::Loaded)
        lists.assign(roster);
    return status;
}

} // namespace

RosterStatus readRoster(const QString &path, int limit, RosterLists &lists)
{
    return readInto([&](int clamped, Roster &roster) { return readStudents(path, clamped, roster); }, limit, lists);
}

RosterStatus readRoster(QIODevice &device, int limit, RosterLists &lists, qsizetype chunkBytes)
{
    return readInto([&](int clamped, Roster &roster) { return readStudents(device, clamped, roster, chunkBytes); },
                    limit, lists);
}

} // namespace qh
