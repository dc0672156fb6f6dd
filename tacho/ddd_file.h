// The card download file (".DDD") format: the data of the card image's files, each signed
// file followed by its signature from the signature area, in one fixed order.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_block.h"

#include <string>

namespace tacho {

// The 24 blocks of the file. Stops at the first block it cannot write (a count beyond its
// slot, a signature slot whose validity byte is not 1): false, `error` says why, and `out`
// holds the blocks before it.
[[nodiscard]] bool BuildDddFileBytes(const CardImageData& image, const SignatureAreaData& signatures, ByteBuffer& out,
                                     std::string& error);

}  // namespace tacho
