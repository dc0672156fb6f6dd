// zlib streams (RFC 1950) of bytes held in memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace report::output {

// `plain` as one zlib stream, at zlib's default level. Throws std::bad_alloc when zlib has no memory.
[[nodiscard]] std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> plain);

// Decodes `coded`, which must be exactly one zlib stream decoding to exactly out.size() bytes,
// into `out`. False for a damaged stream, one that decodes to fewer or more bytes, or bytes
// left after the stream's end; `out` is then partly written. Never writes past `out`.
[[nodiscard]] bool InflateExact(std::span<const std::uint8_t> coded, std::span<std::uint8_t> out);

// The most bytes a zlib stream of `codedSize` bytes can decode to (deflate codes at most 258
// bytes in two bits), so a size claimed before decoding can be checked against it.
[[nodiscard]] constexpr std::uint64_t MostInflatedSize(std::uint64_t codedSize) { return codedSize * 1032; }

}  // namespace report::output
