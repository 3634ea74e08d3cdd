#include "platform/graphics/TextPrefix.h"

TPrefixedText ResolvePrefixes(QStringView s)
{
    constexpr QChar kPrefix = u'&';
    TPrefixedText r;
    r.text.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != kPrefix) {
            r.text += s[i];
        } else if (i + 1 == s.size()) {
            r.dangling = true;
        } else if (s[++i] == kPrefix) {
            r.text += kPrefix;
        } else {
            r.last = int(r.text.size());
            if (r.first < 0)
                r.first = r.last;
            r.text += s[i];
        }
    }
    return r;
}

std::optional<QChar> AcceleratorOf(QStringView caption)
{
    const TPrefixedText r = ResolvePrefixes(caption);
    if (r.first < 0)
        return std::nullopt;
    return r.text[r.first];
}

bool IsAcceleratorOf(QStringView caption, QChar ch)
{
    const std::optional<QChar> a = AcceleratorOf(caption);
    return a && a->toUpper() == ch.toUpper();
}
