#include "tests/support/card_files.h"

#include <algorithm>

namespace cardrig {

bool IsCardLevelFile(std::uint16_t fid)
{
    return fid == kFidIcc || fid == kFidIc;
}

CardCounts SmallestCard()
{
    return CardCounts{6, 12, 5544, 84, 84};
}

CardCounts LargestCard()
{
    return CardCounts{};
}

std::size_t FileSize(std::uint16_t fid, const CardCounts& counts)
{
    switch (fid) {
    case kFidIcc: return 25;
    case kFidIc: return 8;
    case kFidApplicationIdentification: return 10;
    case kFidCardCertificate:
    case kFidCaCertificate: return 194;
    case kFidIdentification: return 143;
    case kFidCardDownload: return 4;
    case kFidDrivingLicenceInfo: return 53;
    case kFidEventsData: return std::size_t{counts.eventsPerType} * 6 * 24;
    case kFidFaultsData: return std::size_t{counts.faultsPerType} * 2 * 24;
    case kFidDriverActivityData: return std::size_t{counts.activityStructureLength} + 4;
    case kFidVehiclesUsed: return std::size_t{counts.vehicleRecords} * 31 + 2;
    case kFidPlaces: return std::size_t{counts.placeRecords} * 10 + 1;
    case kFidCurrentUsage: return 19;
    case kFidControlActivityData: return 46;
    case kFidSpecificConditions: return 280;
    default: return 0;
    }
}

Bytes ApplicationIdentification(const CardCounts& counts)
{
    return Bytes{
        0x01,  // typeOfTachographCardId: driver card
        0x00, 0x00,  // cardStructureVersion
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

CardFiles MakeCardFiles(const CardCounts& counts, std::uint32_t seed)
{
    CardFiles files;
    for (const std::uint16_t fid : kAllFids)
        files[fid] = fid == kFidApplicationIdentification ? ApplicationIdentification(counts)
                                                          : Filler(fid, seed, FileSize(fid, counts));
    return files;
}

}  // namespace cardrig
