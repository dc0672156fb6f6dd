// The ZOLT record: the card image in the field order of the companion decoder's files,
// and the conversions between the two.
#pragma once

#include "tacho/card_image.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tacho {

inline constexpr std::size_t kCardImageD7Size = 24'988;
using CardImageD7 = std::array<std::uint8_t, kCardImageD7Size>;

// One piece of the record: `length` bytes at `record` copied from the card image at `image`.
struct D7Piece {
    std::size_t record;
    std::size_t length;
    std::size_t image;
};

inline constexpr std::array<D7Piece, 25> kD7Pieces = {{
    {0, 26, 0},               // slot 0 (EF ICC)
    {26, 9, 26},              // slot 1 (EF IC)
    {37, 1, 437},             // cardIssuingMemberState
    {38, 4, 574},             // cardHolderBirthDate
    {42, 11, 35},             // slot 2 (Application_Identification)
    {53, 16, 438},            // cardNumber
    {69, 195, 46},            // slot 3 (Card_Certificate)
    {264, 36, 454},           // cardIssuingAuthorityName with its code-page byte
    {300, 195, 241},          // slot 4 (CA_Certificate)
    {495, 4, 490},            // cardIssueDate
    {499, 5, 580},            // slot 6 (Card_Download)
    {504, 4, 494},            // cardValidityBegin
    {508, 4, 498},            // cardExpiryDate
    {512, 54, 585},           // slot 7 (Driving_Licence_Info)
    {566, 36, 502},           // holderSurname with its code-page byte
    {602, 36, 538},           // holderFirstNames with its code-page byte
    {638, 1'729, 639},        // slot 8 (Events_Data)
    {2'368, 1'153, 2'368},    // slot 9 (Faults_Data)
    {3'528, 13'781, 3'521},   // slot 10 (Driver_Activity_Data)
    {17'310, 6'203, 17'302},  // slot 11 (Vehicles_Used)
    {23'513, 1'122, 23'505},  // slot 12 (Places)
    {24'635, 20, 24'627},     // slot 13 (Current_Usage)
    {24'655, 2, 578},         // cardHolderPreferredLanguage
    {24'657, 47, 24'647},     // slot 14 (Control_Activity_Data)
    {24'704, 281, 24'694},    // slot 15 (Specific_Conditions)
}};

// Card image byte that the record has no place for (slot 5's reserved byte).
inline constexpr std::size_t kD7UnkeptImageByte = 436;

namespace detail {
// The pieces lie in record order without overlap, and every card image byte but one is
// covered exactly once.
constexpr bool D7PiecesConsistent()
{
    std::size_t end = 0;
    std::array<std::uint8_t, kCardImageSize> covered{};
    for (const D7Piece& p : kD7Pieces) {
        if (p.record < end || p.record + p.length > kCardImageD7Size || p.image + p.length > kCardImageSize)
            return false;
        end = p.record + p.length;
        for (std::size_t i = 0; i < p.length; ++i)
            ++covered[p.image + i];
    }
    for (std::size_t i = 0; i < kCardImageSize; ++i)
        if (covered[i] != (i == kD7UnkeptImageByte ? 0 : 1))
            return false;
    return true;
}
}  // namespace detail

static_assert(detail::D7PiecesConsistent(), "ZOLT pieces must keep every card image byte but one");

// Converts the whole card image into `record`; every filler byte holds one value drawn at
// random for the record.
void CardImageToD7(const CardImageData& image, CardImageD7& record);
// The same with the filler value given.
void CardImageToD7(const CardImageData& image, CardImageD7& record, std::uint8_t filler);
// Converts the whole record back; the card image byte without a place and the fillers are 0
// and ignored.
void CardImageFromD7(const CardImageD7& record, CardImageData& image);

// Folder of the ZOLT record files, ending in the native separator: the settings value "katZOLT"
// when it names a folder that exists or can be created, otherwise "Pliki_ZOLT" in the
// program's folder, created when missing (returned even when that fails). The settings are
// only read.
std::filesystem::path GetZoltFolder();

}  // namespace tacho
