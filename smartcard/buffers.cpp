#include "smartcard/buffers.h"

#include "smartcard/hextext.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace smartcard {
namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<int>::max() - 1;

std::int64_t Magnitude(int n) { return std::min<std::int64_t>(n < 0 ? -static_cast<std::int64_t>(n) : n, kMaxSize); }

bool IsHexSeparator(char c) { return c == ' ' || c == ',' || c == '|'; }

}  // namespace

TBuffer::TBuffer() : data_(1, 0) {}

void TBuffer::Reallocate(std::int64_t size)
{
    data_.resize(static_cast<std::size_t>(size) + 1, 0);
    capacity_ = static_cast<int>(size);
}

void TBuffer::SetCapacity(int n)
{
    if (n > 0 && n <= capacity_)
        return;
    Reallocate(Magnitude(n));
    // Shrinking below the length would break the NUL after the data.
    length_ = std::min(length_, capacity_);
    data_[static_cast<std::size_t>(length_)] = 0;
}

void TBuffer::SetLength(int n)
{
    if (n >= 0 && n <= capacity_) {
        length_ = n;
    } else {
        Reallocate(Magnitude(n));
        length_ = capacity_;
    }
    data_[static_cast<std::size_t>(length_)] = 0;
}

unsigned char TBuffer::GetByte(int i) const
{
    if (i < 0 || i >= length_)
        throw std::out_of_range("Index out of bounds");
    return data_[static_cast<std::size_t>(i)];
}

void TBuffer::SetByte(int i, unsigned char b)
{
    if (i < 0 || i >= length_)
        throw std::out_of_range("Index out of bounds");
    data_[static_cast<std::size_t>(i)] = b;
}

void TBuffer::WriteAt(const unsigned char* source, int index, int count)
{
    if (count < 1 || index < 0 || !source)
        return;
    const std::int64_t end = static_cast<std::int64_t>(index) + count;
    if (end > kMaxSize)
        throw std::length_error("Buffer too large");
    if (end > length_)
        SetLength(static_cast<int>(end));
    std::memmove(data_.data() + index, source, static_cast<std::size_t>(count));
}

int TBuffer::ReadAt(unsigned char* dest, int index, int count) const
{
    if (count < 1 || index < 0 || index >= length_ || !dest)
        return 0;
    const int n = std::min(count, length_ - index);
    std::memcpy(dest, data_.data() + index, static_cast<std::size_t>(n));
    return n;
}

void TBuffer::Assign(const TBuffer& other)
{
    if (this == &other)
        return;
    capacity_ = other.capacity_;
    length_ = other.length_;
    data_ = other.data_;
}

int TBuffer::WriteHexGroups(int index, int limit, std::string_view digits, std::string_view original)
{
    int written = 0;
    std::string group;
    const auto flush = [&] {
        for (std::size_t i = 0; i < group.size(); i += 2) {
            if (limit >= 0 && written >= limit)
                break;
            const int high = HexDigitValue(group[i]);
            const unsigned char value = i + 1 < group.size()
                                            ? static_cast<unsigned char>(high * 16 + HexDigitValue(group[i + 1]))
                                            : static_cast<unsigned char>(high);
            WriteAt(&value, index + written, 1);
            ++written;
        }
        group.clear();
    };
    for (char c : digits) {
        if (IsHexDigit(c)) {
            group += c;
            continue;
        }
        if (!IsHexSeparator(c)) {
            SetLength(0);
            throw std::invalid_argument("Invalid hex block:'" + std::string(original) + "'");
        }
        flush();
    }
    flush();
    return written;
}

void TBuffer::LoadHex(int index, std::string_view text)
{
    if (index < 0)
        return;
    const std::string digits = NormalizeHexText(text);
    const std::int64_t wanted = static_cast<std::int64_t>(index) + 1 + static_cast<std::int64_t>(text.size() / 2);
    if (wanted > capacity_)
        SetCapacity(static_cast<int>(std::min(wanted, kMaxSize)));
    if (text.empty()) {
        SetLength(index);
        return;
    }
    const int written = WriteHexGroups(index, -1, digits, text);
    SetLength(-(index + written));
}

void TBuffer::LoadHexAt(int index, int count, std::string_view text)
{
    if (index < 0)
        return;
    (void)WriteHexGroups(index, count, text, text);
}

std::string TBuffer::SaveHex(int index) const
{
    if (index < 0 || index >= length_)
        return {};
    return BytesToHex(data_.data() + index, length_ - index);
}

std::uint32_t PackApduHeader(unsigned char cla, unsigned char ins, unsigned char p1, unsigned char p2)
{
    return static_cast<std::uint32_t>(cla) | static_cast<std::uint32_t>(ins) << 8 |
           static_cast<std::uint32_t>(p1) << 16 | static_cast<std::uint32_t>(p2) << 24;
}

TCommandAPDUBuffer::TCommandAPDUBuffer()
{
    SetLength(4);
    std::fill_n(Data(), 4, 0);
}

void TCommandAPDUBuffer::SetBytes(const std::vector<unsigned char>& bytes)
{
    SetLength(static_cast<int>(std::min<std::size_t>(bytes.size(), kMaxSize)));
    for (int i = 0; i < Length(); ++i)
        SetByte(i, bytes[static_cast<std::size_t>(i)]);
}

void TCommandAPDUBuffer::SetHeader(std::uint32_t packed)
{
    if (Length() < 4)
        SetLength(4);
    for (int i = 0; i < 4; ++i)
        SetByte(i, static_cast<unsigned char>(packed >> (8 * i)));
}

unsigned char TAnswerAPDUBuffer::ByteFromEnd(int n) const { return GetByte(Length() - n); }

int TAnswerAPDUBuffer::SW() const { return ByteFromEnd(2) * 256 + ByteFromEnd(1); }

}  // namespace smartcard
