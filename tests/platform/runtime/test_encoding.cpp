#include "platform/runtime/Encoding.h"

#include <gtest/gtest.h>

TEST(Cp1251, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        const QChar c = Cp1251ToChar(std::uint8_t(b));
        if (b == 0x98) {
            EXPECT_EQ(c.unicode(), 0xFFFD);
            EXPECT_FALSE(CharToCp1251(c).has_value());
            continue;
        }
        ASSERT_TRUE(CharToCp1251(c).has_value()) << b;
        EXPECT_EQ(*CharToCp1251(c), b) << b;
    }
}

TEST(Cp1251, KnownCharacters)
{
    const struct {
        std::uint8_t byte;
        char16_t unicode;
    } cases[] = {
        {'A', u'A'},    {0xC0, u'А'},   {0xFF, u'я'},   {0xA8, u'Ё'},   {0xB8, u'ё'}, {0xB9, u'№'},
        {0x88, u'€'},   {0x85, u'…'},   {0x96, u'–'},   {0x97, u'—'},   {0xAB, u'«'}, {0xBB, u'»'},
        {0xA0, 0x00A0}, {0x80, u'Ђ'},   {0xA5, u'Ґ'},   {0xDF, u'Я'},   {0xE0, u'а'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp1251ToChar(c.byte).unicode(), c.unicode) << int(c.byte);
}

TEST(Cp1251, StringsBothWays)
{
    const QString text = QStringLiteral("ДО РЕ МИ: ёлка №5 «x»");
    const QByteArray bytes = StringToCp1251(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 0xC4); // Д
    EXPECT_EQ(Cp1251ToString(bytes), text);
    // Characters the code page lacks: one replacement each, pairs included.
    EXPECT_EQ(StringToCp1251(QStringLiteral("a\u4E2Db\U0001F600c")), QByteArray("a?b?c"));
    EXPECT_EQ(StringToCp1251(QStringLiteral("x\u4E2D"), '_'), QByteArray("x_"));
    EXPECT_EQ(Cp1251ToString(QByteArrayView("")), QString());
}

TEST(Utf8Detection, OnlyWellFormedUtf8WithNonAsciiPasses)
{
    const struct {
        QByteArray bytes;
        bool utf8;
    } cases[] = {
        {QByteArray("plain ascii"), false},
        {QByteArray(), false},
        {QStringLiteral("Ладотон").toUtf8(), true},
        {QStringLiteral("a\U0001F600").toUtf8(), true},
        {StringToCp1251(QStringLiteral("Ладотон")), false},
        {StringToCp1251(QStringLiteral("ДО РЕ")), false},
        {QByteArray("\xC0\xAF"), false},         // overlong "/"
        {QByteArray("\xE0\x80\xAF"), false},     // overlong, three bytes
        {QByteArray("\xED\xA0\x80"), false},     // a surrogate
        {QByteArray("\xF4\x90\x80\x80"), false}, // above U+10FFFF
        {QByteArray("\xD0"), false},             // cut short
        {QByteArray("\xD0\x94\x80"), false},     // stray continuation byte
        {QByteArray("\xEF\xBB\xBFok"), true},    // a byte-order mark counts
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUtf8WithNonAscii(c.bytes), c.utf8) << c.bytes.toHex().constData();
}

TEST(Utf8Detection, TextFilesDecodeByTheirEncoding)
{
    EXPECT_EQ(DecodeTextFile(QStringLiteral("Нота\r\n").toUtf8()), QStringLiteral("Нота\r\n"));
    EXPECT_EQ(DecodeTextFile(QByteArray("\xEF\xBB\xBF") + QStringLiteral("Нота").toUtf8()), QStringLiteral("Нота"));
    EXPECT_EQ(DecodeTextFile(StringToCp1251(QStringLiteral("Нота"))), QStringLiteral("Нота"));
    EXPECT_EQ(DecodeTextFile(QByteArray("abc")), QStringLiteral("abc"));
    // Only the first mark is dropped; a second one is text.
    EXPECT_EQ(DecodeTextFile(QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF%")), QString(QChar(0xFEFF)) + QLatin1Char('%'));
    EXPECT_EQ(DecodeTextFile(QByteArray("\xEF\xBB\xBF")), QString());
}
