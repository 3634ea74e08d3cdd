#pragma once

// The spin edit's rule for reading its text as a number, apart from the
// widget so that it can be checked on its own.

#include <QString>

#include <cstdint>

enum class TSpinTextParse : std::uint8_t { Valid, Invalid, TooLarge, TooSmall };

// Valid: the text is an integer (StrToInt) and value holds it. TooLarge and
// TooSmall: a decimal number (blanks, a sign, digits only) beyond 32 bits.
// Invalid: anything else. value is set only when Valid.
TSpinTextParse ParseSpinText(const QString& text, int& value);

// v limited to minValue..maxValue; equal limits mean no limits.
int ClampSpinValue(int v, int minValue, int maxValue);

// The text as a number: text that is no integer reads as minValue, a number
// beyond 32 bits as the limit nearest to it. An in-range number is never
// limited.
int SpinTextValue(const QString& text, int minValue, int maxValue);
