// The two coders behind PDF pictures: LZW as PDF's LZWDecode filter reads it (default
// EarlyChange 1) and ASCII85 text, plus the LZW decoder, whole or piece by piece. Byte buffers
// are std::string.
#pragma once

#include <memory>
#include <span>
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

// The same decoding a piece at a time, straight into the caller's memory, so that a stream
// whose bytes are read as they come needs no buffer of them all.
class LzwDecoder {
public:
    // `input` must outlive the decoder.
    explicit LzwDecoder(std::string_view input);
    ~LzwDecoder();
    LzwDecoder(const LzwDecoder&) = delete;
    LzwDecoder& operator=(const LzwDecoder&) = delete;

    // Decodes the next bytes into `out`: how many; fewer than out.size() only at the end code
    // or where the stream is broken (Error() then says how).
    std::size_t Read(std::span<char> out);
    // The end code has been read and every byte before it handed out.
    [[nodiscard]] bool AtEnd() const;
    // Null while the stream is sound; else LZWDecode's message for it.
    [[nodiscard]] const char* Error() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Replaces `output` with the ASCII85 text of `input`: "z" for a whole group of four zero
// bytes, CR LF once a line holds more than 200 characters' worth of groups, "~>" at the end.
void ASCII85Encode(std::string_view input, std::string& output);

}  // namespace report::output
