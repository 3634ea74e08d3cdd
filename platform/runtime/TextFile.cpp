#include "platform/runtime/TextFile.h"

#include "platform/runtime/Encoding.h"
#include "platform/runtime/FileDescriptor.h"
#include "platform/runtime/SysUtils.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const TFileDescriptor file(::open(name.constData(), O_RDONLY | O_CLOEXEC));
    if (!file.IsOpen())
        throw FileOpenError(path, errno);
    struct stat st {};
    if (::fstat(file.Get(), &st) != 0)
        throw FileOpenError(path, errno);
    if (S_ISDIR(st.st_mode))
        throw FileOpenError(path, EISDIR);
    if (S_ISREG(st.st_mode) && st.st_size > MaxTextFileSize)
        throw FileOpenError(path, EFBIG);

    // Devices and pipes tell no size: read up to the limit and refuse more.
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = RetryInterrupted([&] { return ::read(file.Get(), buffer, sizeof buffer); });
        if (n < 0)
            throw FileOpenError(path, errno);
        if (n == 0)
            break;
        if (bytes.size() + n > MaxTextFileSize)
            throw FileOpenError(path, EFBIG);
        bytes.append(buffer, n);
    }
    return bytes;
}

}  // namespace

QString ReadTextFile(const QString& path)
{
    return DecodeTextFile(ReadBytes(path));
}

QStringList ReadTextFileLines(const QString& path)
{
    return SplitLines(ReadTextFile(path));
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            ++i;
            continue;
        }
        lines.append(text.mid(start, i - start));
        ++i;
        if (c == QLatin1Char('\r') && i < n && text[i] == QLatin1Char('\n'))
            ++i;
        start = i;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}
