#include "testfiles.h"

#include "core/windowsheader.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qh::test {

QByteArray encodeAs(const QString &text, const char *encoding, bool *ok)
{
#ifdef Q_OS_WIN
    // Qt without ICU has no GB18030 here; GBK (code page 936) text is the
    // same bytes, and text outside GBK is left out.
    if (qstrcmp(encoding, "GB18030") == 0) {
        const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
        const int length = WideCharToMultiByte(936, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
        QByteArray bytes(length, Qt::Uninitialized);
        BOOL lossy = FALSE;
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), length, nullptr, &lossy);
        if (ok)
            *ok = !lossy;
        return lossy ? QByteArray() : bytes;
    }
#endif
    QStringEncoder encoder(encoding);
    if (ok)
        *ok = encoder.isValid();
    if (!encoder.isValid())
        return {};
    QByteArray bytes = encoder.encode(text);
    if (ok)
        *ok = !encoder.hasError();
    return bytes;
}

bool canDecodeGb18030()
{
#ifdef Q_OS_WIN
    return true;
#else
    return QStringDecoder("GB18030").isValid();
#endif
}

QByteArray rosterBytes(const QStringList &lines, const char *encoding, const char *eol, bool *ok)
{
    QByteArray bytes;
    bool all = true;
    for (const QString &line : lines) {
        bool encoded = false;
        bytes += encodeAs(line + QString::fromLatin1(eol), encoding, &encoded);
        all = all && encoded;
    }
    if (ok)
        *ok = all;
    return bytes;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QString sourcePath(const QString &relative)
{
    return QDir(QStringLiteral(QH_SOURCE_DIR)).filePath(relative);
}

} // namespace qh::test
