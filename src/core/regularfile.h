#pragma once
// Opening a roster file without ever waiting on it. A named pipe, socket or
// device that is named like a roster would make a plain open wait for a
// writer, or a read wait forever, with no window on screen.

#include <QFile>
#include <QString>

namespace qh {

// Opens `path` for reading, unbuffered, only if it is a regular file: checked
// before the open, and again on the opened handle. Neither the open nor a
// read ever blocks (a read with nothing to give fails). False (and `file`
// stays closed) for anything else.
bool openRegularFile(QFile &file, const QString &path);

// A regular file opened as above that yields at most the size it reported
// when it was opened: one that keeps growing is read to that bound, and a
// kernel file that reports no size but gives bytes (most of /proc: one that
// never ends, one that waits for the next kernel message) fails to open,
// after at most one byte read without waiting.
class SizedFile final : public QIODevice {
public:
    bool openFile(const QString &path);
    void close() override;
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile m_file;
    qint64 m_size = 0;
};

} // namespace qh
