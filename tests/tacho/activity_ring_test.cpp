#include "tacho/activity_ring.h"

#include "tests/support/card_builder.h"
#include "utility/datetime.h"

#include <gtest/gtest.h>

#include <random>

using namespace tacho;
using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;

TEST(ActivityRing, RecordThatWrapsAtTheRingsEnd)
{
    CardBuilder card;
    card.Counts(12, 24, 1000, 200, 112).RingStart(998);
    card.Day(TimeReal(2011, 5, 17), 0x0123, 250, {ChangeWord(0, 0, 0, 3, 360), ChangeWord(0, 0, 0, 0, 870)});
    card.Day(TimeReal(2011, 5, 18), 0x0124, 10, {ChangeWord(0, 0, 0, 2, 60)});
    const DailyRecord first = ReadDailyRecord(card.Image(), 998);
    EXPECT_FALSE(first.damaged);
    ASSERT_EQ(first.length, 16u);
    EXPECT_EQ(first.start, 998u);
    EXPECT_EQ(first.last, 13u);
    EXPECT_EQ(first.Date(), TimeReal(2011, 5, 17));
    EXPECT_EQ(first.PresenceCounter(), 0x0123);
    EXPECT_EQ(first.Distance(), 250);
    const std::vector<std::uint8_t> words(first.ChangeWords().begin(), first.ChangeWords().end());
    EXPECT_EQ(words, (std::vector<std::uint8_t>{0x19, 0x68, 0x03, 0x66}));
    EXPECT_EQ(NextRecordPosition(card.Image(), first), 14u);
    const DailyRecord second = ReadDailyRecord(card.Image(), 14);
    EXPECT_EQ(second.length, 14u);
    EXPECT_EQ(second.Date(), TimeReal(2011, 5, 18));
    EXPECT_EQ(ReadWordBE(second.bytes[0], second.bytes[1]), 16);  // previous record's length
}

TEST(ActivityRing, DamagedLengthsAndPositions)
{
    struct Case {
        const char* name;
        std::uint16_t ringLength;
        std::uint16_t position;
        std::uint16_t lengthField;
        std::size_t length;
        bool damaged;
    };
    const Case cases[] = {
        {"zero length ends the walk", 1000, 0, 0, 0, false},
        {"length 1", 1000, 0, 1, 0, true},
        {"length 3", 1000, 10, 3, 0, true},
        {"length 4 is a bare header", 1000, 0, 4, 4, false},
        {"length 11: no change words", 1000, 0, 11, 11, false},
        {"length of the whole ring", 1000, 500, 1000, 1000, false},
        {"longer than the ring", 1000, 0, 1001, 0, true},
        {"longer than any ring", 13776, 13000, 65535, 0, true},
        {"position outside the ring", 1000, 1000, 16, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardBuilder card;
        card.Counts(12, 24, c.ringLength, 200, 112);
        if (c.position + 4 <= c.ringLength)
            card.WordBE(field::kActivityRing + c.position + 2, c.lengthField);
        const DailyRecord r = ReadDailyRecord(card.Image(), c.position);
        EXPECT_EQ(r.length, c.length);
        EXPECT_EQ(r.damaged, c.damaged);
        EXPECT_EQ(r.start, c.position);
        if (r.length > 0) {
            EXPECT_EQ(r.bytes.size(), r.length);
            EXPECT_EQ(r.ChangeWords().size(), r.length >= 12 ? r.length - 12 : 0);
        }
    }
    // An empty ring (length 0) holds no record at all.
    CardBuilder empty;
    empty.Counts(12, 24, 0, 200, 112);
    const DailyRecord none = ReadDailyRecord(empty.Image(), 0);
    EXPECT_EQ(none.length, 0u);
    EXPECT_TRUE(none.bytes.empty());
}

TEST(ActivityRing, SpanFromFirstToLastChange)
{
    CardBuilder card;
    card.Counts(12, 24, 2000, 200, 112).RingStart(1990);
    card.Day(TimeReal(2011, 5, 17), 1, 0, {ChangeWord(0, 0, 0, 3, 360), ChangeWord(0, 0, 0, 0, 870)});
    card.Day(TimeReal(2011, 5, 18), 2, 0, {});
    card.Day(TimeReal(2011, 5, 19), 3, 0, {ChangeWord(0, 0, 0, 2, 61), ChangeWord(0, 0, 1, 0, 1439)});
    ActivitySpan span = GetActivitySpan(card.Image());
    EXPECT_TRUE(span.timesValid);
    EXPECT_EQ(span.first, utility::EncodeDate(2011, 5, 17) + utility::EncodeTime(6, 0, 0));
    EXPECT_EQ(span.last, utility::EncodeDate(2011, 5, 19) + utility::EncodeTime(23, 59, 0));

    // The newest day without change words ends at its midnight.
    CardBuilder bare;
    bare.Day(TimeReal(2012, 1, 2), 1, 0, {ChangeWord(0, 0, 0, 1, 600)}).Day(TimeReal(2012, 1, 3), 2, 0, {});
    span = GetActivitySpan(bare.Image());
    EXPECT_EQ(span.last, utility::EncodeDate(2012, 1, 3));

    // Both pointers 0 and a zero record there: nothing recorded.
    span = GetActivitySpan(CardBuilder().Image());
    EXPECT_EQ(span.first, 0.0);
    EXPECT_EQ(span.last, 0.0);
    EXPECT_TRUE(span.timesValid);
}

TEST(ActivityRing, ImpossibleChangeTimeIsCutTo2359AndReported)
{
    CardBuilder card;
    card.Day(TimeReal(2013, 3, 4), 1, 0, {ChangeWord(0, 0, 0, 3, 1500), ChangeWord(0, 0, 0, 0, 2047)});
    const ActivitySpan span = GetActivitySpan(card.Image());
    EXPECT_FALSE(span.timesValid);
    EXPECT_FALSE(span.error.empty());
    const double day2359 = utility::EncodeDate(2013, 3, 4) + utility::EncodeTime(23, 59, 0);
    EXPECT_EQ(span.first, day2359);
    EXPECT_EQ(span.last, day2359);
}

// Random rings, pointers and lengths: every read ends and stays inside the ring (the
// sanitizers watch the image bounds; the checks below watch the ring's).
TEST(ActivityRing, RandomRingsNeverLeaveTheRing)
{
    std::mt19937 engine(20110517);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> word(0, 65535);
    for (int round = 0; round < 300; ++round) {
        CardBuilder card;
        const auto ringLength = static_cast<std::uint16_t>(round % 3 == 0 ? word(engine) : word(engine) % 14000);
        card.Counts(12, 24, ringLength, 200, 112);
        for (std::size_t i = 0; i < kMaxActivityBytes; ++i)
            card.Byte(field::kActivityRing + i, static_cast<std::uint8_t>(round % 2 ? byte(engine) : byte(engine) % 4));
        card.ActivityPointers(static_cast<std::uint16_t>(word(engine) % 14000),
                              static_cast<std::uint16_t>(word(engine)));
        const std::size_t ring = ActivityStructureLength(card.Image());
        for (int probe = 0; probe < 20; ++probe) {
            const auto position = static_cast<std::size_t>(word(engine) % 14000);
            const DailyRecord r = ReadDailyRecord(card.Image(), position);
            ASSERT_LE(r.length, ring);
            ASSERT_LE(r.bytes.size(), std::max<std::size_t>(r.length, 4));
            if (ring > 0 && position < ring) {
                ASSERT_LT(r.last, ring);
                ASSERT_LT(NextRecordPosition(card.Image(), r), ring);
            }
        }
        (void)GetActivitySpan(card.Image());
    }
}
