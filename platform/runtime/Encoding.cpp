#include "platform/runtime/Encoding.h"

#include <QStringDecoder>

#include <array>

namespace {

// Unicode of the bytes 0x80..0xFF; the bytes below are ASCII.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // 0xF8
};

constexpr char16_t kUnassigned = 0xFFFD;

// Length of the UTF-8 sequence starting at bytes[i], or 0 if it is malformed.
int Utf8SequenceLength(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&bytes](qsizetype k) { return static_cast<std::uint8_t>(bytes[k]); };
    const std::uint8_t lead = at(i);
    int len = 0;
    char32_t cp = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        cp = lead & 0x07;
    } else {
        return 0; // continuation byte, overlong 2-byte lead, or beyond U+10FFFF
    }
    if (i + len > bytes.size())
        return 0;
    for (int k = 1; k < len; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (at(i + k) & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return (overlong || surrogate || cp > 0x10FFFF) ? 0 : len;
}

} // namespace

QChar Cp1251ToChar(std::uint8_t byte)
{
    return byte < 0x80 ? QChar(char16_t(byte)) : QChar(kHighHalf[byte - 0x80]);
}

std::optional<std::uint8_t> CharToCp1251(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return static_cast<std::uint8_t>(u);
    if (u >= 0x0410 && u <= 0x044F) // the main Cyrillic alphabet lies in order
        return static_cast<std::uint8_t>(0xC0 + (u - 0x0410));
    if (u == kUnassigned)
        return std::nullopt;
    for (std::size_t i = 0; i < kHighHalf.size(); ++i)
        if (kHighHalf[i] == u)
            return static_cast<std::uint8_t>(0x80 + i);
    return std::nullopt;
}

QString Cp1251ToString(QByteArrayView bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        s[i] = Cp1251ToChar(static_cast<std::uint8_t>(bytes[i]));
    return s;
}

QByteArray StringToCp1251(const QString& s, char replacement)
{
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            out += replacement;
            ++i;
            continue;
        }
        const auto b = CharToCp1251(s[i]);
        out += b ? static_cast<char>(*b) : replacement;
    }
    return out;
}

bool IsUtf8WithNonAscii(QByteArrayView bytes)
{
    bool nonAscii = false;
    for (qsizetype i = 0; i < bytes.size();) {
        const int len = Utf8SequenceLength(bytes, i);
        if (len == 0)
            return false;
        nonAscii = nonAscii || len > 1;
        i += len;
    }
    return nonAscii;
}

QString DecodeTextFile(QByteArrayView bytes)
{
    if (!IsUtf8WithNonAscii(bytes))
        return Cp1251ToString(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // QString::fromUtf8 would drop another leading mark: after the one taken
    // off above, U+FEFF is text (a zero-width no-break space) and stays.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}
