#pragma once
// Devices that stand in for roster files which change, fail or are too large
// to write out.

#include "testfiles.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace qh::test {

// A file in memory that can be replaced by other content once a reader has
// read to its end (the teacher saves the file between the two passes), and
// that can fail every read.
class ScriptedDevice final : public QIODevice {
public:
    explicit ScriptedDevice(QByteArray data)
        : m_data(std::move(data))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    void replaceAtEnd(QByteArray next)
    {
        m_next = std::move(next);
        m_hasNext = true;
    }
    void failReads() { m_fail = true; }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_data.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_fail)
            return -1;
        const qint64 at = pos();
        if (at >= m_data.size()) {
            if (m_hasNext) {
                m_data = m_next;
                m_hasNext = false;
            }
            return 0;
        }
        const qint64 n = std::min(maxSize, m_data.size() - at);
        std::memcpy(data, m_data.constData() + at, size_t(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    QByteArray m_next;
    bool m_hasNext = false;
    bool m_fail = false;
};

// `prefix`, then `count` copies of `fill`, then `suffix`, produced on demand.
class PatternDevice final : public QIODevice {
public:
    PatternDevice(QByteArray prefix, char fill, qint64 count, QByteArray suffix)
        : m_prefix(std::move(prefix)), m_fill(fill), m_count(count), m_suffix(std::move(suffix))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_prefix.size() + m_count + m_suffix.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        qint64 at = pos();
        qint64 done = 0;
        const qint64 fillEnd = m_prefix.size() + m_count;
        while (done < maxSize && at < size()) {
            qint64 n;
            if (at < m_prefix.size()) {
                n = std::min(maxSize - done, m_prefix.size() - at);
                std::memcpy(data + done, m_prefix.constData() + at, size_t(n));
            } else if (at < fillEnd) {
                n = std::min(maxSize - done, fillEnd - at);
                std::memset(data + done, m_fill, size_t(n));
            } else {
                n = std::min(maxSize - done, size() - at);
                std::memcpy(data + done, m_suffix.constData() + (at - fillEnd), size_t(n));
            }
            done += n;
            at += n;
        }
        return done;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_prefix;
    char m_fill;
    qint64 m_count;
    QByteArray m_suffix;
};

} // namespace qh::test
