// The "&" prefix rule shared by the text drawing, the caption measuring and
// the buttons' accelerators.
#include "platform/graphics/TextPrefix.h"

#include <gtest/gtest.h>

namespace {

struct PrefixCase {
    const char16_t* caption;
    const char16_t* shown;
    std::optional<QChar> accelerator;
    int first;
    int last;
    bool dangling;
};

TEST(TextPrefix, ResolvesEveryPrefixTheSameWay)
{
    const PrefixCase cases[] = {
        {u"R&&B &Go", u"R&B Go", QChar(u'G'), 4, 4, false},
        {u"&&", u"&", std::nullopt, -1, -1, false},
        {u"&", u"", std::nullopt, -1, -1, true},
        {u"a&", u"a", std::nullopt, -1, -1, true},
        {u"&&&x", u"&x", QChar(u'x'), 1, 1, false},
        {u"&a&b", u"ab", QChar(u'a'), 0, 1, false},
        {u"&&&", u"&", std::nullopt, -1, -1, true},
        {u"plain", u"plain", std::nullopt, -1, -1, false},
        {u"", u"", std::nullopt, -1, -1, false},
    };
    for (const PrefixCase& c : cases) {
        const QString caption = QString::fromUtf16(c.caption);
        SCOPED_TRACE(caption.toStdString());
        const TPrefixedText r = ResolvePrefixes(caption);
        EXPECT_EQ(r.text, QString::fromUtf16(c.shown));
        EXPECT_EQ(r.first, c.first);
        EXPECT_EQ(r.last, c.last);
        EXPECT_EQ(r.dangling, c.dangling);
        EXPECT_EQ(AcceleratorOf(caption), c.accelerator);
    }
}

TEST(TextPrefix, AcceleratorMatchIgnoresCase)
{
    EXPECT_TRUE(IsAcceleratorOf(u"R&&B &Go", u'g'));
    EXPECT_TRUE(IsAcceleratorOf(u"R&&B &Go", u'G'));
    EXPECT_FALSE(IsAcceleratorOf(u"R&&B &Go", u'B'));
    EXPECT_FALSE(IsAcceleratorOf(u"a&", u'&'));
    EXPECT_TRUE(IsAcceleratorOf(u"&Файл", u'ф'));
}

} // namespace
