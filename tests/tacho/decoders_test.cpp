#include "tacho/decoders.h"

#include "tacho/card_image.h"
#include "tacho/nations.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <gtest/gtest.h>

using namespace tacho;
using utility::Pl;

TEST(Decoders, TimeReal)
{
    struct Case {
        std::array<std::uint8_t, 4> bytes;
        int y, mo, d, h, mi, s;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00, 0x00}, 1970, 1, 1, 0, 0, 0},
        {{0x4D, 0xD2, 0x63, 0x40}, 2011, 5, 17, 12, 0, 0},
        {{0x4D, 0xD2, 0x63, 0x41}, 2011, 5, 17, 12, 0, 1},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 2106, 2, 7, 6, 28, 15},
    };
    for (const Case& c : cases) {
        const double date = TimeRealToDate(c.bytes);
        const auto p = utility::SplitDateTime(date);
        EXPECT_EQ((std::array{p.year, p.month, p.day, p.hour, p.minute, p.second}),
                  (std::array{c.y, c.mo, c.d, c.h, c.mi, c.s}))
            << date;
    }
    EXPECT_EQ(TimeRealToDate(1'305'633'600u), utility::EncodeDate(2011, 5, 17) + 0.5);
    EXPECT_EQ(TimeRealToDate(std::span<const std::uint8_t>()), 25569.0);
}

TEST(Decoders, Datef)
{
    struct Case {
        std::array<std::uint8_t, 4> bytes;
        bool ok;
        int y, m, d;
    };
    const Case cases[] = {
        {{0x19, 0x75, 0x05, 0x17}, true, 1975, 5, 17}, {{0x20, 0x00, 0x02, 0x29}, true, 2000, 2, 29},
        {{0x00, 0x00, 0x00, 0x00}, false, 0, 0, 0},    {{0x19, 0x7A, 0x01, 0x01}, false, 0, 0, 0},
        {{0x19, 0x75, 0x02, 0x31}, false, 0, 0, 0},    {{0x19, 0x75, 0x13, 0x01}, false, 0, 0, 0},
        {{0x19, 0x75, 0x01, 0x00}, false, 0, 0, 0},    {{0x19, 0x75, 0x01, 0xF1}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto date = DatefToDate(c.bytes);
        ASSERT_EQ(date.has_value(), c.ok) << int(c.bytes[1]) << " " << int(c.bytes[2]) << " " << int(c.bytes[3]);
        if (c.ok) {
            EXPECT_EQ(*date, utility::EncodeDate(c.y, c.m, c.d));
        }
    }
}

TEST(Decoders, NationNames)
{
    struct Case {
        const char* text;
        bool ok;
        const char* sign;
        const char* name;
    };
    const Case cases[] = {
        {"1a", true, "I", "Włochy"},
        {"1A", true, "I", "Włochy"},
        {"0", true, " ", "brak informacji"},
        {"40", true, "", "RFU"},
        {"34", true, "", "RFU"},
        {"FC", true, "", "RFU"},
        {"fd", true, "EC", "Wspólnota Europejska"},
        {"FE", true, "EUR", "reszta Europy"},
        {"ff", true, "WLD", "reszta świata"},
        {"2 8", true, "PL", "Polska"},
        {" 28 ", true, "PL", "Polska"},
        {"33", true, "YU", "Jugosławia"},
        {"15", true, "UK", "Zjednoczone Królestwo"},
        {"281", true, "PL", "Polska"},  // only the first two digits count
        {"", false, "", ""},
        {"zz", false, "", ""},
        {"1g", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string sign = "old";
        std::string name = "old";
        EXPECT_EQ(NationName(c.text, sign, name), c.ok) << c.text;
        EXPECT_EQ(sign, Pl(c.sign)) << c.text;
        EXPECT_EQ(name, Pl(c.name)) << c.text;
    }
    std::string sign;
    std::string name;
    NationName(std::uint8_t{0x1A}, sign, name);
    EXPECT_EQ(name, Pl("Włochy"));
    NationName(std::uint8_t{0x00}, sign, name);
    EXPECT_EQ(sign, " ");
}

TEST(Decoders, ActivityChangeWords)
{
    struct Case {
        std::uint8_t b0, b1;
        int p, s, c, activity, minutes, hours, minuteOfHour;
        const char* text;
    };
    const Case cases[] = {
        {0x1B, 0x0F, 0, 0, 0, 3, 783, 13, 3, " 13:03:00 Karta włożona, w slocie kierowcy/ jeden kierowca/prowadzenie"},
        {0x3B, 0x0F, 1, 0, 0, 4, 783, 13, 3,
         " 13:03:00 Karta wyjęta ze slotu kierowcy przy czynności prowadzenie/ czynność nieistotna"},
        {0x7B, 0x0F, 1, 0, 1, 3, 783, 13, 3,
         " 13:03:00 Karta wyjęta ze slotu kierowcy, czynność wprowadzona ręcznie/ prowadzenie"},
        {0xC0, 0x00, 0, 1, 1, 0, 0, 0, 0, " 00:00:00 Karta włożona, w slocie współkierowcy/ załoga/przerwa-odpoczynek"},
        {0x0D, 0x9F, 0, 0, 0, 1, 1439, 23, 59,
         " 23:59:00 Karta włożona, w slocie kierowcy/ jeden kierowca/dyspozycyjność"},
        {0x17, 0xFF, 0, 0, 0, 2, 2047, 34, 7, " 34:07:00 Karta włożona, w slocie kierowcy/ jeden kierowca/praca"},
    };
    for (const Case& c : cases) {
        ActivityChangeItem item;
        std::string text = "x";
        DecodeActivityChange(c.b0, c.b1, true, item, text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(item.cardStatus, c.p);
        EXPECT_EQ(item.slot, c.s);
        EXPECT_EQ(item.drivingStatus, c.c);
        EXPECT_EQ(item.activity, c.activity);
        EXPECT_EQ(item.minutes, c.minutes);
        EXPECT_EQ(item.hours, c.hours);
        EXPECT_EQ(item.minuteOfHour, c.minuteOfHour);
        EXPECT_EQ(item.seconds, 0);
        EXPECT_EQ(text, Pl(c.text));
        std::string untouched = "keep";
        DecodeActivityChange(c.b0, c.b1, false, item, untouched);
        EXPECT_EQ(untouched, "keep");
    }
}

TEST(Decoders, NamesOfActivitiesAndEntryTypes)
{
    const char* activities[] = {"przerwa-odpoczynek", "dyspozycyjność", "praca", "prowadzenie", "czynność nieistotna"};
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(ActivityNames(i), Pl(activities[i]));
    EXPECT_EQ(ActivityNames(5), "");
    const char* entries[] = {
        "początek, godz. włoż. karty lub wprow. wpisu",
        "koniec, godz. wyj. karty lub wprow. wpisu",
        "początek, godz. wprow. ręcznie (godz. rozpoczecia)",
        "koniec, godz. wprow. ręcznie (koniec okresu pracy)",
        "początek, godz. przyjęta przez VU",
        "koniec, godz. przyjęta przez VU",
    };
    for (unsigned i = 0; i < 6; ++i)
        EXPECT_EQ(EntryTypeName(i), Pl(entries[i]));
    EXPECT_EQ(EntryTypeName(6), "");
    EXPECT_EQ(EntryTypeName(255), "");
}

TEST(Decoders, FirstAndLastChangeTimes)
{
    struct Case {
        std::vector<std::uint8_t> words;
        std::optional<double> first;
        std::optional<double> last;
    };
    const double t0603 = utility::EncodeTime(6, 3, 0);
    const double t1303 = utility::EncodeTime(13, 3, 0);
    const Case cases[] = {
        {{}, 0.0, 0.0},
        {{0x1B}, 0.0, 0.0},
        {{0x19, 0x6B}, t0603, t0603},
        {{0x19, 0x6B, 0x1B, 0x0F}, t0603, t1303},
        {{0x19, 0x6B, 0x1B, 0x0F, 0xAA}, t0603, t1303},   // a stray odd byte is not a word
        {{0x05, 0xA0, 0x1B, 0x0F}, std::nullopt, t1303},  // 24:00
        {{0x1B, 0x0F, 0x07, 0xFF}, t1303, std::nullopt},  // 34:07
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.size());
        EXPECT_EQ(FirstChangeTime(c.words), c.first);
        EXPECT_EQ(LastChangeTime(c.words), c.last);
    }
}
