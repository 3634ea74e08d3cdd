// Reading the instruction files: decodings, line ends, and files that are
// missing, odd or too large.
#include "platform/core/Exceptions.h"
#include "platform/runtime/TextFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QString OpenErrorText(const QString& path)
{
    try {
        ReadTextFileLines(path);
    } catch (const EFOpenError& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

TEST(SplitLines, EachKindOfLineEndEndsALine)
{
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"a\r\nb\r\nc", {"a", "b", "c"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\nb\nc", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks, not one pair
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\n", {"a"}},
        {"\n", {""}},
        {"", {}},
        {"one line", {"one line"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitLines(QString::fromLatin1(c.text)), c.lines) << c.text;
}

TEST(ReadTextFile, Windows1251ByDefaultAndUtf8WhenValidWithNonAscii)
{
    QTemporaryDir dir;
    // "Нота" in Windows-1251, then the same word in UTF-8.
    const QString cp = WriteFile(dir, QStringLiteral("cp.txt"), QByteArray("\xCD\xEE\xF2\xE0\r\nok"));
    const QString utf = WriteFile(dir, QStringLiteral("utf.txt"), QStringLiteral("Нота\nok").toUtf8());
    const QString ascii = WriteFile(dir, QStringLiteral("ascii.txt"), QByteArray("plain\rtext"));
    EXPECT_EQ(ReadTextFileLines(cp), (QStringList{QStringLiteral("Нота"), QStringLiteral("ok")}));
    EXPECT_EQ(ReadTextFileLines(utf), (QStringList{QStringLiteral("Нота"), QStringLiteral("ok")}));
    EXPECT_EQ(ReadTextFileLines(ascii), (QStringList{QStringLiteral("plain"), QStringLiteral("text")}));
}

TEST(ReadTextFile, AMissingFileRaisesTheFileOpenErrorWithItsPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.txt"));
    EXPECT_EQ(OpenErrorText(path), QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
    EXPECT_THROW(ReadTextFile(path), EFOpenError);
}

TEST(ReadTextFile, ADirectoryOrAnUnreadableFileIsRefusedWithTheSameError)
{
    QTemporaryDir dir;
    EXPECT_EQ(OpenErrorText(dir.path()), QStringLiteral("Cannot open file \"%1\". Is a directory").arg(dir.path()));
    const QString locked = WriteFile(dir, QStringLiteral("locked.txt"), "x");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    if (QFile(locked).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with permission to read anything";
    EXPECT_EQ(OpenErrorText(locked), QStringLiteral("Cannot open file \"%1\". Permission denied").arg(locked));
}

TEST(ReadTextFile, EmptyBinaryAndHugeFilesAreReadOrRefusedWithoutHarm)
{
    QTemporaryDir dir;
    EXPECT_TRUE(ReadTextFileLines(WriteFile(dir, QStringLiteral("empty.txt"), QByteArray())).isEmpty());

    QByteArray binary;
    for (int i = 0; i < 256; ++i)
        binary.append(char(i));
    const QStringList lines = ReadTextFileLines(WriteFile(dir, QStringLiteral("bin.dat"), binary));
    EXPECT_EQ(lines.size(), 3);  // bytes 10 and 13 end lines; NUL is kept as a character
    EXPECT_EQ(lines[0].size(), 10);

    const QString huge = dir.filePath(QStringLiteral("huge.txt"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(MaxTextFileSize + 1));  // sparse: no real disk use
    }
    EXPECT_EQ(OpenErrorText(huge), QStringLiteral("Cannot open file \"%1\". File too large").arg(huge));
}

TEST(ReadTextFile, ADeviceWithoutEndIsCutOffAtTheLimit)
{
    if (!QFile::exists(QStringLiteral("/dev/zero")))
        GTEST_SKIP();
    EXPECT_EQ(OpenErrorText(QStringLiteral("/dev/zero")), QStringLiteral("Cannot open file \"/dev/zero\". File too large"));
}
