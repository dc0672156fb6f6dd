#include "tacho/card_blocks.h"

#include "utility/cp1250.h"
#include "utility/stringi.h"

#include <cassert>
#include <span>

namespace tacho {

namespace {
// Slots whose block length follows a count, with the bytes per counted item and the bytes
// in front of the items.
constexpr std::size_t kEventsSlot = 8;
constexpr std::size_t kFaultsSlot = 9;
constexpr std::size_t kActivitySlot = 10;
constexpr std::size_t kVehiclesSlot = 11;
constexpr std::size_t kPlacesSlot = 12;
constexpr std::size_t kEventGroups = 6;
constexpr std::size_t kFaultGroups = 2;
constexpr std::size_t kEventFaultRecordSize = 24;
constexpr std::size_t kActivityPointersSize = 4;
constexpr std::size_t kVehiclePointerSize = 2;
constexpr std::size_t kPlacePointerSize = 1;

std::size_t WordAt(const CardImageData& image, std::size_t offset)
{
    return ReadWordBE(image[offset], image[offset + 1]);
}
}  // namespace

std::size_t DataBlockLength(const CardImageData& image, std::size_t efSlot)
{
    switch (efSlot) {
    case kEventsSlot:
        return image[field::kNoOfEventsPerType] * kEventGroups * kEventFaultRecordSize;
    case kFaultsSlot:
        return image[field::kNoOfFaultsPerType] * kFaultGroups * kEventFaultRecordSize;
    case kActivitySlot:
        return WordAt(image, field::kActivityStructureLength) + kActivityPointersSize;
    case kVehiclesSlot:
        return WordAt(image, field::kNoOfCardVehicleRecords) * kVehicleRecordSize + kVehiclePointerSize;
    case kPlacesSlot:
        return image[field::kNoOfCardPlaceRecords] * kPlaceRecordSize + kPlacePointerSize;
    default:
        return kEfSlots[efSlot].size;
    }
}

std::string FileIdText(std::uint16_t fileId) { return utility::ZeroPadNumberText(utility::IntToHexText(fileId), 4); }

bool AppendDataBlock(ByteBuffer& out, const CardImageData& image, std::uint16_t fileId, std::size_t efSlot,
                     std::string& error)
{
    assert(efSlot < kEfSlots.size());
    const EfSlot& slot = kEfSlots[efSlot];
    const std::size_t length = DataBlockLength(image, efSlot);
    // Cutting the block to the slot would pair a signature with data it was not made of.
    if (length > slot.size) {
        error = utility::Pl("Dane karty są niepoprawne: blok ") + FileIdText(slot.fid) + utility::Pl(" miałby ") +
                std::to_string(length) + utility::Pl(" bajtów, a mieści najwyżej ") + std::to_string(slot.size) +
                utility::Pl(" bajtów.");
        return false;
    }
    AppendBlock(out, fileId, kDddDataBlock, std::span<const std::uint8_t>(image).subspan(slot.body, length));
    return true;
}

bool AppendSignatureBlock(ByteBuffer& out, const SignatureAreaData& signatures, std::size_t efSlot, std::string& error)
{
    const std::optional<std::size_t> signatureSlot = SignatureSlotOfEf(efSlot);
    assert(signatureSlot.has_value());
    if (!signatureSlot || signatures[SignatureValidityOffset(*signatureSlot)] != 1) {
        error = utility::Pl("Brak podpisów w danych");
        return false;
    }
    AppendBlock(
        out, kEfSlots[efSlot].fid, kDddSignatureBlock,
        std::span<const std::uint8_t>(signatures).subspan(SignatureSlotOffset(*signatureSlot), kSignatureLength));
    return true;
}

}  // namespace tacho
