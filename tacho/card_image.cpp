// Card image, signature area and their field readers.
#include "tacho/card_image.h"

#include "tacho/codepage.h"
#include "utility/datetime.h"

#include <algorithm>

namespace tacho {

CardImageData CardImage{};
SignatureAreaData SignatureArea{};

std::optional<std::size_t> EfSlotOf(std::uint16_t fid)
{
    for (std::size_t k = 0; k < kEfSlots.size(); ++k)
        if (kEfSlots[k].fid == fid)
            return k;
    return std::nullopt;
}

std::optional<std::size_t> SignatureSlotOfEf(std::size_t efSlot)
{
    for (std::size_t k = 0; k < kSignedEfSlots.size(); ++k)
        if (kSignedEfSlots[k] == efSlot)
            return k;
    return std::nullopt;
}

double Date1970()
{
    static const double value = utility::EncodeDate(1970, 1, 1);
    return value;
}

double Date1899()
{
    static const double value = utility::EncodeDate(1899, 12, 30);
    return value;
}

void InitializeTcBib()
{
    (void)Date1970();
    (void)Date1899();
}

std::uint16_t ReadWordBE(std::uint8_t first, std::uint8_t second)
{
    return static_cast<std::uint16_t>(first * 256U + second);
}

std::uint16_t ReadWordBE(std::span<const std::uint8_t> bytes)
{
    return bytes.size() < 2 ? 0 : ReadWordBE(bytes[0], bytes[1]);
}

std::uint32_t ReadUint24BE(std::span<const std::uint8_t> bytes)
{
    return bytes.size() < 3 ? 0 : bytes[0] * 65'536U + bytes[1] * 256U + bytes[2];
}

std::uint32_t ReadUint32BE(std::span<const std::uint8_t> bytes)
{
    return bytes.size() < 4 ? 0
                            : (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                                  (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

std::span<const std::uint8_t> ImageField(const CardImageData& image, std::size_t offset, std::size_t length)
{
    if (offset >= image.size())
        return {};
    return std::span<const std::uint8_t>(image).subspan(offset, std::min(length, image.size() - offset));
}

std::string FixedText(std::span<const std::uint8_t> field)
{
    std::size_t end = field.size();
    while (end > 0 && (field[end - 1] == ' ' || field[end - 1] == 0))
        --end;
    return std::string(reinterpret_cast<const char*>(field.data()), end);
}

std::string FixedText(std::string_view field)
{
    return FixedText(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(field.data()), field.size()));
}

namespace {
std::uint16_t WordAt(const CardImageData& image, std::size_t offset)
{
    return ReadWordBE(image[offset], image[offset + 1]);
}

std::optional<std::size_t> RingPointer(const CardImageData& image, std::size_t offset)
{
    const std::size_t pointer = WordAt(image, offset);
    if (pointer >= ActivityStructureLength(image))
        return std::nullopt;
    return pointer;
}
}  // namespace

std::size_t NoOfEventsPerType(const CardImageData& image)
{
    return std::min<std::size_t>(image[field::kNoOfEventsPerType], kMaxEventsPerType);
}

std::size_t NoOfFaultsPerType(const CardImageData& image)
{
    return std::min<std::size_t>(image[field::kNoOfFaultsPerType], kMaxFaultsPerType);
}

std::size_t ActivityStructureLength(const CardImageData& image)
{
    return std::min<std::size_t>(WordAt(image, field::kActivityStructureLength), kMaxActivityBytes);
}

std::size_t VehicleRecordCount(const CardImageData& image)
{
    return std::min<std::size_t>(WordAt(image, field::kNoOfCardVehicleRecords), kMaxVehicleRecords);
}

std::size_t PlaceRecordCount(const CardImageData& image)
{
    return std::min<std::size_t>(image[field::kNoOfCardPlaceRecords], kMaxPlaceRecords);
}

std::optional<std::size_t> ActivityPointerOldestDayRecord(const CardImageData& image)
{
    return RingPointer(image, field::kActivityPointerOldest);
}

std::optional<std::size_t> ActivityPointerNewestRecord(const CardImageData& image)
{
    return RingPointer(image, field::kActivityPointerNewest);
}

std::size_t VehiclePointerNewestRecord(const CardImageData& image)
{
    return std::min<std::size_t>(WordAt(image, field::kVehiclePointerNewest), kMaxVehicleRecords - 1);
}

std::size_t PlacePointerNewestRecord(const CardImageData& image)
{
    return std::min<std::size_t>(image[field::kPlacePointerNewest], kMaxPlaceRecords - 1);
}

std::span<const std::uint8_t> VehicleRecord(const CardImageData& image, std::size_t index)
{
    if (index >= kMaxVehicleRecords)
        return {};
    return ImageField(image, field::kVehicleRecords + index * kVehicleRecordSize, kVehicleRecordSize);
}

std::span<const std::uint8_t> PlaceRecord(const CardImageData& image, std::size_t index)
{
    if (index >= kMaxPlaceRecords)
        return {};
    return ImageField(image, field::kPlaceRecords + index * kPlaceRecordSize, kPlaceRecordSize);
}

std::string CardHolderSurname(const CardImageData& image)
{
    return CodePageFixedText(ImageField(image, field::kHolderSurnameCodePage, 1 + field::kNameLength));
}

std::string CardHolderFirstNames(const CardImageData& image)
{
    return CodePageFixedText(ImageField(image, field::kHolderFirstNamesCodePage, 1 + field::kNameLength));
}

std::string CardIssuingAuthorityName(const CardImageData& image)
{
    return CodePageFixedText(ImageField(image, field::kIssuingAuthorityCodePage, 1 + field::kNameLength));
}

std::string CardNumber(const CardImageData& image)
{
    return FixedText(ImageField(image, field::kCardNumber, field::kDriverIdentificationLength));
}

std::string CardHolderPesel(const CardImageData& image)
{
    const std::string number = CardNumber(image);
    return number.size() <= 1 ? std::string() : number.substr(1, 11);
}

std::string DrivingLicenceNumber(const CardImageData& image)
{
    return FixedText(ImageField(image, field::kDrivingLicenceNumber, field::kDrivingLicenceNumberLength));
}

}  // namespace tacho
