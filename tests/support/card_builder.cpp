// Synthetic card images for tests.
#include "tests/support/card_builder.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace testsupport {

using namespace tacho;

std::uint32_t TimeReal(int year, int month, int day, int hour, int minute, int second)
{
    const std::chrono::sys_days date = std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                                       std::chrono::day{static_cast<unsigned>(day)};
    const auto seconds = date.time_since_epoch().count() * 86'400LL + hour * 3'600LL + minute * 60LL + second;
    return static_cast<std::uint32_t>(seconds);
}

std::uint16_t ChangeWord(int slot, int crew, int cardOut, int activity, int minutes)
{
    return static_cast<std::uint16_t>(((slot & 1) << 15) | ((crew & 1) << 14) | ((cardOut & 1) << 13) |
                                      ((activity & 3) << 11) | (minutes & 0x7FF));
}

CardBuilder::CardBuilder()
{
    Counts(kMaxEventsPerType, kMaxFaultsPerType, kMaxActivityBytes, kMaxVehicleRecords, kMaxPlaceRecords);
}

CardBuilder& CardBuilder::Counts(std::uint8_t events, std::uint8_t faults, std::uint16_t activityLength,
                                 std::uint16_t vehicles, std::uint8_t places)
{
    Byte(field::kNoOfEventsPerType, events);
    Byte(field::kNoOfFaultsPerType, faults);
    WordBE(field::kActivityStructureLength, activityLength);
    WordBE(field::kNoOfCardVehicleRecords, vehicles);
    return Byte(field::kNoOfCardPlaceRecords, places);
}

CardBuilder& CardBuilder::Surname(std::string_view bytes, std::uint8_t codePage)
{
    Byte(field::kHolderSurnameCodePage, codePage);
    Text(field::kHolderSurnameCodePage + 1, field::kNameLength, bytes);
    return *this;
}

CardBuilder& CardBuilder::FirstNames(std::string_view bytes, std::uint8_t codePage)
{
    Byte(field::kHolderFirstNamesCodePage, codePage);
    Text(field::kHolderFirstNamesCodePage + 1, field::kNameLength, bytes);
    return *this;
}

CardBuilder& CardBuilder::IssuingAuthority(std::string_view bytes, std::uint8_t codePage)
{
    Byte(field::kIssuingAuthorityCodePage, codePage);
    Text(field::kIssuingAuthorityCodePage + 1, field::kNameLength, bytes);
    return *this;
}

CardBuilder& CardBuilder::CardNumber(std::string_view text)
{
    Text(field::kCardNumber, 16, text);
    return *this;
}

CardBuilder& CardBuilder::CardDates(std::uint32_t issue, std::uint32_t validityBegin, std::uint32_t expiry)
{
    Uint32(field::kCardIssueDate, issue);
    Uint32(field::kCardValidityBegin, validityBegin);
    Uint32(field::kCardExpiryDate, expiry);
    return *this;
}

CardBuilder& CardBuilder::BirthDate(std::uint32_t datef)
{
    Uint32(field::kCardHolderBirthDate, datef);
    return *this;
}

CardBuilder& CardBuilder::DrivingLicence(std::uint8_t nation, std::string_view number)
{
    Byte(field::kDrivingLicenceIssuingNation, nation);
    Text(field::kDrivingLicenceNumber, field::kDrivingLicenceNumberLength, number);
    return *this;
}

std::uint16_t CardBuilder::RingLength() const
{
    const auto declared =
        ReadWordBE(image_[field::kActivityStructureLength], image_[field::kActivityStructureLength + 1]);
    return static_cast<std::uint16_t>(std::min<std::size_t>(declared, kMaxActivityBytes));
}

CardBuilder& CardBuilder::RingStart(std::uint16_t offset)
{
    if (offset >= RingLength())
        throw std::out_of_range("CardBuilder::RingStart outside the ring");
    ringEnd_ = offset;
    return *this;
}

CardBuilder& CardBuilder::Day(std::uint32_t midnight, std::uint16_t presenceCounter, std::uint16_t distance,
                              std::initializer_list<std::uint16_t> changes)
{
    return Day(midnight, presenceCounter, distance, std::vector<std::uint16_t>(changes));
}

CardBuilder& CardBuilder::Day(std::uint32_t midnight, std::uint16_t presenceCounter, std::uint16_t distance,
                              const std::vector<std::uint16_t>& changes)
{
    const std::size_t ring = RingLength();
    const std::size_t length = 12 + 2 * changes.size();
    if (ring == 0 || length > ring)
        throw std::out_of_range("CardBuilder::Day does not fit the ring");
    std::vector<std::uint8_t> record(length);
    const auto put16 = [&record](std::size_t at, std::uint16_t v) {
        record[at] = static_cast<std::uint8_t>(v >> 8);
        record[at + 1] = static_cast<std::uint8_t>(v);
    };
    put16(0, haveDay_ ? lastLength_ : 0);
    put16(2, static_cast<std::uint16_t>(length));
    put16(4, static_cast<std::uint16_t>(midnight >> 16));
    put16(6, static_cast<std::uint16_t>(midnight));
    put16(8, presenceCounter);
    put16(10, distance);
    for (std::size_t i = 0; i < changes.size(); ++i)
        put16(12 + 2 * i, changes[i]);
    std::size_t at = ringEnd_;
    for (const std::uint8_t b : record) {
        image_[field::kActivityRing + at] = b;
        at = (at + 1) % ring;
    }
    const std::uint16_t start = ringEnd_;
    WordBE(field::kActivityPointerNewest, start);
    if (!haveDay_)
        WordBE(field::kActivityPointerOldest, start);
    haveDay_ = true;
    lastLength_ = static_cast<std::uint16_t>(length);
    ringEnd_ = static_cast<std::uint16_t>(at);
    return *this;
}

CardBuilder& CardBuilder::ActivityPointers(std::uint16_t oldest, std::uint16_t newest)
{
    WordBE(field::kActivityPointerOldest, oldest);
    return WordBE(field::kActivityPointerNewest, newest);
}

CardBuilder& CardBuilder::Vehicle(std::size_t index, const VehicleSpec& v)
{
    if (index >= kMaxVehicleRecords)
        throw std::out_of_range("CardBuilder::Vehicle index");
    const std::size_t at = field::kVehicleRecords + index * kVehicleRecordSize;
    Uint24(at, v.odometerBegin);
    Uint24(at + 3, v.odometerEnd);
    Uint32(at + 6, v.firstUse);
    Uint32(at + 10, v.lastUse);
    Byte(at + 14, v.nation);
    Byte(at + 15, v.codePage);
    Text(at + 16, 13, v.registration);
    return WordBE(at + 29, v.blockCounter);
}

CardBuilder& CardBuilder::VehiclePointer(std::uint16_t newest) { return WordBE(field::kVehiclePointerNewest, newest); }

CardBuilder& CardBuilder::Place(std::size_t index, const PlaceSpec& p)
{
    if (index >= kMaxPlaceRecords)
        throw std::out_of_range("CardBuilder::Place index");
    const std::size_t at = field::kPlaceRecords + index * kPlaceRecordSize;
    Uint32(at, p.entryTime);
    Byte(at + 4, p.entryType);
    Byte(at + 5, p.country);
    Byte(at + 6, p.region);
    Uint24(at + 7, p.odometer);
    return *this;
}

CardBuilder& CardBuilder::PlacePointer(std::uint8_t newest) { return Byte(field::kPlacePointerNewest, newest); }

CardBuilder& CardBuilder::Event(std::size_t group, std::size_t index, std::span<const std::uint8_t> record24)
{
    if (group >= 6 || index >= kMaxEventsPerType || record24.size() != 24)
        throw std::out_of_range("CardBuilder::Event");
    return Bytes(kEfSlots[8].body + (group * kMaxEventsPerType + index) * 24, record24);
}

CardBuilder& CardBuilder::Fault(std::size_t group, std::size_t index, std::span<const std::uint8_t> record24)
{
    if (group >= 2 || index >= kMaxFaultsPerType || record24.size() != 24)
        throw std::out_of_range("CardBuilder::Fault");
    return Bytes(kEfSlots[9].body + (group * kMaxFaultsPerType + index) * 24, record24);
}

CardBuilder& CardBuilder::Bytes(std::size_t offset, std::span<const std::uint8_t> bytes)
{
    if (offset > image_.size() || bytes.size() > image_.size() - offset)
        throw std::out_of_range("CardBuilder::Bytes outside the image");
    std::copy(bytes.begin(), bytes.end(), image_.begin() + static_cast<std::ptrdiff_t>(offset));
    return *this;
}

CardBuilder& CardBuilder::WordBE(std::size_t offset, std::uint16_t value)
{
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return Bytes(offset, b);
}

CardBuilder& CardBuilder::Byte(std::size_t offset, std::uint8_t value)
{
    return Bytes(offset, std::span<const std::uint8_t>(&value, 1));
}

void CardBuilder::Text(std::size_t offset, std::size_t width, std::string_view bytes)
{
    if (bytes.size() > width)
        throw std::out_of_range("CardBuilder text longer than its field");
    std::vector<std::uint8_t> field(width, ' ');
    std::copy(bytes.begin(), bytes.end(), field.begin());
    Bytes(offset, field);
}

void CardBuilder::Uint24(std::size_t offset, std::uint32_t value)
{
    const std::uint8_t b[3] = {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                               static_cast<std::uint8_t>(value)};
    Bytes(offset, b);
}

void CardBuilder::Uint32(std::size_t offset, std::uint32_t value)
{
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                               static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    Bytes(offset, b);
}

}  // namespace testsupport
