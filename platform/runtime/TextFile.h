#pragma once

// Plain text files read whole: the instruction files beside the program.

#include <QString>
#include <QStringList>

#include <cstdint>

// Files above this size are refused: no instruction file comes near it, and
// reading an arbitrary large file into a text box would only hang the program.
inline constexpr std::int64_t MaxTextFileSize = 16 * 1024 * 1024;

// The file's text: Windows-1251, or UTF-8 when the bytes are valid UTF-8 and
// hold non-ASCII characters. A file that is missing, unreadable, a directory
// or larger than MaxTextFileSize raises the file-open error (EFOpenError)
// naming the path and the reason.
QString ReadTextFile(const QString& path);

// The file's text split into lines (see SplitLines).
QStringList ReadTextFileLines(const QString& path);

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line. A
// break at the very end does not start another line; empty text has no lines.
QStringList SplitLines(const QString& text);
