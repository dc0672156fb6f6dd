// The block format of card download (".DDD") and ".KK1" files: a 5-byte header (file
// identifier, block type, length; numbers high byte first) followed by `length` bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tacho {

using ByteBuffer = std::vector<std::uint8_t>;

inline constexpr std::size_t kDddBlockHeaderSize = 5;
inline constexpr std::uint8_t kDddDataBlock = 0;
inline constexpr std::uint8_t kDddSignatureBlock = 1;

struct DddBlockHeader {
    std::uint16_t fileId = 0;
    std::uint8_t blockType = kDddDataBlock;
    std::uint16_t length = 0;
};

// The bytes as they go to a file.
inline std::string_view BytesText(const ByteBuffer& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Appends `value` to `out`, high byte first.
void WriteDddWord(ByteBuffer& out, std::uint16_t value);
// Appends the 5 header bytes.
void AppendBlockHeader(ByteBuffer& out, const DddBlockHeader& header);
// Appends a header for `bytes` followed by the bytes; `bytes` must fit a 16-bit length.
void AppendBlock(ByteBuffer& out, std::uint16_t fileId, std::uint8_t blockType, std::span<const std::uint8_t> bytes);

}  // namespace tacho
