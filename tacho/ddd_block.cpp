#include "tacho/ddd_block.h"

#include <cassert>
#include <limits>

namespace tacho {

void WriteDddWord(ByteBuffer& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void AppendBlockHeader(ByteBuffer& out, const DddBlockHeader& header)
{
    WriteDddWord(out, header.fileId);
    out.push_back(header.blockType);
    WriteDddWord(out, header.length);
}

void AppendBlock(ByteBuffer& out, std::uint16_t fileId, std::uint8_t blockType, std::span<const std::uint8_t> bytes)
{
    assert(bytes.size() <= std::numeric_limits<std::uint16_t>::max());
    AppendBlockHeader(out, {fileId, blockType, static_cast<std::uint16_t>(bytes.size())});
    out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace tacho
