#include "tacho/vehicles_places.h"

#include "tacho/activity_list.h"
#include "tacho/list_lines.h"
#include "tests/support/card_builder.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tacho;
using testsupport::CardBuilder;
using testsupport::ChangeWord;
using testsupport::TimeReal;
using utility::Pl;

namespace {

struct Vehicles {
    std::vector<std::string> block;
    std::vector<std::string> keyed;
};

Vehicles BuildVehicles(const CardBuilder& card, const std::vector<std::string>& dayValues = {})
{
    Vehicles v;
    BuildVehiclesList(card.Image(), v.block, v.keyed, dayValues);
    return v;
}

std::vector<std::string> Places(const CardBuilder& card)
{
    std::vector<std::string> lines;
    BuildPlacesList(card.Image(), lines);
    return lines;
}

std::string Two(int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); }

}  // namespace

TEST(VehiclesList, LinesOfOneVehicle)
{
    CardBuilder card;
    card.Vehicle(0, {.odometerBegin = 123456,
                     .odometerEnd = 123999,
                     .firstUse = TimeReal(2011, 5, 17, 6, 0, 35),
                     .lastUse = TimeReal(2011, 5, 18, 14, 30, 25),
                     .nation = 0x28,
                     .registration = "WX 1234"});
    card.VehiclePointer(199);
    const Vehicles v = BuildVehicles(card, {"20110517=123", "20110518=124"});
    const std::vector<std::string> keyed = {
        "2011-05-17 0123. 06:00:00 BA#PL WX1234 " + Pl("używany od: ") +
            "2011-05-17 06:00:35 stan licznika: 123456 km /wyj",
        "2011-05-18 0124. 14:30:25 BB#PL WX1234 " + Pl("używany do: ") +
            "2011-05-18 14:30:25 stan licznika: 123999km /przyj",
    };
    EXPECT_EQ(v.keyed, keyed);
    EXPECT_EQ(v.block, std::vector<std::string>{"PL WX1234 2011-05-17 06:00:35 2011-05-18 14:30:25 123456-123999km "});
}

TEST(VehiclesList, SortsAmongTheDayLines)
{
    CardBuilder card;
    card.Day(TimeReal(2011, 5, 17), 0x0123, 0, {ChangeWord(0, 0, 0, 3, 360), ChangeWord(0, 0, 1, 0, 870)});
    card.Vehicle(0, {.firstUse = TimeReal(2011, 5, 17, 6, 0, 35),
                     .lastUse = TimeReal(2011, 5, 17, 14, 30, 25),
                     .nation = 0x0D,
                     .registration = "B AB 123"});
    std::vector<std::string> lines;
    std::vector<std::string> dayValues;
    double first = 0;
    double last = 0;
    BuildDailyActivityList(card.Image(), first, last, lines, dayValues);
    std::vector<std::string> block;
    BuildVehiclesList(card.Image(), block, lines, dayValues);
    SortLinesByKey(lines);
    const auto at = [&](const std::string& text) {
        return std::find_if(lines.begin(), lines.end(),
                            [&](const std::string& s) { return s.find(text) != std::string::npos; }) -
               lines.begin();
    };
    ASSERT_LT(at("/wyj"), static_cast<long>(lines.size()));
    EXPECT_LT(at("/wyj"), at(" 06:00:00 Karta"));
    EXPECT_GT(at("/przyj"), at(" 14:30:00 Karta"));
    EXPECT_NE(lines[static_cast<std::size_t>(at("/wyj"))].find("D BAB123"), std::string::npos);
    EXPECT_TRUE(lines[static_cast<std::size_t>(at("/wyj"))].starts_with("2011-05-17 0123. "));
}

TEST(VehiclesList, DayCountersFromTheDayValues)
{
    struct Case {
        std::vector<std::string> dayValues;
        const char* firstKey;
        const char* lastKey;
    };
    const Case cases[] = {
        {{"20110517=123", "20110518=124"}, "2011-05-17 0123.", "2011-05-18 0124."},
        {{"20110518=124"}, "2011-05-17 0000.", "2011-05-18 0124."},
        {{"20110517=7"}, "2011-05-17 0007.", "2011-05-18 0007."},
        {{"20110517=1A3", "20110518=x"}, "2011-05-17 0000.", "2011-05-18 0000."},
        {{}, "2011-05-17 0000.", "2011-05-18 0000."},
    };
    CardBuilder card;
    card.Vehicle(0, {.firstUse = TimeReal(2011, 5, 17, 8), .lastUse = TimeReal(2011, 5, 18, 9), .registration = "K1"});
    for (const Case& c : cases) {
        const Vehicles v = BuildVehicles(card, c.dayValues);
        ASSERT_EQ(v.keyed.size(), 2u);
        EXPECT_TRUE(v.keyed[0].starts_with(c.firstKey)) << v.keyed[0];
        EXPECT_TRUE(v.keyed[1].starts_with(c.lastKey)) << v.keyed[1];
    }
}

TEST(VehiclesList, WalkOrderAndLimits)
{
    // `head` and `tail`: the first and last records listed, in walk order.
    struct Case {
        const char* name;
        std::uint16_t count;
        std::uint16_t pointer;
        std::size_t listed;
        std::vector<int> head;
        std::vector<int> tail;
    };
    const Case cases[] = {
        {"pointer 199 of 200 starts at 0", 200, 199, 200, {0, 1, 2}, {197, 198, 199}},
        {"pointer 5 starts at 6 and wraps", 200, 5, 200, {6, 7, 8}, {199, 0, 1, 2, 3, 4, 5}},
        {"pointer past the count starts at 0", 3, 150, 3, {0, 1, 2}, {}},
        {"count above the slot walks the slot once", 65535, 0, 200, {1, 2}, {199, 0}},
        {"no records declared", 0, 0, 0, {}, {}},
    };
    CardBuilder card;
    for (int i = 0; i < 200; ++i) {
        std::string registration(1, 'R');
        registration += std::to_string(i);
        card.Vehicle(
            static_cast<std::size_t>(i),
            {.firstUse = TimeReal(2010, 1, 1) + static_cast<std::uint32_t>(i) * 60, .registration = registration});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        card.Counts(12, 24, 13776, c.count, 112).VehiclePointer(c.pointer);
        const Vehicles v = BuildVehicles(card);
        std::vector<int> seen;
        for (const std::string& line : v.block)
            seen.push_back(std::stoi(line.substr(line.find('R') + 1)));
        ASSERT_EQ(seen.size(), c.listed);
        ASSERT_EQ(v.keyed.size(), 2 * c.listed);
        EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + static_cast<long>(c.head.size())), c.head);
        EXPECT_EQ(std::vector<int>(seen.end() - static_cast<long>(c.tail.size()), seen.end()), c.tail);
    }
}

TEST(VehiclesList, UnusedAndEarlyRecordsAreSkipped)
{
    CardBuilder card;
    card.Counts(12, 24, 13776, 3, 112);
    card.Vehicle(0, {.firstUse = TimeReal(1979, 12, 31, 23, 59, 59), .registration = "OLD"});
    card.Vehicle(2, {.firstUse = TimeReal(1980, 1, 1), .registration = "NEW"});
    const Vehicles v = BuildVehicles(card);
    ASSERT_EQ(v.block.size(), 1u);
    EXPECT_NE(v.block[0].find("NEW"), std::string::npos);
    const Vehicles none = BuildVehicles(CardBuilder());
    EXPECT_TRUE(none.block.empty());
    EXPECT_TRUE(none.keyed.empty());
    EXPECT_TRUE(Places(CardBuilder()).empty());
}

TEST(VehiclesList, FirstUseKeyIsCutToTheMinuteForEverySecond)
{
    const std::uint32_t midnight = TimeReal(2014, 7, 1);
    for (std::uint32_t base = 0; base < 86'400; base += 200) {
        CardBuilder card;
        for (std::uint32_t i = 0; i < 200; ++i)
            card.Vehicle(i, {.firstUse = midnight + base + i, .lastUse = midnight + base + i, .registration = "X"});
        card.VehiclePointer(199);
        const Vehicles v = BuildVehicles(card);
        ASSERT_EQ(v.keyed.size(), 400u);
        for (std::uint32_t i = 0; i < 200; ++i) {
            const std::uint32_t s = base + i;
            const std::string hm = Two(static_cast<int>(s / 3600)) + ":" + Two(static_cast<int>(s / 60 % 60));
            ASSERT_EQ(v.keyed[2 * i].substr(17, 12), hm + ":00 BA#") << s;
            ASSERT_EQ(v.keyed[2 * i + 1].substr(17, 12), hm + ":" + Two(static_cast<int>(s % 60)) + " BB#") << s;
        }
    }
}

TEST(PlacesList, LinesAndWalk)
{
    CardBuilder card;
    card.Counts(12, 24, 13776, 200, 3).PlacePointer(0);
    card.Place(0, {.entryTime = TimeReal(2011, 5, 17, 6, 0, 0), .entryType = 0, .country = 0x28, .odometer = 1234});
    card.Place(1, {.entryTime = TimeReal(2011, 5, 18), .entryType = 5, .country = 0, .odometer = 1234567});
    card.Place(2, {.entryTime = TimeReal(2011, 5, 19, 1, 2, 3), .entryType = 9, .country = 0x40, .odometer = 7});
    const std::vector<std::string> expected = {
        "2011-05-18 1234567km   " + Pl("koniec, godz. przyjęta przez VU"),
        "2011-05-19 01:02:03       7km  ",
        "2011-05-17 06:00:00    1234km PL " + Pl("początek, godz. włoż. karty lub wprow. wpisu"),
    };
    EXPECT_EQ(Places(card), expected);

    struct Case {
        std::uint8_t count;
        std::uint8_t pointer;
        std::size_t lines;
        const char* firstLine;
    };
    const Case cases[] = {
        {3, 2, 3, "2011-05-17 06:00:00"},      // after the last record comes record 0
        {3, 255, 3, "2011-05-17 06:00:00"},    // pointer beyond the records
        {255, 111, 3, "2011-05-17 06:00:00"},  // count above the slot: 112 records, unused ones skipped
        {2, 0, 2, "2011-05-18"},
        {0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        card.Counts(12, 24, 13776, 200, c.count).PlacePointer(c.pointer);
        const auto lines = Places(card);
        ASSERT_EQ(lines.size(), c.lines) << int(c.count) << " " << int(c.pointer);
        if (!lines.empty()) {
            EXPECT_TRUE(lines[0].starts_with(c.firstLine)) << lines[0];
        }
    }
}
