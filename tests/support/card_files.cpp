#include "tests/support/card_files.h"

#include "tests/support/card_builder.h"

#include <algorithm>

namespace testsupport {

bool IsCardLevelFile(std::uint16_t fid) { return fid == kFidIcc || fid == kFidIc; }

CardCounts SmallestCard() { return CardCounts{6, 12, 5544, 84, 84}; }

CardCounts LargestCard() { return CardCounts{}; }

std::size_t FileSize(std::uint16_t fid, const CardCounts& counts)
{
    switch (fid) {
    case kFidIcc:
        return 25;
    case kFidIc:
        return 8;
    case kFidApplicationIdentification:
        return 10;
    case kFidCardCertificate:
    case kFidCaCertificate:
        return 194;
    case kFidIdentification:
        return 143;
    case kFidCardDownload:
        return 4;
    case kFidDrivingLicenceInfo:
        return 53;
    case kFidEventsData:
        return std::size_t{counts.eventsPerType} * 6 * 24;
    case kFidFaultsData:
        return std::size_t{counts.faultsPerType} * 2 * 24;
    case kFidDriverActivityData:
        return std::size_t{counts.activityStructureLength} + 4;
    case kFidVehiclesUsed:
        return std::size_t{counts.vehicleRecords} * 31 + 2;
    case kFidPlaces:
        return std::size_t{counts.placeRecords} * 10 + 1;
    case kFidCurrentUsage:
        return 19;
    case kFidControlActivityData:
        return 46;
    case kFidSpecificConditions:
        return 280;
    default:
        return 0;
    }
}

Bytes ApplicationIdentification(const CardCounts& counts)
{
    return Bytes{
        0x01,  // typeOfTachographCardId: driver card
        0x00,
        0x00,  // cardStructureVersion
        counts.eventsPerType,
        counts.faultsPerType,
        static_cast<std::uint8_t>(counts.activityStructureLength >> 8),
        static_cast<std::uint8_t>(counts.activityStructureLength & 0xFF),
        static_cast<std::uint8_t>(counts.vehicleRecords >> 8),
        static_cast<std::uint8_t>(counts.vehicleRecords & 0xFF),
        counts.placeRecords,
    };
}

namespace {

// Small linear congruential generator: reproducible filler, no dependence on the library's engines.
Bytes Filler(std::uint16_t fid, std::uint32_t seed, std::size_t size)
{
    std::uint32_t state = seed * 2654435761u ^ (std::uint32_t{fid} << 8) ^ 0x5A17u;
    Bytes body(size);
    for (auto& b : body) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return body;
}

}  // namespace

CardFiles CardFilesFromImage(const tacho::CardImageData& image)
{
    const CardCounts counts{image[tacho::field::kNoOfEventsPerType], image[tacho::field::kNoOfFaultsPerType],
                            static_cast<std::uint16_t>(image[tacho::field::kActivityStructureLength] << 8 |
                                                       image[tacho::field::kActivityStructureLength + 1]),
                            static_cast<std::uint16_t>(image[tacho::field::kNoOfCardVehicleRecords] << 8 |
                                                       image[tacho::field::kNoOfCardVehicleRecords + 1]),
                            image[tacho::field::kNoOfCardPlaceRecords]};
    CardFiles files;
    for (const tacho::EfSlot& slot : tacho::kEfSlots) {
        Bytes body(FileSize(slot.fid, counts));
        const auto from = image.begin() + static_cast<std::ptrdiff_t>(slot.body);
        std::copy_n(from, std::min(body.size(), slot.size), body.begin());
        files[slot.fid] = std::move(body);
    }
    return files;
}

CardFiles MakeCardFiles(const CardCounts& counts, std::uint32_t seed)
{
    using testsupport::ChangeWord;
    using testsupport::TimeReal;
    testsupport::CardBuilder card;
    card.Counts(counts.eventsPerType, counts.faultsPerType, counts.activityStructureLength, counts.vehicleRecords,
                counts.placeRecords)
        .Surname("Nowak", 2)
        .FirstNames("Anna", 2)
        .IssuingAuthority("Starosta Testowy", 2)
        .CardNumber("D7501011234500 0")
        .CardDates(TimeReal(2020, 3, 2), TimeReal(2020, 3, 2), TimeReal(2025, 3, 1))
        .BirthDate(0x19750101)
        .DrivingLicence(0x28, "PL0123456789")  // issued in Poland
        .Day(TimeReal(2021, 6, 7), 0x0101, 412,
             {ChangeWord(0, 0, 0, 0, 0), ChangeWord(0, 0, 0, 3, 6 * 60), ChangeWord(0, 0, 0, 0, 15 * 60)})
        .Day(TimeReal(2021, 6, 8), 0x0102, 380,
             {ChangeWord(0, 0, 0, 0, 0), ChangeWord(0, 0, 0, 2, 5 * 60 + 30), ChangeWord(0, 0, 0, 3, 6 * 60),
              ChangeWord(0, 0, 0, 0, 14 * 60)})
        .Day(TimeReal(2021, 6, 9), 0x0103, 0, {ChangeWord(0, 0, 1, 0, 0)})
        .Vehicle(0, {120'000, 120'412, TimeReal(2021, 6, 7, 6), TimeReal(2021, 6, 7, 15), 0x3E, 1, "WX 12345", 1})
        .Vehicle(1, {88'100, 88'480, TimeReal(2021, 6, 8, 5, 30), TimeReal(2021, 6, 8, 14), 0x3E, 1, "PO 9876A", 2})
        .VehiclePointer(1)
        .Place(0, {TimeReal(2021, 6, 7, 6), 0, 0x3E, 0, 120'000})
        .Place(1, {TimeReal(2021, 6, 8, 14), 1, 0x3E, 0, 88'480})
        .PlacePointer(1);
    CardFiles files = CardFilesFromImage(card.Image());
    files[kFidApplicationIdentification] = ApplicationIdentification(counts);
    for (const std::uint16_t fid :
         {kFidIcc, kFidIc, kFidCardCertificate, kFidCaCertificate, kFidCardDownload, kFidEventsData, kFidFaultsData,
          kFidCurrentUsage, kFidControlActivityData, kFidSpecificConditions})
        files[fid] = Filler(fid, seed, files[fid].size());
    // The ring beyond the newest day holds what older days left behind.
    Bytes& activity = files[kFidDriverActivityData];
    const std::size_t used = std::min<std::size_t>(4 + card.RingEnd(), activity.size());
    const Bytes rest = Filler(kFidDriverActivityData, seed, activity.size() - used);
    std::copy(rest.begin(), rest.end(), activity.begin() + static_cast<std::ptrdiff_t>(used));
    return files;
}

}  // namespace testsupport
