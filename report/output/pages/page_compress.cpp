// Splay-tree coder: bits fill each byte from its lowest bit; 1 is the right child. The tree
// walks index the children by the bit instead of branching on it: on real pages the bits are
// close to random, and a mispredicted branch per bit costs more than the rest of the work.
#include "report/output/pages/page_compress.h"

#include <algorithm>

namespace report::output {
namespace {

constexpr std::size_t kBufferSize = 65'536;
constexpr std::size_t kLongestCode = 256;  // bits: every internal node on the path once
constexpr int kLeafBase = 256;

}  // namespace

TRpCompress::TRpCompress(TRpStream& stream, bool compress, std::int64_t codedBytes)
    : stream_(stream), compressing_(compress), bitIndex_(compress ? 0 : 7)
{
    for (int i = 1; i <= 512; ++i)
        up_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i - 1) / 2);
    for (int i = 0; i < 256; ++i)
        child_[static_cast<std::size_t>(i)] = {static_cast<std::uint16_t>(2 * i + 1),
                                               static_cast<std::uint16_t>(2 * i + 2)};
    if (compress) {
        // Room for one more longest code past the point where the buffer is written out.
        buffer_.resize(kBufferSize + kLongestCode / 8 + 1);
    } else {
        const std::int64_t available = std::max<std::int64_t>(0, stream_.Size() - stream_.Position());
        codedLeft_ = codedBytes < 0 ? available : std::min(codedBytes, available);
    }
}

TRpCompress::~TRpCompress()
{
    if (compressing_)
        (void)Finish();
}

void TRpCompress::Encode(std::uint8_t byte)
{
    if (!compressing_ || finished_)
        return;
    // The path from the leaf up to the root, then emitted from the root down.
    std::array<std::uint8_t, kLongestCode> path;
    std::size_t length = 0;
    unsigned a = byte + kLeafBase;
    do {
        const unsigned c = up_[a];
        path[length++] = child_[c][1] == a;
        a = c;
    } while (a != 0);
    unsigned bit = static_cast<unsigned>(bitIndex_);
    unsigned out = outputByte_;
    char* buffer = buffer_.data();
    while (length > 0) {
        out |= static_cast<unsigned>(path[--length]) << bit;
        if (++bit == 8) {
            buffer[bufferPos_++] = static_cast<char>(out);
            bit = 0;
            out = 0;
        }
    }
    bitIndex_ = static_cast<int>(bit);
    outputByte_ = static_cast<std::uint16_t>(out);
    if (bufferPos_ >= kBufferSize)
        (void)FlushOutput();
    Splay(byte);
}

bool TRpCompress::NextInputByte()
{
    if (bufferPos_ >= buffer_.size()) {
        if (codedLeft_ <= 0 || failed_)
            return false;
        const std::int64_t want = std::min<std::int64_t>(codedLeft_, static_cast<std::int64_t>(kBufferSize));
        buffer_.resize(static_cast<std::size_t>(want));
        const std::int64_t got = stream_.Read(buffer_.data(), want);
        if (got <= 0) {
            failed_ = true;
            buffer_.clear();
            return false;
        }
        buffer_.resize(static_cast<std::size_t>(got));
        bufferPos_ = 0;
        codedLeft_ -= got;
    }
    inputByte_ = static_cast<std::uint8_t>(buffer_[bufferPos_++]);
    ++codedRead_;
    return true;
}

std::optional<std::uint8_t> TRpCompress::Decode()
{
    if (compressing_)
        return std::nullopt;
    unsigned a = 0;
    do {
        if (bitIndex_ == 7) {
            // Past the coded bytes there is nothing to decode: reusing the last byte would
            // turn a damaged count into garbage.
            if (!NextInputByte())
                return std::nullopt;
            bitIndex_ = 0;
        } else {
            ++bitIndex_;
        }
        a = child_[a][(inputByte_ >> bitIndex_) & 1u];
    } while (a < kLeafBase);
    const int byte = static_cast<int>(a) - kLeafBase;
    Splay(byte);
    return static_cast<std::uint8_t>(byte);
}

// Each step swaps the node's pair one level up (the node takes the place of its parent's
// sibling), then goes on from the grandparent.
void TRpCompress::Splay(int byte)
{
    unsigned a = static_cast<unsigned>(byte + kLeafBase);
    unsigned c = up_[a];
    while (c != 0) {
        const unsigned d = up_[c];
        // s: the sibling of c, whose place a takes.
        const unsigned sSide = child_[d][0] == c ? 1 : 0;
        const unsigned s = child_[d][sSide];
        child_[d][sSide] = static_cast<std::uint16_t>(a);
        child_[c][child_[c][0] == a ? 0 : 1] = static_cast<std::uint16_t>(s);
        up_[a] = static_cast<std::uint8_t>(d);
        up_[s] = static_cast<std::uint8_t>(c);
        a = d;
        c = up_[a];
        if (a == 0)
            break;
    }
}

bool TRpCompress::FlushOutput()
{
    if (bufferPos_ > 0 && !failed_) {
        const auto size = static_cast<std::int64_t>(bufferPos_);
        failed_ = stream_.Write(buffer_.data(), size) != size;
    }
    bufferPos_ = 0;
    return !failed_;
}

bool TRpCompress::Finish()
{
    if (!compressing_ || finished_)
        return !failed_;
    finished_ = true;
    if (bitIndex_ != 0)
        buffer_[bufferPos_++] = static_cast<char>(outputByte_ & 0xFF);
    return FlushOutput();
}

}  // namespace report::output
