#include "controls/flat/SpinEditValue.h"

#include "platform/runtime/SysUtils.h"

#include <climits>

TSpinTextParse ParseSpinText(const QString& text, int& value)
{
    try {
        value = StrToInt(text);
        return TSpinTextParse::Valid;
    } catch (const EConvertError&) {
    }
    // A decimal number too long for 32 bits: blanks, a sign, digits only.
    int i = 0;
    while (i < int(text.size()) && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < int(text.size()) && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    const int digitsFrom = i;
    while (i < int(text.size()) && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
        ++i;
    if (i == int(text.size()) && i > digitsFrom)
        return negative ? TSpinTextParse::TooSmall : TSpinTextParse::TooLarge;
    return TSpinTextParse::Invalid;
}

int ClampSpinValue(int v, int minValue, int maxValue)
{
    if (minValue == maxValue)
        return v;
    if (v < minValue)
        return minValue;
    if (v > maxValue)
        return maxValue;
    return v;
}

int SpinTextValue(const QString& text, int minValue, int maxValue)
{
    int v = 0;
    switch (ParseSpinText(text, v)) {
    case TSpinTextParse::Valid: return v;
    case TSpinTextParse::TooLarge: return ClampSpinValue(INT_MAX, minValue, maxValue);
    case TSpinTextParse::TooSmall: return ClampSpinValue(INT_MIN, minValue, maxValue);
    case TSpinTextParse::Invalid: break;
    }
    return minValue;
}
