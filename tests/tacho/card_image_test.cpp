#include "tacho/card_image.h"

#include "tests/support/card_builder.h"
#include "utility/datetime.h"
#include "utility/stringi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tacho;
using testsupport::CardBuilder;

namespace {
std::span<const std::uint8_t> Bytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}
}  // namespace

TEST(CardImageLayout, SlotsOfEveryFile)
{
    struct Row {
        const char* fid;
        std::size_t reserved;
        std::size_t body;
        std::size_t size;
    };
    const Row rows[] = {
        {"0002", 0, 1, 25},           {"0005", 26, 27, 8},         {"0501", 35, 36, 10},
        {"C100", 46, 47, 194},        {"C108", 241, 242, 194},     {"0520", 436, 437, 143},
        {"050E", 580, 581, 4},        {"0521", 585, 586, 53},      {"0502", 639, 640, 1728},
        {"0503", 2368, 2369, 1152},   {"0504", 3521, 3522, 13780}, {"0505", 17302, 17303, 6202},
        {"0506", 23505, 23506, 1121}, {"0507", 24627, 24628, 19},  {"0508", 24647, 24648, 46},
        {"0522", 24694, 24695, 280},
    };
    const auto ids = utility::SplitSemicolonList(EfList);
    ASSERT_EQ(ids.size(), kEfCount);
    ASSERT_EQ(std::size(rows), kEfSlots.size());
    for (std::size_t k = 0; k < kEfCount; ++k) {
        SCOPED_TRACE(rows[k].fid);
        EXPECT_EQ(ids[k], rows[k].fid);
        EXPECT_EQ(kEfSlots[k].fid, std::stoul(rows[k].fid, nullptr, 16));
        EXPECT_EQ(kEfSlots[k].reserved, rows[k].reserved);
        EXPECT_EQ(kEfSlots[k].body, rows[k].body);
        EXPECT_EQ(kEfSlots[k].size, rows[k].size);
        EXPECT_EQ(EfSlotOf(kEfSlots[k].fid), k);
    }
    EXPECT_FALSE(EfSlotOf(0x0509).has_value());
    EXPECT_EQ(sizeof(CardImageData), 24975u);
    EXPECT_EQ(sizeof(SignatureAreaData), 1419u);
}

TEST(CardImageLayout, SignatureSlots)
{
    struct Row {
        std::size_t slot;
        std::size_t offset;
        const char* fid;
    };
    const Row rows[] = {
        {0, 0, "0501"},   {1, 129, "0520"}, {2, 258, "0521"},  {3, 387, "0502"},  {4, 516, "0503"},   {5, 645, "0504"},
        {6, 774, "0505"}, {7, 903, "0506"}, {8, 1032, "0507"}, {9, 1161, "0508"}, {10, 1290, "0522"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.fid);
        EXPECT_EQ(SignatureSlotOffset(r.slot), r.offset);
        const auto ef = EfSlotOf(static_cast<std::uint16_t>(std::stoul(r.fid, nullptr, 16)));
        ASSERT_TRUE(ef.has_value());
        EXPECT_EQ(kSignedEfSlots[r.slot], *ef);
        EXPECT_EQ(SignatureSlotOfEf(*ef), r.slot);
    }
    EXPECT_EQ(SignatureValidityOffset(3), 515u);
    for (const char* unsignedFile : {"0002", "0005", "C100", "C108", "050E"})
        EXPECT_FALSE(SignatureSlotOfEf(*EfSlotOf(static_cast<std::uint16_t>(std::stoul(unsignedFile, nullptr, 16)))))
            << unsignedFile;
}

TEST(CardImageLayout, FieldOffsetsFollowTheFileRecords)
{
    struct Row {
        const char* name;
        std::size_t offset;
        std::size_t slot;
        std::size_t inBody;
    };
    // Offsets inside the Application_Identification, Identification, licence and cyclic files.
    const Row rows[] = {
        {"noOfEventsPerType", field::kNoOfEventsPerType, 2, 3},
        {"noOfFaultsPerType", field::kNoOfFaultsPerType, 2, 4},
        {"activityStructureLength", field::kActivityStructureLength, 2, 5},
        {"noOfCardVehicleRecords", field::kNoOfCardVehicleRecords, 2, 7},
        {"noOfCardPlaceRecords", field::kNoOfCardPlaceRecords, 2, 9},
        {"cardIssuingMemberState", field::kCardIssuingMemberState, 5, 0},
        {"cardNumber", field::kCardNumber, 5, 1},
        {"cardReplacementIndex", field::kCardReplacementIndex, 5, 15},
        {"cardRenewalIndex", field::kCardRenewalIndex, 5, 16},
        {"cardIssuingAuthorityName", field::kIssuingAuthorityCodePage, 5, 17},
        {"cardIssueDate", field::kCardIssueDate, 5, 53},
        {"cardValidityBegin", field::kCardValidityBegin, 5, 57},
        {"cardExpiryDate", field::kCardExpiryDate, 5, 61},
        {"holderSurname", field::kHolderSurnameCodePage, 5, 65},
        {"holderFirstNames", field::kHolderFirstNamesCodePage, 5, 101},
        {"cardHolderBirthDate", field::kCardHolderBirthDate, 5, 137},
        {"cardHolderPreferredLanguage", field::kCardHolderPreferredLanguage, 5, 141},
        {"drivingLicenceIssuingNation", field::kDrivingLicenceIssuingNation, 7, 36},
        {"drivingLicenceNumber", field::kDrivingLicenceNumber, 7, 37},
        {"activityPointerOldestDayRecord", field::kActivityPointerOldest, 10, 0},
        {"activityPointerNewestRecord", field::kActivityPointerNewest, 10, 2},
        {"activityDailyRecords", field::kActivityRing, 10, 4},
        {"vehiclePointerNewestRecord", field::kVehiclePointerNewest, 11, 0},
        {"cardVehicleRecords", field::kVehicleRecords, 11, 2},
        {"placePointerNewestRecord", field::kPlacePointerNewest, 12, 0},
        {"placeRecords", field::kPlaceRecords, 12, 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.offset, kEfSlots[r.slot].body + r.inBody) << r.name;
    const std::pair<std::size_t, std::size_t> absolute[] = {
        {field::kCardNumber, 438},
        {field::kIssuingAuthorityCodePage, 454},
        {field::kHolderSurnameCodePage, 502},
        {field::kHolderFirstNamesCodePage, 538},
        {field::kCardHolderBirthDate, 574},
        {field::kDrivingLicenceNumber, 623},
        {field::kActivityRing, 3526},
        {field::kVehicleRecords, 17305},
        {field::kPlaceRecords, 23507},
    };
    for (const auto& [offset, expected] : absolute)
        EXPECT_EQ(offset, expected);
}

TEST(CardImage, StartsZeroed)
{
    for (const std::uint8_t b : CardImage)
        ASSERT_EQ(b, 0);
    for (const std::uint8_t b : SignatureArea)
        ASSERT_EQ(b, 0);
}

TEST(CardImage, EpochConstants)
{
    InitializeTcBib();
    EXPECT_EQ(Date1970(), 25569.0);
    EXPECT_EQ(Date1899(), 0.0);
    EXPECT_EQ(utility::DateToYMDText(Date1970()), "1970-01-01");
}

TEST(FieldReaders, FixedText)
{
    struct Case {
        std::string field;
        std::string expected;
    };
    const Case cases[] = {
        {std::string(35, ' '), ""},
        {"Kowalski" + std::string(27, '\0'), "Kowalski"},
        {std::string("Jan") + '\0' + "Maria" + std::string(4, ' '), std::string("Jan") + '\0' + "Maria"},
        {"  Lead", "  Lead"},
        {std::string("A \0 \0", 5), "A"},
        {"", ""},
        {std::string(1, '\0'), ""},
        {"\xA1\xB1", "\xA1\xB1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FixedText(c.field), c.expected) << c.field;
        EXPECT_EQ(FixedText(Bytes(c.field)), c.expected) << c.field;
    }
}

TEST(FieldReaders, Pesel)
{
    struct Case {
        const char* number;
        const char* pesel;
    };
    const Case cases[] = {
        {"D8001011234500", "80010112345"}, {"D8001", "8001"}, {"", ""}, {"D", ""}, {"  D800", " D800"},
    };
    for (const Case& c : cases) {
        CardBuilder card;
        card.CardNumber(c.number);
        EXPECT_EQ(CardHolderPesel(card.Image()), c.pesel) << c.number;
        EXPECT_EQ(CardNumber(card.Image()), FixedText(std::string(c.number))) << c.number;
    }
}

TEST(FieldReaders, ReadersTakeTheImageGiven)
{
    CardBuilder card;
    card.Surname("Nowak").FirstNames("Adam Piotr").CardNumber("D7505171234501").DrivingLicence(0x28, "PL123/45");
    CardImage.fill(0);
    EXPECT_EQ(CardHolderSurname(card.Image()), "Nowak");
    EXPECT_EQ(CardHolderFirstNames(card.Image()), "Adam Piotr");
    EXPECT_EQ(CardHolderPesel(card.Image()), "75051712345");
    EXPECT_EQ(DrivingLicenceNumber(card.Image()), "PL123/45");
    EXPECT_EQ(CardHolderSurname(CardImage), "");
}

TEST(FieldReaders, BigEndian)
{
    const std::uint8_t word[] = {0x35, 0xD0};
    EXPECT_EQ(ReadWordBE(word[0], word[1]), 13776);
    EXPECT_EQ(ReadWordBE(word), 13776);
    const std::uint8_t u24[] = {0x01, 0x00, 0x00};
    EXPECT_EQ(ReadUint24BE(u24), 65536u);
    const std::uint8_t big[] = {0xFF, 0xFE, 0xFD, 0xFC};
    EXPECT_EQ(ReadWordBE(big), 0xFFFE);
    EXPECT_EQ(ReadUint24BE(big), 0xFFFEFDu);
    EXPECT_EQ(ReadUint32BE(big), 0xFFFEFDFCu);
    // Short spans read nothing instead of reading past them.
    EXPECT_EQ(ReadWordBE(std::span(big, 1)), 0);
    EXPECT_EQ(ReadUint24BE(std::span(big, 2)), 0u);
    EXPECT_EQ(ReadUint32BE(std::span(big, 3)), 0u);
}

TEST(CheckedCounts, ClampedToTheirSlots)
{
    struct Case {
        std::uint8_t events, faults;
        std::uint16_t activity, vehicles;
        std::uint8_t places;
        std::size_t eEvents, eFaults, eActivity, eVehicles, ePlaces;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {6, 12, 5000, 84, 84, 6, 12, 5000, 84, 84},
        {12, 24, 13776, 200, 112, 12, 24, 13776, 200, 112},
        {13, 25, 13777, 201, 113, 12, 24, 13776, 200, 112},
        {255, 255, 65535, 65535, 255, 12, 24, 13776, 200, 112},
    };
    for (const Case& c : cases) {
        CardBuilder card;
        card.Counts(c.events, c.faults, c.activity, c.vehicles, c.places);
        const auto& img = card.Image();
        SCOPED_TRACE(c.activity);
        EXPECT_EQ(NoOfEventsPerType(img), c.eEvents);
        EXPECT_EQ(NoOfFaultsPerType(img), c.eFaults);
        EXPECT_EQ(ActivityStructureLength(img), c.eActivity);
        EXPECT_EQ(VehicleRecordCount(img), c.eVehicles);
        EXPECT_EQ(PlaceRecordCount(img), c.ePlaces);
    }
}

TEST(CheckedCounts, PointersInsideTheirArea)
{
    struct Case {
        std::uint16_t ringLength, oldest, newest;
        bool oldestValid, newestValid;
    };
    const Case cases[] = {
        {13776, 0, 13775, true, true},      {13776, 13776, 65535, false, false},
        {100, 99, 100, true, false},        {0, 0, 0, false, false},  // an empty ring has no records
        {65535, 13775, 13776, true, false},                           // a declared length beyond the slot is cut
    };
    for (const Case& c : cases) {
        CardBuilder card;
        card.Counts(12, 24, c.ringLength, 200, 112).ActivityPointers(c.oldest, c.newest);
        SCOPED_TRACE(std::to_string(c.ringLength) + " " + std::to_string(c.oldest) + " " + std::to_string(c.newest));
        const auto oldest = ActivityPointerOldestDayRecord(card.Image());
        const auto newest = ActivityPointerNewestRecord(card.Image());
        ASSERT_EQ(oldest.has_value(), c.oldestValid);
        ASSERT_EQ(newest.has_value(), c.newestValid);
        if (oldest) {
            EXPECT_EQ(*oldest, c.oldest);
        }
        if (newest) {
            EXPECT_EQ(*newest, c.newest);
        }
    }

    struct Index {
        std::uint16_t raw;
        std::size_t vehicle;
        std::size_t place;
    };
    const Index indexes[] = {{0, 0, 0},       {111, 111, 111}, {112, 112, 111},
                             {199, 199, 111}, {255, 199, 111}, {65535, 199, 111}};
    for (const Index& i : indexes) {
        CardBuilder card;
        card.VehiclePointer(i.raw).PlacePointer(static_cast<std::uint8_t>(std::min<int>(i.raw, 255)));
        EXPECT_EQ(VehiclePointerNewestRecord(card.Image()), i.vehicle) << i.raw;
        EXPECT_EQ(PlacePointerNewestRecord(card.Image()), i.place) << i.raw;
    }
}

TEST(CheckedCounts, RecordSpansStayInTheirSlot)
{
    CardBuilder card;
    card.Vehicle(199, {.odometerBegin = 70000, .registration = "WX 12345"}).Place(111, {.odometer = 1234});
    const auto last = VehicleRecord(card.Image(), 199);
    ASSERT_EQ(last.size(), kVehicleRecordSize);
    EXPECT_EQ(last.data(), card.Image().data() + 17305 + 199 * 31);
    EXPECT_EQ(ReadUint24BE(last), 70000u);
    EXPECT_EQ(FixedText(last.subspan(16, 13)), "WX 12345");
    EXPECT_TRUE(VehicleRecord(card.Image(), 200).empty());
    const auto place = PlaceRecord(card.Image(), 111);
    ASSERT_EQ(place.size(), kPlaceRecordSize);
    EXPECT_EQ(ReadUint24BE(place.subspan(7)), 1234u);
    EXPECT_TRUE(PlaceRecord(card.Image(), 112).empty());
    EXPECT_TRUE(ImageField(card.Image(), kCardImageSize, 1).empty());
    EXPECT_EQ(ImageField(card.Image(), kCardImageSize - 2, 10).size(), 2u);
}
