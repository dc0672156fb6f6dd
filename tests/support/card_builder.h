// Builder of synthetic card images for tests. Every setter writes the card's own encoding
// (big-endian numbers, TimeReal seconds, code-page byte before names) into a zeroed image.
//
//   testsupport::CardBuilder card;                 // counts at their largest
//   card.Surname("Kowalski", 2).FirstNames("Jan", 2).CardNumber("D8001011234500")
//       .Day(testsupport::TimeReal(2011, 5, 17), 0x0123, 250,
//            {testsupport::ChangeWord(0, 0, 0, 3, 6 * 60)});
//   tacho::CardImage = card.Image();
#pragma once

#include "tacho/card_image.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace testsupport {

// Seconds since 1970-01-01 00:00 of a date and time (TimeReal).
std::uint32_t TimeReal(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// One ActivityChangeInfo word: slot (0 driver, 1 co-driver), crew (0 single, 1 crew),
// cardOut (0 inserted, 1 not inserted), activity 0..3, minutes since midnight 0..2047.
std::uint16_t ChangeWord(int slot, int crew, int cardOut, int activity, int minutes);

struct VehicleSpec {
    std::uint32_t odometerBegin = 0;  // km, 24 bits
    std::uint32_t odometerEnd = 0;
    std::uint32_t firstUse = 0;  // TimeReal
    std::uint32_t lastUse = 0;
    std::uint8_t nation = 0;  // NationNumeric
    std::uint8_t codePage = 1;
    std::string_view registration;  // up to 13 characters, blank-padded
    std::uint16_t blockCounter = 0;
};

struct PlaceSpec {
    std::uint32_t entryTime = 0;  // TimeReal
    std::uint8_t entryType = 0;
    std::uint8_t country = 0;
    std::uint8_t region = 0;
    std::uint32_t odometer = 0;  // km, 24 bits
};

class CardBuilder {
public:
    // A zero image whose Application_Identification declares the largest counts
    // (12 events, 24 faults, 13,776 activity bytes, 200 vehicles, 112 places).
    CardBuilder();

    // Application_Identification counts, written as given (no clamping, to model damage).
    CardBuilder& Counts(std::uint8_t events, std::uint8_t faults, std::uint16_t activityLength, std::uint16_t vehicles,
                        std::uint8_t places);

    // Name fields: code-page byte and up to 35 bytes (card bytes as given), blank-padded.
    CardBuilder& Surname(std::string_view bytes, std::uint8_t codePage = 1);
    CardBuilder& FirstNames(std::string_view bytes, std::uint8_t codePage = 1);
    CardBuilder& IssuingAuthority(std::string_view bytes, std::uint8_t codePage = 1);
    // cardNumber: up to 16 characters (14 of driverIdentification, replacement, renewal),
    // blank-padded.
    CardBuilder& CardNumber(std::string_view text);
    CardBuilder& CardDates(std::uint32_t issue, std::uint32_t validityBegin, std::uint32_t expiry);
    // Datef: the four BCD bytes as one number, e.g. 0x19750517.
    CardBuilder& BirthDate(std::uint32_t datef);
    CardBuilder& DrivingLicence(std::uint8_t nation, std::string_view number);

    // Activity ring. Days are appended one after the other from `RingStart` (0 unless set),
    // wrapping at the declared activity length; the first day becomes the oldest, each new
    // day the newest, and each record's previous-length field is filled.
    CardBuilder& RingStart(std::uint16_t offset);
    // A day record of 12 + 2 x changes bytes; `presenceCounter` is stored as given (BCD).
    CardBuilder& Day(std::uint32_t midnight, std::uint16_t presenceCounter, std::uint16_t distance,
                     std::initializer_list<std::uint16_t> changes);
    CardBuilder& Day(std::uint32_t midnight, std::uint16_t presenceCounter, std::uint16_t distance,
                     const std::vector<std::uint16_t>& changes);
    CardBuilder& ActivityPointers(std::uint16_t oldest, std::uint16_t newest);
    // Ring offset where the next day would start.
    std::uint16_t RingEnd() const { return ringEnd_; }

    // Record slots 0..199 / 0..111 (asserted in range) and the newest-record pointers.
    CardBuilder& Vehicle(std::size_t index, const VehicleSpec& vehicle);
    CardBuilder& VehiclePointer(std::uint16_t newest);
    CardBuilder& Place(std::size_t index, const PlaceSpec& place);
    CardBuilder& PlacePointer(std::uint8_t newest);

    // CardEventRecord / CardFaultRecord bytes (24 each) in group 0..5 / 0..1, record 0..11 / 0..23.
    CardBuilder& Event(std::size_t group, std::size_t index, std::span<const std::uint8_t> record24);
    CardBuilder& Fault(std::size_t group, std::size_t index, std::span<const std::uint8_t> record24);

    // Raw access for cases the setters do not cover.
    CardBuilder& Bytes(std::size_t offset, std::span<const std::uint8_t> bytes);
    CardBuilder& WordBE(std::size_t offset, std::uint16_t value);
    CardBuilder& Byte(std::size_t offset, std::uint8_t value);

    const tacho::CardImageData& Image() const { return image_; }
    tacho::CardImageData& Image() { return image_; }

private:
    void Text(std::size_t offset, std::size_t width, std::string_view bytes);
    void Uint24(std::size_t offset, std::uint32_t value);
    void Uint32(std::size_t offset, std::uint32_t value);
    std::uint16_t RingLength() const;

    tacho::CardImageData image_{};
    bool haveDay_ = false;
    std::uint16_t ringEnd_ = 0;
    std::uint16_t lastLength_ = 0;
};

}  // namespace testsupport
