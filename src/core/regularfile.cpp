#include "core/regularfile.h"
#include "core/windowsheader.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#  include <fcntl.h>
#  include <io.h>
#  include <QDir>
#else
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace qh {

namespace {

// The reader asks for whole chunks; a second buffer would only copy.
constexpr QIODevice::OpenMode kMode = QIODevice::ReadOnly | QIODevice::Unbuffered;

#ifdef Q_OS_WIN
int openHandle(const QString &path)
{
    // Opening a pipe or device by name returns at once on Windows (busy pipes
    // fail); only a disk file passes the type check.
    const QString native = QDir::toNativeSeparators(path);
    HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        CloseHandle(handle);
    return fd;
}

void closeHandle(int fd)
{
    _close(fd);
}
#else
int openHandle(const QString &path)
{
    // Non-blocking, so a pipe without a writer or a device waiting for a
    // carrier cannot hold the open. The flag stays: it changes nothing for a
    // file on a disk, and makes a kernel file that waits for data (/proc/kmsg)
    // answer at once.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void closeHandle(int fd)
{
    ::close(fd);
}
#endif

} // namespace

bool openRegularFile(QFile &file, const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const int fd = openHandle(path);
    if (fd < 0)
        return false;
    if (!file.open(fd, kMode, QFileDevice::AutoCloseHandle)) {
        closeHandle(fd);
        return false;
    }
    return !file.isSequential();
}

bool SizedFile::openFile(const QString &path)
{
    close();
    if (!openRegularFile(m_file, path))
        return false;
    m_size = m_file.size();
    char probe;
    if (m_size <= 0 && m_file.read(&probe, 1) != 0) {
        // Bytes (or a refusal to wait) where the size said there were none.
        m_file.close();
        return false;
    }
    if (!m_file.seek(0)) {
        m_file.close();
        return false;
    }
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void SizedFile::close()
{
    QIODevice::close();
    m_file.close();
    m_size = 0;
}

bool SizedFile::seek(qint64 pos)
{
    return pos >= 0 && pos <= m_size && m_file.seek(pos) && QIODevice::seek(pos);
}

qint64 SizedFile::readData(char *data, qint64 maxSize)
{
    const qint64 left = m_size - m_file.pos();
    return left <= 0 ? 0 : m_file.read(data, qMin(maxSize, left));
}

} // namespace qh
