#include "app/Trainer.h"

#include "platform/runtime/Clock.h"

#include <gtest/gtest.h>

namespace {

// Every letter of both layouts, capital and small, on the key that plays it.
struct KeyRow {
    const char* letters;  // Latin capital, small, Cyrillic capital, small (UTF-8)
    int semitone;
};
const KeyRow kKeyRows[] = {
    {"ZzЯя", 0}, {"XxЧч", 2}, {"CcСс", 4}, {"VvМм", 5},  {"BbИи", 7},  {"NnТт", 9},
    {"MmЬь", 11}, {"SsЫы", 1}, {"DdВв", 3}, {"GgПп", 6}, {"HhРр", 8}, {"JjОо", 10},
};

TEST(KeyboardTable, EveryLetterOfBothLayoutsPlaysItsKey)
{
    for (const KeyRow& row : kKeyRows) {
        const QString letters = QString::fromUtf8(row.letters);
        ASSERT_EQ(letters.size(), 4);
        for (QChar c : letters)
            EXPECT_EQ(SemitoneForTypedChar(c, false), row.semitone) << QString(c).toStdString();
    }
}

TEST(KeyboardTable, OtherCharactersPlayNothing)
{
    // F and А lie where no black key is; digits, punctuation, letters of
    // other rows, a control character, characters outside the code page.
    const QString others = QString::fromUtf8("FfАаAaQqWwEe019 ;,.ЁёЙй\x1A\t€") + QChar(0x0416 + 0x100) + QChar(0x4E2D) +
                           QChar(0xFFFD);
    for (QChar c : others)
        EXPECT_EQ(SemitoneForTypedChar(c, false), -1) << int(c.unicode());
}

TEST(KeyboardTable, CtrlOrAltHeldPlaysNothing)
{
    EXPECT_EQ(SemitoneForTypedChar(QLatin1Char('z'), true), -1);
    EXPECT_EQ(SemitoneForTypedChar(QChar(0x044F), true), -1);  // я
}

TEST(Octaves, ArrowsStopAtBothEnds)
{
    ASSERT_EQ(OctaveNames().size(), 9);
    EXPECT_EQ(OctaveNames()[0], QStringLiteral("субконтроктава"));
    EXPECT_EQ(OctaveNames()[kStartOctave], QStringLiteral("первая октава"));
    EXPECT_EQ(OctaveNames()[8], QStringLiteral("пятая октава"));
    struct Row {
        int octave, below, above;
    } rows[] = {{0, 0, 1}, {4, 3, 5}, {7, 6, 8}, {8, 7, 8}};
    for (const Row& r : rows) {
        EXPECT_EQ(OctaveBelow(r.octave), r.below) << r.octave;
        EXPECT_EQ(OctaveAbove(r.octave, 9), r.above) << r.octave;
    }
}

TEST(Octaves, NoteNumbers)
{
    EXPECT_EQ(NoteNumberOf(4, 0), 48);
    EXPECT_EQ(NoteNumberOf(4, 11), 59);
    EXPECT_EQ(NoteNumberOf(0, 0), 0);
    EXPECT_EQ(NoteNumberOf(8, 11), 107);
    EXPECT_EQ(NoteNumberOf(8, 15), 111);
}

TEST(NotesExercise, ResultBoxes)
{
    struct Row {
        int right, length;
        const char* text;
        const char* caption;
    } rows[] = {
        {1, 1, "Угадано 1 из 1", "Результат"},
        {2, 2, "Угадано 2 из 2", "Результат"},
        {3, 3, "Вы угадали всю последовательность", "Поздравляем!"},
        {2, 3, "Угадано 2 из 3", "Результат"},
        {9, 10, "Угадано 9 из 10", "Результат"},
        {10, 10, "Вы угадали всю последовательность", "Поздравляем!"},
        {0, 5, "Угадано 0 из 5", "Результат"},
    };
    for (const Row& r : rows) {
        const TResultBox box = NotesResultBox(r.right, r.length);
        EXPECT_EQ(box.text, QString::fromUtf8(r.text));
        EXPECT_EQ(box.caption, QString::fromUtf8(r.caption));
    }
}

TEST(Intervals, DrawsForFixedSeeds)
{
    struct Row {
        std::uint32_t seed;
        int first, second, distance;
    } rows[] = {
        {21, 7, 5, 2},    // two below the first note
        {37, 1, 4, 3},    // below would leave the octave: above instead
        {94, 11, 15, 4},  // equal at first: drawn again above, into the next octave
        {223, 11, 15, 4}, // equal twice: drawn again until they differ
        {2, 0, 3, 3},
    };
    for (const Row& r : rows) {
        RandSeed = r.seed;
        const TIntervalQuestion q = DrawIntervalQuestion();
        EXPECT_EQ(q.firstNote, r.first) << r.seed;
        EXPECT_EQ(q.secondNote, r.second) << r.seed;
        EXPECT_EQ(q.Distance(), r.distance) << r.seed;
    }
}

TEST(Intervals, EveryQuestionHasAnAnswerAmongOneToFour)
{
    for (std::uint32_t seed = 0; seed < 5000; ++seed) {
        RandSeed = seed * 2654435761u;
        const TIntervalQuestion q = DrawIntervalQuestion();
        ASSERT_GE(q.Distance(), 1) << seed;
        ASSERT_LE(q.Distance(), 4) << seed;
        ASSERT_LE(q.secondNote, 15) << seed;
        ASSERT_GE(q.secondNote, 0) << seed;
    }
}

TEST(Settings, ReadFromText)
{
    struct Row {
        const char* text;
        int expected;
    } rows[] = {
        {"5", 5},    {" 7 ", 7},   {"+3", 3},   {"900", 10}, {"0", 1},  {"-4", 1},
        {"", 1},     {"abc", 1},   {"5x", 1},   {"-", 1},    {"1.5", 1}, {"99999999999999999999", 10},
        {"-99999999999999999999", 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SettingFromText(QString::fromUtf8(r.text), 1, 10), r.expected) << r.text;
    EXPECT_EQ(SettingFromText(QStringLiteral("900"), 10, 500), 500);
    EXPECT_EQ(SettingFromText(QStringLiteral("пауза"), 10, 500), 10);
}

TEST(Placement, MovedIntoTheAvailableAreaOnlyWhenItSticksOut)
{
    const TRect screen{0, 0, 800, 600};
    struct Row {
        TRect designed;
        TPoint expected;
    } rows[] = {
        {{431, 100, 754, 218}, {431, 100}},    // fits: untouched
        {{431, 550, 754, 668}, {431, 482}},    // below the bottom
        {{600, 100, 923, 218}, {477, 100}},    // past the right edge
        {{431, -30, 754, 88}, {431, 0}},       // above the top
        {{-50, 500, 273, 618}, {0, 482}},      // two edges at once
        {{10, 10, 1010, 710}, {0, 0}},         // larger than the screen
    };
    for (const Row& r : rows)
        EXPECT_EQ(PlaceInside(r.designed, screen), r.expected) << r.designed.Left << "," << r.designed.Top;
}

}  // namespace
