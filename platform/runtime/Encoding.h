#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

// Windows-1251 (the Cyrillic code page the instruction files and the
// keyboard table use) to and from Unicode. The code page leaves 0x98 unused:
// it decodes to U+FFFD.

QChar Cp1251ToChar(std::uint8_t byte);
// The code-page byte of a character, or nothing when the code page has none.
std::optional<std::uint8_t> CharToCp1251(QChar c);

QString Cp1251ToString(QByteArrayView bytes);
// Characters the code page lacks become the replacement byte (one per
// character, also for a surrogate pair).
QByteArray StringToCp1251(const QString& s, char replacement = '?');

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF) and hold at least one non-ASCII character. Text in
// the Cyrillic code page practically never passes this test.
bool IsUtf8WithNonAscii(QByteArrayView bytes);

// A text file's bytes as a string: UTF-8 (a leading byte-order mark
// dropped) when they pass IsUtf8WithNonAscii, otherwise Windows-1251.
QString DecodeTextFile(QByteArrayView bytes);
