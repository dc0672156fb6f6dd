// The in-memory card image of a first-generation driver card, its signature area, the
// layout tables of both and the small field readers over them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tacho {

inline constexpr std::size_t kCardImageSize = 24'975;
inline constexpr std::size_t kSignatureAreaSize = 1'419;
inline constexpr std::size_t kEfCount = 16;

using CardImageData = std::array<std::uint8_t, kCardImageSize>;
using SignatureAreaData = std::array<std::uint8_t, kSignatureAreaSize>;

// The one card image and the one signature area of the run; zero at start-up.
extern CardImageData CardImage;
extern SignatureAreaData SignatureArea;

// The 16 elementary file identifiers in slot order.
inline constexpr std::string_view EfList =
    "0002;0005;0501;C100;C108;0520;050E;0521;0502;0503;0504;0505;0506;0507;0508;0522";

// One slot of the card image: a reserved byte, then the file body at its largest size.
struct EfSlot {
    std::uint16_t fid;
    std::size_t reserved;  // offset of the reserved byte
    std::size_t body;      // offset of the body
    std::size_t size;      // body size in bytes
};

inline constexpr std::array<EfSlot, kEfCount> kEfSlots = {{
    {0x0002, 0, 1, 25},
    {0x0005, 26, 27, 8},
    {0x0501, 35, 36, 10},
    {0xC100, 46, 47, 194},
    {0xC108, 241, 242, 194},
    {0x0520, 436, 437, 143},
    {0x050E, 580, 581, 4},
    {0x0521, 585, 586, 53},
    {0x0502, 639, 640, 1'728},
    {0x0503, 2'368, 2'369, 1'152},
    {0x0504, 3'521, 3'522, 13'780},
    {0x0505, 17'302, 17'303, 6'202},
    {0x0506, 23'505, 23'506, 1'121},
    {0x0507, 24'627, 24'628, 19},
    {0x0508, 24'647, 24'648, 46},
    {0x0522, 24'694, 24'695, 280},
}};

namespace detail {
constexpr bool SlotsChain()
{
    std::size_t next = 0;
    for (const EfSlot& s : kEfSlots) {
        if (s.reserved != next || s.body != s.reserved + 1)
            return false;
        next = s.body + s.size;
    }
    return next == kCardImageSize;
}

constexpr int HexDigit(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; }

constexpr bool EfListMatchesSlots()
{
    if (EfList.size() != kEfCount * 5 - 1)
        return false;
    for (std::size_t k = 0; k < kEfCount; ++k) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const int d = HexDigit(EfList[k * 5 + i]);
            if (d < 0)
                return false;
            value = value * 16 + static_cast<unsigned>(d);
        }
        if (value != kEfSlots[k].fid || (k + 1 < kEfCount && EfList[k * 5 + 4] != ';'))
            return false;
    }
    return true;
}
}  // namespace detail

static_assert(detail::SlotsChain(), "card image slots must follow each other and fill the record");
static_assert(detail::EfListMatchesSlots(), "EfList must name the slots in order");

// Slot number 0..15 of a file identifier; empty when the card image has no slot for it.
std::optional<std::size_t> EfSlotOf(std::uint16_t fid);

// Signature area: 11 slots of 128 signature bytes and a validity byte (1 = card answered "9000").
inline constexpr std::size_t kSignatureCount = 11;
inline constexpr std::size_t kSignatureSlotSize = 129;
inline constexpr std::size_t kSignatureLength = 128;
// Card image slot of each signed file, in signature slot order.
inline constexpr std::array<std::size_t, kSignatureCount> kSignedEfSlots = {2, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15};
static_assert(kSignatureCount * kSignatureSlotSize == kSignatureAreaSize);

constexpr std::size_t SignatureSlotOffset(std::size_t signatureSlot) { return signatureSlot * kSignatureSlotSize; }
constexpr std::size_t SignatureValidityOffset(std::size_t signatureSlot)
{
    return SignatureSlotOffset(signatureSlot) + kSignatureLength;
}
// Signature slot of a card image slot; empty for the files that are not signed.
std::optional<std::size_t> SignatureSlotOfEf(std::size_t efSlot);

// Absolute offsets of the fields the program reads.
namespace field {
inline constexpr std::size_t kNoOfEventsPerType = 39;
inline constexpr std::size_t kNoOfFaultsPerType = 40;
inline constexpr std::size_t kActivityStructureLength = 41;
inline constexpr std::size_t kNoOfCardVehicleRecords = 43;
inline constexpr std::size_t kNoOfCardPlaceRecords = 45;
inline constexpr std::size_t kCardIssuingMemberState = 437;
inline constexpr std::size_t kCardNumber = 438;  // 16: driverIdentification 14, replacement, renewal
inline constexpr std::size_t kDriverIdentificationLength = 14;
inline constexpr std::size_t kCardReplacementIndex = 452;
inline constexpr std::size_t kCardRenewalIndex = 453;
inline constexpr std::size_t kIssuingAuthorityCodePage = 454;
inline constexpr std::size_t kNameLength = 35;  // every Name field, after its code-page byte
inline constexpr std::size_t kCardIssueDate = 490;
inline constexpr std::size_t kCardValidityBegin = 494;
inline constexpr std::size_t kCardExpiryDate = 498;
inline constexpr std::size_t kHolderSurnameCodePage = 502;
inline constexpr std::size_t kHolderFirstNamesCodePage = 538;
inline constexpr std::size_t kCardHolderBirthDate = 574;
inline constexpr std::size_t kCardHolderPreferredLanguage = 578;
inline constexpr std::size_t kDrivingLicenceIssuingNation = 622;
inline constexpr std::size_t kDrivingLicenceNumber = 623;
inline constexpr std::size_t kDrivingLicenceNumberLength = 16;
inline constexpr std::size_t kActivityPointerOldest = 3'522;
inline constexpr std::size_t kActivityPointerNewest = 3'524;
inline constexpr std::size_t kActivityRing = 3'526;
inline constexpr std::size_t kVehiclePointerNewest = 17'303;
inline constexpr std::size_t kVehicleRecords = 17'305;
inline constexpr std::size_t kPlacePointerNewest = 23'506;
inline constexpr std::size_t kPlaceRecords = 23'507;
}  // namespace field

// Largest counts a first-generation card can declare; the slots are sized for them.
inline constexpr std::size_t kMaxEventsPerType = 12;
inline constexpr std::size_t kMaxFaultsPerType = 24;
inline constexpr std::size_t kMaxActivityBytes = 13'776;
inline constexpr std::size_t kMaxVehicleRecords = 200;
inline constexpr std::size_t kMaxPlaceRecords = 112;
inline constexpr std::size_t kVehicleRecordSize = 31;
inline constexpr std::size_t kPlaceRecordSize = 10;
static_assert(field::kActivityRing + kMaxActivityBytes == kEfSlots[10].body + kEfSlots[10].size);
static_assert(field::kVehicleRecords + kMaxVehicleRecords * kVehicleRecordSize ==
              kEfSlots[11].body + kEfSlots[11].size);
static_assert(field::kPlaceRecords + kMaxPlaceRecords * kPlaceRecordSize == kEfSlots[12].body + kEfSlots[12].size);

// Epoch day numbers, computed once with the date encoding: 1 January 1970 and 30 December 1899.
double Date1970();
double Date1899();
// The tachograph data unit's start-up step (sets the epoch constants).
void InitializeTcBib();

// Big-endian readers over a span that holds at least the bytes read.
std::uint16_t ReadWordBE(std::uint8_t first, std::uint8_t second);
std::uint16_t ReadWordBE(std::span<const std::uint8_t> bytes);
std::uint32_t ReadUint24BE(std::span<const std::uint8_t> bytes);
std::uint32_t ReadUint32BE(std::span<const std::uint8_t> bytes);

// `length` bytes of the image from `offset`, cut at the image's end (never reads past it).
std::span<const std::uint8_t> ImageField(const CardImageData& image, std::size_t offset, std::size_t length);

// A fixed-length character field without its trailing blanks and NUL bytes; bytes unchanged.
std::string FixedText(std::span<const std::uint8_t> field);
std::string FixedText(std::string_view field);

// Checked counts and pointers: every reader of the image takes counts and pointers from
// these, so a damaged card or file never leads a reader outside its slot.
// Events per type, at most 12.
std::size_t NoOfEventsPerType(const CardImageData& image);
// Faults per type, at most 24.
std::size_t NoOfFaultsPerType(const CardImageData& image);
// Length of the activity ring in bytes, at most 13,776; 0 means an empty ring.
std::size_t ActivityStructureLength(const CardImageData& image);
// Vehicle records declared, at most 200.
std::size_t VehicleRecordCount(const CardImageData& image);
// Place records declared, at most 112.
std::size_t PlaceRecordCount(const CardImageData& image);
// Ring offsets of the oldest day record and of the newest record; empty when the ring is
// empty or the pointer lies outside it.
std::optional<std::size_t> ActivityPointerOldestDayRecord(const CardImageData& image);
std::optional<std::size_t> ActivityPointerNewestRecord(const CardImageData& image);
// Index of the newest vehicle / place record, at most the last slot (199 / 111). A larger
// value starts the walk at record 0 either way.
std::size_t VehiclePointerNewestRecord(const CardImageData& image);
std::size_t PlacePointerNewestRecord(const CardImageData& image);
// The 31 bytes of vehicle record 0..199 and the 10 bytes of place record 0..111; an index
// beyond the slot gives an empty span.
std::span<const std::uint8_t> VehicleRecord(const CardImageData& image, std::size_t index);
std::span<const std::uint8_t> PlaceRecord(const CardImageData& image, std::size_t index);

// Holder and card texts for display, lists and file names: the fixed text of the field,
// converted from the code page named by the card into code page 1250.
std::string CardHolderSurname(const CardImageData& image);
std::string CardHolderFirstNames(const CardImageData& image);
std::string CardIssuingAuthorityName(const CardImageData& image);
// Characters 2..12 of the trimmed driverIdentification (fewer when it is shorter).
std::string CardHolderPesel(const CardImageData& image);
// The 14 driverIdentification characters, trimmed.
std::string CardNumber(const CardImageData& image);
std::string DrivingLicenceNumber(const CardImageData& image);

}  // namespace tacho
