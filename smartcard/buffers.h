// Growable byte buffers of the card layer: the plain buffer, command APDUs and answer APDUs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace smartcard {

// A byte buffer whose data is always followed by one NUL byte. Invariant: 0 <= length <= capacity.
class TBuffer {
public:
    TBuffer();
    virtual ~TBuffer() = default;
    TBuffer(const TBuffer&) = default;
    TBuffer& operator=(const TBuffer&) = default;

    int Capacity() const { return capacity_; }
    int Length() const { return length_; }
    const unsigned char* Data() const { return data_.data(); }
    unsigned char* Data() { return data_.data(); }

    // n in 1..capacity keeps everything; otherwise the capacity becomes |n| (a negative n
    // sets it exactly). The length is clamped to the new capacity.
    void SetCapacity(int n);
    // n in 0..capacity sets the length; otherwise (always for a negative n) capacity and
    // length both become |n|. Bytes that stay keep their values.
    void SetLength(int n);
    // std::out_of_range "Index out of bounds" outside 0..length-1.
    unsigned char GetByte(int i) const;
    virtual void SetByte(int i, unsigned char b);
    // Nothing for count < 1 or index < 0; the length grows to index + count when needed.
    void WriteAt(const unsigned char* source, int index, int count);
    // Copies up to `count` bytes from `index` (never past the end) into `dest`; returns the
    // number copied (0 for count < 1, index < 0 or index >= length).
    int ReadAt(unsigned char* dest, int index, int count) const;
    void Assign(const TBuffer& other);

    // The bytes of the hex text written from `index`; the length becomes index + their
    // number. Bad hex: std::invalid_argument "Invalid hex block:'<text>'", length 0.
    void LoadHex(int index, std::string_view text);
    // The hex text as given (not normalized), at most `count` bytes from `index` (no limit
    // for a negative count); the length grows only when written past. Nothing for index < 0.
    void LoadHexAt(int index, int count, std::string_view text);
    // Bytes from `index` to the end as hex pairs joined by one blank.
    std::string SaveHex(int index) const;

private:
    void Reallocate(std::int64_t size);
    // Writes the groups of `digits` (hex digits, blanks, commas, "|") from `index`,
    // at most `limit` bytes when limit >= 0; returns the bytes written.
    int WriteHexGroups(int index, int limit, std::string_view digits, std::string_view original);

    int capacity_ = 0;
    int length_ = 0;
    std::vector<unsigned char> data_;
};

// CLA | INS << 8 | P1 << 16 | P2 << 24.
std::uint32_t PackApduHeader(unsigned char cla, unsigned char ins, unsigned char p1, unsigned char p2);

// A command APDU: created with the four header bytes CLA, INS, P1, P2 all 0.
class TCommandAPDUBuffer : public TBuffer {
public:
    TCommandAPDUBuffer();
    void SetBytes(const std::vector<unsigned char>& bytes);
    // Bytes 0..3 from a PackApduHeader value.
    void SetHeader(std::uint32_t packed);
};

// An answer APDU: SW1 and SW2 are its last two bytes.
class TAnswerAPDUBuffer : public TBuffer {
public:
    // Byte at length - n; std::out_of_range like GetByte.
    unsigned char ByteFromEnd(int n) const;
    // SW1 * 256 + SW2; std::out_of_range for an answer shorter than two bytes.
    int SW() const;
};

}  // namespace smartcard
