// The ".KK1" file format: the card image's files as data blocks in the card download file's
// block format, without signatures, Card_Download and Current_Usage included.
#pragma once

#include "tacho/card_image.h"
#include "tacho/ddd_block.h"

#include <string>

namespace tacho {

// The 15 data blocks. False, with `error` and the blocks before it in `out`, when a count
// asks for more bytes than its slot holds.
[[nodiscard]] bool BuildKk1FileBytes(const CardImageData& image, ByteBuffer& out, std::string& error);

}  // namespace tacho
