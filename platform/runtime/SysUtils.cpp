#include "platform/runtime/SysUtils.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

QString SysErrorMessage(int errorCode)
{
    QString text = QString::fromLocal8Bit(std::strerror(errorCode));
    while (!text.isEmpty()) {
        const QChar c = text.back();
        if (c != QLatin1Char(' ') && c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QLatin1Char('.') &&
            c != QLatin1Char('\t'))
            break;
        text.chop(1);
    }
    return text;
}

EFOpenError FileOpenError(const QString& path, int errorCode)
{
    return FileOpenError(path, SysErrorMessage(errorCode));
}

EFOpenError FileOpenError(const QString& path, const QString& reason)
{
    return EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

EOutOfResources MemoCapacityError()
{
    return EOutOfResources(QStringLiteral("Text exceeds memo capacity"));
}

namespace {

// 0..15 for a decimal or hexadecimal digit, -1 otherwise.
int DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

std::optional<int> ParseInt(const QString& s)
{
    int i = 0;
    const int n = int(s.size());
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && s[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= n)
        return std::nullopt;
    // Hexadecimal text may fill all 32 bits; decimal must fit the sign.
    const std::int64_t limit =
        base == 16 ? std::int64_t(0xFFFFFFFF) : std::int64_t(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const int digit = DigitValue(s[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16)
        value = std::int64_t(std::int32_t(std::uint32_t(value)));
    return int(negative ? -value : value);
}

}  // namespace

int StrToInt(const QString& s)
{
    if (std::optional<int> v = ParseInt(s))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

int StrToIntDef(const QString& s, int fallback)
{
    return ParseInt(s).value_or(fallback);
}
