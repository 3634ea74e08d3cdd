#include "app/Trainer.h"

#include "platform/runtime/Clock.h"
#include "platform/runtime/Encoding.h"

#include <algorithm>
#include <array>
#include <limits>

const QStringList& OctaveNames()
{
    static const QStringList names{
        QStringLiteral("субконтроктава"), QStringLiteral("контроктава"),   QStringLiteral("большая октава"),
        QStringLiteral("малая октава"),   QStringLiteral("первая октава"), QStringLiteral("вторая октава"),
        QStringLiteral("третья октава"),  QStringLiteral("четвертая октава"), QStringLiteral("пятая октава"),
    };
    return names;
}

int OctaveBelow(int octave)
{
    return octave > 0 ? octave - 1 : octave;
}

int OctaveAbove(int octave, int octaveCount)
{
    return octave < octaveCount - 1 ? octave + 1 : octave;
}

namespace {

// One physical key of the Russian layout: Latin capital and small, Cyrillic
// capital and small, as Windows-1251 bytes, and the semitone it plays. Rows
// in the order the keyboard is read: the bottom row left to right, then the
// row above.
struct TKeyGroup {
    std::array<std::uint8_t, 4> bytes;
    int semitone;
};

constexpr std::array<TKeyGroup, 12> kKeyGroups{{
    {{0x5A, 0x7A, 0xDF, 0xFF}, 0},   // Z  Я
    {{0x58, 0x78, 0xD7, 0xF7}, 2},   // X  Ч
    {{0x43, 0x63, 0xD1, 0xF1}, 4},   // C  С
    {{0x56, 0x76, 0xCC, 0xEC}, 5},   // V  М
    {{0x42, 0x62, 0xC8, 0xE8}, 7},   // B  И
    {{0x4E, 0x6E, 0xD2, 0xF2}, 9},   // N  Т
    {{0x4D, 0x6D, 0xDC, 0xFC}, 11},  // M  Ь
    {{0x53, 0x73, 0xDB, 0xFB}, 1},   // S  Ы
    {{0x44, 0x64, 0xC2, 0xE2}, 3},   // D  В
    {{0x47, 0x67, 0xCF, 0xEF}, 6},   // G  П
    {{0x48, 0x68, 0xD0, 0xF0}, 8},   // H  Р
    {{0x4A, 0x6A, 0xCE, 0xEE}, 10},  // J  О
}};

}  // namespace

int SemitoneForTypedChar(QChar typed, bool ctrlOrAltHeld)
{
    if (ctrlOrAltHeld)
        return -1;
    const std::optional<std::uint8_t> byte = CharToCp1251(typed);
    if (!byte)
        return -1;
    for (const TKeyGroup& g : kKeyGroups)
        if (std::find(g.bytes.begin(), g.bytes.end(), *byte) != g.bytes.end())
            return g.semitone;
    return -1;
}

TResultBox NotesResultBox(int rightCount, int sequenceLength)
{
    // One or two notes are too easy to deserve the congratulation.
    if (rightCount == sequenceLength && sequenceLength > 2)
        return {QStringLiteral("Вы угадали всю последовательность"), QStringLiteral("Поздравляем!")};
    return {QStringLiteral("Угадано %1 из %2").arg(rightCount).arg(sequenceLength), QStringLiteral("Результат")};
}

TIntervalQuestion DrawIntervalQuestion()
{
    TIntervalQuestion q;
    q.firstNote = Random(kSemitonesPerOctave);
    const int d = Random(5);
    q.secondNote = q.firstNote - d < 0 ? q.firstNote + d : q.firstNote - d;
    while (q.secondNote == q.firstNote)
        q.secondNote = q.firstNote + Random(5);
    return q;
}

int SettingFromText(const QString& text, int minValue, int maxValue)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    if (i == t.size())
        return minValue;
    std::int64_t value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9'))
            return minValue;
        // Past any bound already: the digits that follow cannot bring it back.
        if (value <= std::numeric_limits<int>::max())
            value = value * 10 + (t[i].unicode() - '0');
    }
    if (negative)
        value = -value;
    return int(std::clamp<std::int64_t>(value, minValue, maxValue));
}

TPoint PlaceInside(const TRect& designed, const TRect& available)
{
    TPoint p{designed.Left, designed.Top};
    if (p.x + designed.Width() > available.Right)
        p.x = available.Right - designed.Width();
    if (p.y + designed.Height() > available.Bottom)
        p.y = available.Bottom - designed.Height();
    p.x = std::max(p.x, available.Left);
    p.y = std::max(p.y, available.Top);
    return p;
}
