// The two coders behind PDF pictures: LZW as PDF's LZWDecode filter reads it (default
// EarlyChange 1) and ASCII85 text, plus the LZW decoder. Byte buffers are std::string.
#pragma once

#include <string>
#include <string_view>

namespace report::output {

// Appends the LZW code of `input` to `output`: codes of 9 to 12 bits, most significant bit
// first, starting with a clear code (256) and ending with the end code (257) and zero bits up
// to the next byte. A full table (next free code 4096) is cleared with a 12-bit clear code.
void LZWEncode(std::string_view input, std::string& output);

// Appends the decoded bytes of an LZW code stream, up to its end code, to `output`.
// Throws std::runtime_error "LZWDecode: End of stream" when the input ends before the end
// code, and "LZWDecode: code>=idxCodeTable" for a code that names no entry yet or that would
// need a table entry beyond the 4096th (no clear code in time); `output` is then unchanged.
void LZWDecode(std::string_view input, std::string& output);

// Replaces `output` with the ASCII85 text of `input`: "z" for a whole group of four zero
// bytes, CR LF once a line holds more than 200 characters' worth of groups, "~>" at the end.
void ASCII85Encode(std::string_view input, std::string& output);

}  // namespace report::output
