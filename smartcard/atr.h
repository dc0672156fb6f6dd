// The answer to reset of a card, with an optional mask, kept as bytes and as hex text.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace smartcard {

class TAtr {
public:
    static constexpr int kMaxBytes = 32;

    TAtr() = default;
    void Assign(const TAtr& other) { *this = other; }

    // Takes `count` bytes (at most 32 are kept; the length is clamped to them). A length
    // that differs from the current one drops the mask.
    void SetBytes(const unsigned char* data, int count);

    // Hex text of pairs of 0-9, A-F, a-f, X, x (X counts as 0 and masks the digit out),
    // each pair optionally followed by one "," or "|", blanks around. An invalid text or
    // one of more than 32 pairs is ignored.
    void SetHex(std::string_view text);
    void SetMaskHex(std::string_view text);

    const std::string& Hex() const { return hex_; }
    const std::string& MaskHex() const { return maskHex_; }
    int Length() const { return length_; }
    int MaskLength() const { return maskLength_; }
    const unsigned char* Bytes() const { return bytes_.data(); }
    const unsigned char* Mask() const { return mask_.data(); }

private:
    std::array<unsigned char, kMaxBytes> bytes_{};
    int length_ = 0;
    std::array<unsigned char, kMaxBytes> mask_{};
    int maskLength_ = 0;
    std::string hex_;
    std::string maskHex_;
};

}  // namespace smartcard
