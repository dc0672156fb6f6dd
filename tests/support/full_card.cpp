#include "tests/support/full_card.h"

#include "tests/support/card_builder.h"

#include <string>
#include <vector>

namespace testsupport {
namespace {

// The change words of one day: activities one after another from 00:00 on, now and then
// with the card out or in the co-driver slot.
std::vector<std::uint16_t> DayChanges(int day, int count)
{
    std::vector<std::uint16_t> words;
    const int step = 1'440 / count;
    for (int i = 0; i < count; ++i) {
        const int minutes = i * step + (day + i) % step;
        const int activity = (day + i) % 4;
        const int slot = (i % 7 == 3) ? 1 : 0;
        const int crew = (day % 3 == 0) ? 1 : 0;
        const int cardOut = (i % 5 == 3) ? 1 : 0;
        words.push_back(ChangeWord(slot, crew, cardOut, activity, minutes));
    }
    return words;
}

// Four BCD digits of a number 0..9999.
std::uint16_t Bcd(int value)
{
    return static_cast<std::uint16_t>((value / 1000 % 10) << 12 | (value / 100 % 10) << 8 | (value / 10 % 10) << 4 |
                                      value % 10);
}

// The holder and card fields both cards share, the ring starting at `ringStart`.
CardBuilder HolderCard(std::uint16_t ringStart)
{
    CardBuilder card;
    card.Surname("Kowalski", 2)
        .FirstNames("Jan", 2)
        .IssuingAuthority("Starosta Testowy", 2)
        .CardNumber("D8001011234500 0")
        .CardDates(TimeReal(2019, 1, 7), TimeReal(2019, 1, 7), TimeReal(2024, 1, 6))
        .BirthDate(0x19800101)
        .DrivingLicence(0x28, "PL0123456789")
        .RingStart(ringStart);
    return card;
}

// 200 vehicles, one a day from `firstDay`, and 112 places, every record in use.
void AddVehiclesAndPlaces(CardBuilder& card, std::uint32_t firstDay)
{
    for (std::size_t v = 0; v < 200; ++v) {
        const std::uint32_t use = firstDay + static_cast<std::uint32_t>(v) * 86'400u + 6 * 3'600;
        const std::string registration = "WX " + std::to_string(10'000 + v);
        card.Vehicle(v,
                     {static_cast<std::uint32_t>(100'000 + v * 500),
                      static_cast<std::uint32_t>(100'000 + v * 500 + 412), use, use + 9 * 3'600,
                      static_cast<std::uint8_t>(v % 2 ? 0x3E : 0x0D), 1, registration, static_cast<std::uint16_t>(v)});
    }
    card.VehiclePointer(199);
    for (std::size_t p = 0; p < 112; ++p)
        card.Place(p,
                   {firstDay + static_cast<std::uint32_t>(p) * 86'400u + 6 * 3'600, static_cast<std::uint8_t>(p % 6),
                    static_cast<std::uint8_t>(p % 2 ? 0x3E : 0x0D), 0, static_cast<std::uint32_t>(100'000 + p * 500)});
    card.PlacePointer(111);
}

}  // namespace

tacho::CardImageData FullCardImage()
{
    CardBuilder card = HolderCard(5'000);
    constexpr std::size_t kRing = 13'776;
    const std::uint32_t firstDay = TimeReal(2020, 1, 1);
    std::size_t used = 0;
    for (int day = 0;; ++day) {
        const std::vector<std::uint16_t> changes = DayChanges(day, 26 + day % 9);
        const std::size_t length = 12 + 2 * changes.size();
        if (used + length > kRing)
            break;
        card.Day(firstDay + static_cast<std::uint32_t>(day) * 86'400u, Bcd(100 + day),
                 static_cast<std::uint16_t>(200 + day % 300), changes);
        used += length;
    }
    AddVehiclesAndPlaces(card, firstDay);
    return card.Image();
}

tacho::CardImageData YearCardImage()
{
    CardBuilder card = HolderCard(5'000);
    const std::uint32_t firstDay = TimeReal(2020, 1, 1);
    for (int day = 0; day < kYearCardDays; ++day)
        card.Day(firstDay + static_cast<std::uint32_t>(day) * 86'400u, Bcd(1 + day),
                 static_cast<std::uint16_t>(200 + day % 300), DayChanges(day, kYearCardChanges));
    AddVehiclesAndPlaces(card, firstDay);
    return card.Image();
}

}  // namespace testsupport
