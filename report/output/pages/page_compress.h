// An adaptive splay-tree prefix coder of bytes (semi-splaying, one code tree per coder), used
// to store report pages compressed. Coder and decoder start from the same tree and splay after
// every byte, so a page is decoded by a fresh coder over the code a fresh coder wrote. The
// code has no end mark: the caller keeps the byte count.
#pragma once

#include "report/output/pages/page_stream.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace report::output {

class TRpCompress {
public:
    // Coding (`compress` true) writes the code at the stream's position; the code is gathered
    // in a buffer and written in large pieces. Decoding reads the code from the stream's
    // position, at most `codedBytes` bytes (negative: up to the stream's end).
    TRpCompress(TRpStream& stream, bool compress, std::int64_t codedBytes = -1);
    // Coding: writes what Finish would; a failure is lost here, so callers call Finish.
    ~TRpCompress();
    TRpCompress(const TRpCompress&) = delete;
    TRpCompress& operator=(const TRpCompress&) = delete;

    // Codes one byte; ignored by a decoder and after Finish.
    void Encode(std::uint8_t byte);
    // The next byte; nullopt once the coded bytes are used up or the stream cannot be read.
    [[nodiscard]] std::optional<std::uint8_t> Decode();
    // Coding: writes the code still buffered and the partly filled last byte (its free high bits
    // zero). False when the stream took fewer bytes. Later calls do nothing.
    [[nodiscard]] bool Finish();

    // Bytes of code read so far while decoding.
    [[nodiscard]] std::int64_t CodedBytesRead() const { return codedRead_; }

private:
    void Splay(int byte);
    bool NextInputByte();
    bool FlushOutput();

    TRpStream& stream_;
    bool compressing_;
    bool finished_ = false;
    bool failed_ = false;
    int bitIndex_;
    std::uint16_t inputByte_ = 0;
    std::uint16_t outputByte_ = 0;
    // The children of the internal nodes 0..255 ([0] left, [1] right: the bit that leads
    // there), and the parent of every node 0..512; node 0 is the root, byte b is leaf b + 256.
    std::array<std::array<std::uint16_t, 2>, 256> child_{};
    std::array<std::uint8_t, 513> up_{};

    std::string buffer_;          // code waiting to be written, or read ahead while decoding
    std::size_t bufferPos_ = 0;   // bytes used of buffer_
    std::int64_t codedLeft_ = 0;  // code still unread in the stream (decoding)
    std::int64_t codedRead_ = 0;
};

}  // namespace report::output
