// Splay-tree coder: bits fill each byte from its lowest bit; 1 is the right child.
#include "report/output/page_compress.h"

#include <algorithm>

namespace report::output {
namespace {

constexpr std::size_t kBufferSize = 65'536;
constexpr int kLeafBase = 256;

}  // namespace

TRpCompress::TRpCompress(TRpStream& stream, bool compress, std::int64_t codedBytes)
    : stream_(stream), compressing_(compress), bitIndex_(compress ? 0 : 7)
{
    for (int i = 1; i <= 512; ++i)
        up_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i - 1) / 2);
    for (int i = 0; i < 256; ++i) {
        left_[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(2 * i + 1);
        right_[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(2 * i + 2);
    }
    if (compress) {
        buffer_.reserve(kBufferSize);
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

void TRpCompress::PutBit(bool bit)
{
    if (bit)
        outputByte_ = static_cast<std::uint16_t>(outputByte_ | (1u << bitIndex_));
    if (bitIndex_ == 7) {
        buffer_.push_back(static_cast<char>(outputByte_ & 0xFF));
        bitIndex_ = 0;
        outputByte_ = 0;
        if (buffer_.size() >= kBufferSize)
            (void)FlushOutput();
    } else {
        ++bitIndex_;
    }
}

void TRpCompress::Encode(std::uint8_t byte)
{
    // The path from the leaf up to the root, then emitted from the root down. A path has at
    // most 256 steps: every internal node lies on it at most once.
    std::array<bool, 257> path;
    std::size_t length = 0;
    int a = byte + kLeafBase;
    do {
        const int c = up_[static_cast<std::size_t>(a)];
        path[length++] = right_[static_cast<std::size_t>(c)] == a;
        a = c;
    } while (a != 0);
    while (length > 0)
        PutBit(path[--length]);
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
    int a = 0;
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
        const auto node = static_cast<std::size_t>(a);
        a = (inputByte_ >> bitIndex_) & 1 ? right_[node] : left_[node];
    } while (a < kLeafBase);
    const int byte = a - kLeafBase;
    Splay(byte);
    return static_cast<std::uint8_t>(byte);
}

void TRpCompress::Splay(int byte)
{
    int a = byte + kLeafBase;
    do {
        const int c = up_[static_cast<std::size_t>(a)];
        if (c != 0) {
            const auto cu = static_cast<std::size_t>(c);
            const auto d = static_cast<std::size_t>(up_[cu]);
            int s = left_[d];
            if (c == s) {
                s = right_[d];
                right_[d] = static_cast<std::uint16_t>(a);
            } else {
                left_[d] = static_cast<std::uint16_t>(a);
            }
            if (left_[cu] == a)
                left_[cu] = static_cast<std::uint16_t>(s);
            else
                right_[cu] = static_cast<std::uint16_t>(s);
            up_[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(d);
            up_[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(c);
            a = static_cast<int>(d);
        } else {
            a = 0;
        }
    } while (a != 0);
}

bool TRpCompress::FlushOutput()
{
    if (!buffer_.empty() && !failed_) {
        const auto size = static_cast<std::int64_t>(buffer_.size());
        failed_ = stream_.Write(buffer_.data(), size) != size;
    }
    buffer_.clear();
    return !failed_;
}

bool TRpCompress::Finish()
{
    if (!compressing_ || finished_)
        return !failed_;
    finished_ = true;
    if (bitIndex_ != 0)
        buffer_.push_back(static_cast<char>(outputByte_ & 0xFF));
    return FlushOutput();
}

}  // namespace report::output
