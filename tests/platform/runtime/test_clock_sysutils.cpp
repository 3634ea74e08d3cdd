// Clock, random numbers, and the run-time helpers' texts.
#include "platform/runtime/Clock.h"
#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

TEST(Random, FixedSeedGivesTheKnownSequence)
{
    // Values worked out by hand from the generator's definition.
    RandSeed = 12345;
    std::vector<int> got;
    for (int n : {12, 5, 12, 12, 5, 12, 5, 5, 12, 12})
        got.push_back(Random(n));
    EXPECT_EQ(got, (std::vector<int>{4, 1, 0, 6, 3, 4, 2, 0, 0, 11}));

    RandSeed = 0xDEADBEEF;
    got.clear();
    for (int i = 0; i < 8; ++i)
        got.push_back(Random(12));
    EXPECT_EQ(got, (std::vector<int>{4, 2, 7, 6, 11, 9, 5, 9}));
    EXPECT_EQ(RandSeed, 0xCD725887u);
}

TEST(Random, StaysInRangeAndStepsTheSeedEvenForNoRange)
{
    RandSeed = 1;
    for (int i = 0; i < 1000; ++i) {
        const int v = Random(5);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 5);
    }
    const std::uint32_t before = RandSeed;
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-3), 0);
    EXPECT_NE(RandSeed, before);
}

TEST(Randomize, SeedsFromTheCounterOrElseTheTickCount)
{
    TFakeClock clock;
    clock.performanceCount = 0x123456789LL;
    Randomize();
    EXPECT_EQ(RandSeed, 0x23456789u);

    clock.hasPerformanceCounter = false;
    clock.Advance(4242);
    Randomize();
    EXPECT_EQ(RandSeed, 4242u);
}

TEST(FakeClock, RecordsSleepsAndMovesItsTime)
{
    TFakeClock clock;
    const std::uint32_t start = GetTickCount();
    Sleep(1000);
    Sleep(100);
    EXPECT_EQ(clock.sleeps, (std::vector<unsigned>{1000, 100}));
    EXPECT_EQ(GetTickCount() - start, 1100u);
}

TEST(FakeClock, RestoresTheClockBeforeIt)
{
    IClock* outer = &Clock();
    {
        TFakeClock a;
        {
            TFakeClock b;
            EXPECT_EQ(&Clock(), &b);
        }
        EXPECT_EQ(&Clock(), &a);
    }
    EXPECT_EQ(&Clock(), outer);
}

TEST(FileOpenError, NamesTheFileAndTheSystemsReasonWithoutTrailingDots)
{
    const EFOpenError e = FileOpenError(QStringLiteral("/x/note.txt"), ENOENT);
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file \"/x/note.txt\". No such file or directory"));
    const QString reason = SysErrorMessage(EISDIR);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(reason.endsWith(QLatin1Char('.')));
    EXPECT_FALSE(reason.endsWith(QLatin1Char(' ')));
}

TEST(StrToInt, ConvertsIntegersAndRejectsEverythingElse)
{
    const struct {
        const char* text;
        int value;
    } good[] = {
        {"1", 1}, {"4", 4}, {"  12", 12}, {"-7", -7}, {"+3", 3}, {"$1F", 31},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1},
    };
    for (const auto& c : good)
        EXPECT_EQ(StrToInt(QString::fromUtf8(c.text)), c.value) << c.text;

    for (const char* bad : {"", " ", "-", "$", "1 ", "1x", "2147483648", "-2147483649", "$100000000", "один", "1.0"}) {
        EXPECT_THROW(StrToInt(QString::fromUtf8(bad)), EConvertError) << bad;
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(bad), -99), -99) << bad;
    }
    try {
        StrToInt(QStringLiteral("x"));
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'x' is not a valid integer value"));
    }
}

TEST(MemoCapacity, HasItsText)
{
    EXPECT_EQ(MemoCapacityError().Message(), QStringLiteral("Text exceeds memo capacity"));
}
