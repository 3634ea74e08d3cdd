// The instruction-file decoding: bytes to text (Windows-1251, or UTF-8 with
// or without a byte-order mark) and text to lines, as ReadTextFile and
// ReadTextFileLines do after reading the file.

#include "fuzz/FuzzCheck.h"
#include "platform/runtime/Encoding.h"
#include "platform/runtime/TextFile.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

namespace {

bool HasNonAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<std::uint8_t>(c) >= 0x80)
            return true;
    return false;
}

// Qt's own decoder as the second opinion on well-formed UTF-8.
bool QtReadsAsUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && text.toUtf8() == bytes;
}

void CheckDecoding(QByteArrayView bytes, const QString& text)
{
    const bool utf8 = IsUtf8WithNonAscii(bytes);
    FUZZ_CHECK(utf8 == (HasNonAscii(bytes) && QtReadsAsUtf8(bytes)));
    if (utf8) {
        // UTF-8 comes back byte for byte, less one leading byte-order mark.
        const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
        FUZZ_CHECK(text.toUtf8() == body);
        return;
    }
    // One character per byte; every byte but the unused 0x98 comes back.
    FUZZ_CHECK(text.size() == bytes.size());
    QByteArray expected = bytes.toByteArray();
    expected.replace('\x98', '?');
    FUZZ_CHECK(StringToCp1251(text) == expected);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        FUZZ_CHECK(text[i] == Cp1251ToChar(static_cast<std::uint8_t>(bytes[i])));
}

// Lines hold no break; joined, they are the text without its breaks; there is
// one line per break plus one for an unfinished last line.
void CheckLines(const QString& text, const QStringList& lines)
{
    QString joined;
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        joined += line;
    }
    QString withoutBreaks = text;
    withoutBreaks.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    FUZZ_CHECK(joined == withoutBreaks);

    qsizetype breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            continue;  // counted at its LF
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n'))
            ++breaks;
    }
    const bool unfinished =
        !text.isEmpty() && text.back() != QLatin1Char('\r') && text.back() != QLatin1Char('\n');
    FUZZ_CHECK(lines.size() == breaks + (unfinished ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = DecodeTextFile(bytes);
    CheckDecoding(bytes, text);
    CheckLines(text, SplitLines(text));
    return 0;
}
