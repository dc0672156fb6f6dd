#include "tacho/activity_list.h"

#include "tacho/list_lines.h"
#include "tests/support/card_builder.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tacho;
using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::Pl;

namespace {

const std::string kRule =
    ". . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . .";

struct Listing {
    std::vector<std::string> lines;
    std::vector<std::string> dayValues{"stale=1"};
    double first = -1;
    double last = -1;
    std::vector<std::string> errors;
};

Listing Build(const CardBuilder& card)
{
    testsupport::MessageRecorder boxes;
    Listing l;
    BuildDailyActivityList(card.Image(), l.first, l.last, l.lines, l.dayValues);
    l.errors = boxes.TextsOf(utility::MessageKind::Error);
    EXPECT_EQ(boxes.Messages().size(), l.errors.size());
    return l;
}

std::string Hms(std::int64_t seconds)
{
    const auto two = [](std::int64_t v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); };
    return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

std::vector<std::string> LinesWithTag(const Listing& l, const std::string& tag)
{
    std::vector<std::string> out;
    for (const auto& line : l.lines)
        if (KeyOfLine(line).ends_with(tag))
            out.push_back(line);
    return out;
}

}  // namespace

TEST(DailyActivityList, OneDayLineByLine)
{
    CardBuilder card;
    card.Day(TimeReal(2011, 5, 17), 0x0123, 250,
             {ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 0, 14 * 60 + 30)});
    const Listing l = Build(card);
    const std::string k = "2011-05-17 0123. 00:00:00";
    const std::vector<std::string> expected = {
        k + " A5#" + std::string(56, '_'),
        k + " AA#123. Data: 2011-05-17 (Wtorek)",
        k + Pl(" AB#  I. Sumy czasów czynności:"),
        k + " AC#    09:29:59/przerwa-odpoczynek",
        k + Pl(" AD#    00:00:00/dyspozycyjność"),
        k + " AE#    00:00:00/praca",
        k + " AF#    08:30:00/prowadzenie",
        k + Pl(" AG#    00:00:00/czynność nieistotna"),
        k + " AP#  II. Dzienny przebieg: 250",
        k + " AR#" + kRule,
        k + Pl(" AT#  III. Terminy rozpoczęcia kolejnych czynności:"),
        "2011-05-17 0123. 06:00:00 BB#" + Pl(" 06:00:00 Karta włożona, w slocie kierowcy/ jeden kierowca/prowadzenie"),
        "2011-05-17 0123. 14:30:00 BB#" +
            Pl(" 14:30:00 Karta włożona, w slocie kierowcy/ jeden kierowca/przerwa-odpoczynek"),
        "2011-05-17 0123. 23:59:59:99 BW#" + kRule,
    };
    EXPECT_EQ(l.lines, expected);
    EXPECT_EQ(l.dayValues, std::vector<std::string>{"20110517=123"});
    EXPECT_EQ(l.first, utility::EncodeDate(2011, 5, 17));
    EXPECT_EQ(l.last, utility::EncodeDate(2011, 5, 17));
    EXPECT_TRUE(l.errors.empty());
}

TEST(DailyActivityList, EveryStartMinuteGivesExactTotals)
{
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const int second = (minute * 7 + 13) % (24 * 60);
        const int a = std::min(minute, second);
        const int b = std::max(minute, second);
        std::array<std::int64_t, 5> totals{};
        std::vector<std::string> texts;
        const std::uint16_t w1 = ChangeWord(0, 0, 0, 2, a);
        const std::uint16_t w2 = ChangeWord(0, 0, 0, 1, b);
        const std::uint8_t words[] = {std::uint8_t(w1 >> 8), std::uint8_t(w1), std::uint8_t(w2 >> 8), std::uint8_t(w2)};
        ASSERT_TRUE(DecodeActivityDay(words, totals, texts));
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(utility::TimeToHMSTextB(static_cast<double>(totals[2]) / 86400), Hms((b - a) * 60LL))
            << a << " " << b;
        EXPECT_EQ(utility::TimeToHMSTextB(static_cast<double>(totals[1]) / 86400), Hms(86399 - b * 60LL)) << b;
    }
}

TEST(DailyActivityList, OddChangeWords)
{
    struct Case {
        const char* name;
        std::vector<std::uint16_t> words;
        bool ok;
        std::array<std::int64_t, 5> totals;
        std::size_t texts;
    };
    const Case cases[] = {
        {"no words", {}, true, {0, 0, 0, 0, 0}, 0},
        {"out of order counts 0",
         {ChangeWord(0, 0, 0, 3, 600), ChangeWord(0, 0, 0, 2, 300), ChangeWord(0, 0, 0, 0, 900)},
         true,
         {86399 - 54000, 0, 36000, 0, 0},
         3},
        {"back and forth counts at most one day",
         {ChangeWord(0, 0, 0, 3, 0), ChangeWord(0, 0, 0, 0, 1439), ChangeWord(0, 0, 0, 2, 0),
          ChangeWord(0, 0, 0, 1, 1439)},
         true,
         {0, 0, 59, 86340, 0},
         4},
        {"card out, unknown", {ChangeWord(0, 0, 1, 3, 0)}, true, {0, 0, 0, 0, 86399}, 1},
        {"24:00 fails the day",
         {ChangeWord(0, 0, 0, 3, 60), ChangeWord(0, 0, 0, 2, 120), ChangeWord(0, 0, 0, 0, 1440)},
         false,
         {0, 0, 0, 3600, 0},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes;
        for (const auto w : c.words) {
            bytes.push_back(std::uint8_t(w >> 8));
            bytes.push_back(std::uint8_t(w));
        }
        std::array<std::int64_t, 5> totals{};
        std::vector<std::string> texts{"old"};
        EXPECT_EQ(DecodeActivityDay(bytes, totals, texts), c.ok);
        EXPECT_EQ(totals, c.totals);
        EXPECT_EQ(texts.size(), c.texts);
    }
}

TEST(DailyActivityList, RingWrapsAndWalkStopsAtTheNewest)
{
    CardBuilder card;
    card.Counts(12, 24, 100, 200, 112).RingStart(90);
    card.Day(TimeReal(2012, 3, 1), 0x0001, 1, {ChangeWord(0, 0, 0, 3, 60)});  // 90..103 wraps
    card.Day(TimeReal(2012, 3, 2), 0x0002, 2, {ChangeWord(0, 0, 0, 2, 120)});
    card.Day(TimeReal(2012, 3, 3), 0x0003, 3, {ChangeWord(0, 0, 0, 1, 180), ChangeWord(0, 0, 0, 0, 200)});
    // Bytes after the newest record that look like one more day must not be listed.
    CardBuilder extra = card;
    extra.Day(TimeReal(2012, 3, 4), 0x0004, 4, {});
    extra.ActivityPointers(90, static_cast<std::uint16_t>((90 + 14 + 14) % 100));
    for (const CardBuilder* c : {&card, &extra}) {
        const Listing l = Build(*c);
        EXPECT_EQ(l.dayValues, (std::vector<std::string>{"20120301=1", "20120302=2", "20120303=3"}));
        const auto changes = LinesWithTag(l, " BB#");
        ASSERT_EQ(changes.size(), 4u);
        EXPECT_TRUE(changes[0].starts_with("2012-03-01 0001. 01:00:00 BB#"));
        EXPECT_EQ(l.first, utility::EncodeDate(2012, 3, 1));
        EXPECT_EQ(l.last, utility::EncodeDate(2012, 3, 3));
        EXPECT_TRUE(l.errors.empty());
    }
}

TEST(DailyActivityList, OldestEqualsNewestListsOneDay)
{
    CardBuilder card;
    card.Day(TimeReal(2012, 3, 1), 1, 0, {}).Day(TimeReal(2012, 3, 2), 2, 0, {});
    card.ActivityPointers(12, 12);
    const Listing l = Build(card);
    EXPECT_EQ(l.dayValues, std::vector<std::string>{"20120302=2"});
    EXPECT_EQ(LinesWithTag(l, " A5#").size(), 1u);
}

TEST(DailyActivityList, EmptyAreaGivesNothing)
{
    const Listing l = Build(CardBuilder());
    EXPECT_TRUE(l.lines.empty());
    EXPECT_TRUE(l.dayValues.empty());
    EXPECT_EQ(l.first, -1);
    EXPECT_EQ(l.last, -1);
    EXPECT_TRUE(l.errors.empty());
}

TEST(DailyActivityList, DamagedRingEndsWithinOneLapAndOneBox)
{
    struct Case {
        const char* name;
        std::uint16_t newest;
        std::size_t days;
    };
    // Ten 14-byte days fill a 140-byte ring exactly; they chain around for ever.
    const Case cases[] = {
        {"newest not at a record start", 5, 10},
        {"newest outside the ring", 139 + 1000, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardBuilder card;
        card.Counts(12, 24, 140, 200, 112);
        for (int d = 0; d < 10; ++d)
            card.Day(TimeReal(2012, 4, 1 + d), static_cast<std::uint16_t>(d), 0, {ChangeWord(0, 0, 0, 3, 1500)});
        card.ActivityPointers(0, c.newest);
        const Listing l = Build(card);
        EXPECT_EQ(l.dayValues.size(), c.days);
        ASSERT_EQ(l.errors.size(), 1u);  // ten failing days and the damage, in one box
        EXPECT_NE(l.errors[0].find(Pl("Nie można utworzyć listy zmian dziennych dla 2012-04-01 l.0")),
                  std::string::npos);
        EXPECT_NE(l.errors[0].find(Pl("2012-04-10 l.9")), std::string::npos);
        EXPECT_NE(l.errors[0].find(Pl("uszkodzony")), std::string::npos);
        EXPECT_TRUE(LinesWithTag(l, " BB#").empty());
        EXPECT_EQ(l.last, utility::EncodeDate(2012, 4, 10));
    }
    // A record length beyond the ring stops at once.
    CardBuilder bad;
    bad.Day(TimeReal(2012, 4, 1), 1, 0, {}).WordBE(field::kActivityRing + 2, 20000);
    const Listing l = Build(bad);
    EXPECT_TRUE(l.lines.empty());
    ASSERT_EQ(l.errors.size(), 1u);
}

TEST(DailyActivityList, CounterDigitsAndShortRecords)
{
    CardBuilder card;
    card.Day(TimeReal(2013, 1, 5), 0x01A3, 7, {});
    card.WordBE(field::kActivityRing + 2, 8);  // a record of 8 bytes: a date, no counter, no words
    card.ActivityPointers(0, 0);
    Listing l = Build(card);
    EXPECT_EQ(l.dayValues, std::vector<std::string>{"20130105=0"});
    EXPECT_TRUE(LinesWithTag(l, " BB#").empty());
    EXPECT_TRUE(l.errors.empty());
    CardBuilder hex;
    hex.Day(TimeReal(2013, 1, 5), 0x01A3, 7, {ChangeWord(0, 0, 0, 3, 0)});
    l = Build(hex);
    EXPECT_EQ(l.dayValues, std::vector<std::string>{"20130105=1A3"});
    ASSERT_FALSE(l.lines.empty());
    EXPECT_TRUE(l.lines[1].starts_with("2013-01-05 01A3. 00:00:00 AA#1A3. Data: 2013-01-05 (Sobota)")) << l.lines[1];
}

TEST(ListLines, SortByKeyIsOrdinalAndStable)
{
    CardBuilder card;
    // Two changes within one minute share a key; a change at 00:00 follows the " AT#" line.
    card.Day(TimeReal(2011, 5, 17), 0x0123, 0,
             {ChangeWord(0, 0, 0, 0, 0), ChangeWord(0, 0, 0, 3, 360), ChangeWord(0, 0, 0, 2, 360)});
    Listing l = Build(card);
    std::vector<std::string> lines = l.lines;
    std::reverse(lines.begin() + 1, lines.end());
    lines.push_back(lines[0]);
    lines.erase(lines.begin());
    SortLinesByKey(lines);
    std::vector<std::string> keys;
    for (const auto& line : lines)
        keys.emplace_back(KeyOfLine(line));
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    const auto at = [&](const std::string& text) {
        return std::find_if(lines.begin(), lines.end(),
                            [&](const std::string& s) { return s.find(text) != std::string::npos; });
    };
    EXPECT_LT(at(Pl("III. Terminy")), at(Pl("00:00:00 Karta")));
    // Reversed input: the two 06:00 changes come out in reversed order, their ties kept.
    EXPECT_LT(at("/praca"), at("/prowadzenie"));
    EXPECT_EQ(KeyOfLine("no key"), "no key");
    std::vector<std::string> bytes = {"\xB9#b", "z#a", "a#c"};
    SortLinesByKey(bytes);
    EXPECT_EQ(bytes, (std::vector<std::string>{"a#c", "z#a", "\xB9#b"}));
}
