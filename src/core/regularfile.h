#pragma once
// Opening a roster file without ever waiting on it. A named pipe, socket or
// device that is named like a roster would make a plain open wait for a
// writer, or a read wait forever, with no window on screen.

#include <QFile>
#include <QString>

namespace qh {

// Opens `path` for reading, unbuffered, only if it is a regular file: checked
// before the open, and again on the opened handle. The open itself never
// blocks. False (and `file` stays closed) for anything else.
bool openRegularFile(QFile &file, const QString &path);

} // namespace qh
