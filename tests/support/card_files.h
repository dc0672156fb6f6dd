// Elementary files of an emulated first-generation driver card.
#pragma once

#include "tacho/card_image.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// File identifiers of the 16 elementary files, in the order the card image keeps them.
inline constexpr std::uint16_t kFidIcc = 0x0002;
inline constexpr std::uint16_t kFidIc = 0x0005;
inline constexpr std::uint16_t kFidApplicationIdentification = 0x0501;
inline constexpr std::uint16_t kFidCardCertificate = 0xC100;
inline constexpr std::uint16_t kFidCaCertificate = 0xC108;
inline constexpr std::uint16_t kFidIdentification = 0x0520;
inline constexpr std::uint16_t kFidCardDownload = 0x050E;
inline constexpr std::uint16_t kFidDrivingLicenceInfo = 0x0521;
inline constexpr std::uint16_t kFidEventsData = 0x0502;
inline constexpr std::uint16_t kFidFaultsData = 0x0503;
inline constexpr std::uint16_t kFidDriverActivityData = 0x0504;
inline constexpr std::uint16_t kFidVehiclesUsed = 0x0505;
inline constexpr std::uint16_t kFidPlaces = 0x0506;
inline constexpr std::uint16_t kFidCurrentUsage = 0x0507;
inline constexpr std::uint16_t kFidControlActivityData = 0x0508;
inline constexpr std::uint16_t kFidSpecificConditions = 0x0522;

inline constexpr std::uint16_t kAllFids[16] = {kFidIcc,
                                               kFidIc,
                                               kFidApplicationIdentification,
                                               kFidCardCertificate,
                                               kFidCaCertificate,
                                               kFidIdentification,
                                               kFidCardDownload,
                                               kFidDrivingLicenceInfo,
                                               kFidEventsData,
                                               kFidFaultsData,
                                               kFidDriverActivityData,
                                               kFidVehiclesUsed,
                                               kFidPlaces,
                                               kFidCurrentUsage,
                                               kFidControlActivityData,
                                               kFidSpecificConditions};

// The two files that live beside the tachograph application rather than inside it.
[[nodiscard]] bool IsCardLevelFile(std::uint16_t fid);

// Sizes a driver card declares in Application_Identification.
struct CardCounts {
    std::uint8_t eventsPerType = 12;
    std::uint8_t faultsPerType = 24;
    std::uint16_t activityStructureLength = 13776;
    std::uint16_t vehicleRecords = 200;
    std::uint8_t placeRecords = 112;
};

// The smallest and the largest first-generation driver card.
[[nodiscard]] CardCounts SmallestCard();
[[nodiscard]] CardCounts LargestCard();

// Size of a file on a card with these counts; 0 for an unknown identifier.
[[nodiscard]] std::size_t FileSize(std::uint16_t fid, const CardCounts& counts);

// FID -> body, every body as large as the card holds it.
using CardFiles = std::map<std::uint16_t, Bytes>;

// The 16 files of a card image, each as large as the image's Application_Identification declares
// (a declared size beyond the image's slot is padded with zeros: a card that holds more).
[[nodiscard]] CardFiles CardFilesFromImage(const tacho::CardImageData& image);

// A plausible driver card with these counts, made with the card builder: holder Anna Nowak
// (PESEL 75010112345), three days of activities, two vehicles and two places. The parts that
// nothing decodes (certificates, events, faults, the unused part of the activity ring, ...) are
// filler derived from the FID and the seed, so no two files and no two seeds look alike.
[[nodiscard]] CardFiles MakeCardFiles(const CardCounts& counts, std::uint32_t seed = 1);

// Application_Identification of a driver card with these counts (10 bytes).
[[nodiscard]] Bytes ApplicationIdentification(const CardCounts& counts);

}  // namespace testsupport
