// The data and signature blocks that the card download and ".KK1" writers take from a card
// image and its signature area.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_block.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tacho {

// Length of the data block of slot `efSlot`: the body size, or for events, faults,
// activities, vehicles and places the length the counts of Application_Identification
// give. The counts are taken as the image holds them, so the result may exceed the body.
std::size_t DataBlockLength(const CardImageData& image, std::size_t efSlot);

// Appends the data block of slot `efSlot` under `fileId`. False, with a Polish `error` and
// nothing appended, when the counts ask for more bytes than the slot holds.
[[nodiscard]] bool AppendDataBlock(ByteBuffer& out, const CardImageData& image, std::uint16_t fileId,
                                   std::size_t efSlot, std::string& error);

// Appends the 128-byte signature block of slot `efSlot` (a signed file). False, with the
// error "Brak podpisów w danych" and nothing appended, when its validity byte is not 1.
[[nodiscard]] bool AppendSignatureBlock(ByteBuffer& out, const SignatureAreaData& signatures, std::size_t efSlot,
                                        std::string& error);

// Four upper-case hex digits of a file identifier, e.g. "C100".
std::string FileIdText(std::uint16_t fileId);

}  // namespace tacho
