// The spin edit's text-to-number rule: the first eight bytes are the limits,
// the rest is the text. A number beyond 32 bits reads as a limit, text that
// is no number as MinValue, an integer as itself.

#include "controls/flat/SpinEditValue.h"
#include "fuzz/FuzzCheck.h"

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

std::int32_t LE32(const std::uint8_t* p)
{
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

// Blanks, an optional sign, then decimal digits only (at least one).
bool IsDecimal(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    return true;
}

bool IsNegative(const QString& text)
{
    return text.trimmed().startsWith(QLatin1Char('-'));
}

void CheckLimited(int value, int minValue, int maxValue)
{
    if (minValue < maxValue)
        FUZZ_CHECK(value >= minValue && value <= maxValue);
    else if (minValue > maxValue)
        FUZZ_CHECK(value == minValue || value == maxValue);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    const int minValue = LE32(data);
    const int maxValue = LE32(data + 4);
    // Latin-1 keeps every byte one character, so digits and signs are easy to
    // reach; the rest of Unicode only ever makes text invalid.
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data + 8), qsizetype(size - 8));

    int parsed = 0;
    const TSpinTextParse parse = ParseSpinText(text, parsed);
    const int value = SpinTextValue(text, minValue, maxValue);
    switch (parse) {
    case TSpinTextParse::Valid: {
        FUZZ_CHECK(value == parsed);
        // The number written back reads as itself.
        int again = 0;
        FUZZ_CHECK(ParseSpinText(QString::number(parsed), again) == TSpinTextParse::Valid && again == parsed);
        if (IsDecimal(text)) {
            bool ok = false;
            FUZZ_CHECK(text.trimmed().toLongLong(&ok) == parsed && ok);
        }
        break;
    }
    case TSpinTextParse::TooLarge:
    case TSpinTextParse::TooSmall: {
        FUZZ_CHECK(IsDecimal(text));
        FUZZ_CHECK(IsNegative(text) == (parse == TSpinTextParse::TooSmall));
        // Beyond 32 bits indeed: a 64-bit reading is out of range or fails.
        bool ok = false;
        const qlonglong wide = text.trimmed().toLongLong(&ok);
        FUZZ_CHECK(!ok || wide > INT_MAX || wide < INT_MIN);
        CheckLimited(value, minValue, maxValue);
        if (minValue == maxValue)
            FUZZ_CHECK(value == (parse == TSpinTextParse::TooLarge ? INT_MAX : INT_MIN));
        break;
    }
    case TSpinTextParse::Invalid:
        FUZZ_CHECK(!IsDecimal(text));
        FUZZ_CHECK(value == minValue);
        break;
    }
    return 0;
}
