// Loads a card file into a card image. The kind is told by the file's size: raw card
// images of 24,975 and 24,959 bytes, card download files (".DDD") of any other size below
// 30,000 bytes. ZOLT record files are not loaded here (callers tell them by extension).
#pragma once

#include "tacho/card_image.h"

#include <filesystem>
#include <span>

namespace tacho {

inline constexpr std::size_t kOldCardImageSize = 24'959;
inline constexpr std::size_t kCardFileSizeLimit = 30'000;

enum class LoadCardResult : int {
    Loaded = 0,
    NoSuchFile = 1,
    OpenFailed = 2,       // an error box has been shown
    ImageReadFailed = 3,  // a 24,975-byte image could not be read
    OldImageReadFailed = 8,
    TooLarge = 30,     // 30,000 bytes or more
    ParseFailed = 99,  // a card download file whose data block is cut short
};

// Fills `image` from the file `fileName`. `image` is zeroed first and
// holds the file's data only when the result is Loaded; on every other result it is zero.
// `isImageFile` is true when the file was taken as a raw card image.
[[nodiscard]] LoadCardResult LoadCardFile(const std::filesystem::path& fileName, CardImageData& image,
                                          bool& isImageFile);

// One 24,975-byte card image file into `image`; `image` is changed only on success.
[[nodiscard]] bool ReadCardImageFile(const std::filesystem::path& fileName, CardImageData& image);
// One 24,959-byte file of the 16 bodies back to back into the bodies of `image`; the
// reserved bytes are left as they were; `image` is changed only on success.
[[nodiscard]] bool ReadOldCardImageFile(const std::filesystem::path& fileName, CardImageData& image);

// Byte-level forms of the above. Each returns false (leaving `image` as it was) unless
// `bytes` has exactly the format's size.
[[nodiscard]] bool CardImageFromBytes(std::span<const std::uint8_t> bytes, CardImageData& image);
[[nodiscard]] bool OldCardImageFromBytes(std::span<const std::uint8_t> bytes, CardImageData& image);

// Scans the bytes of a card download file into `image` (not cleared here): every data block
// whose identifier names a slot stores its bytes at the slot's body (at most the body's
// size; the excess is skipped); other blocks and the bytes between blocks are passed over.
// False when a data block is cut short by the end of the bytes.
[[nodiscard]] bool ParseDddFile(std::span<const std::uint8_t> bytes, CardImageData& image);

// True when `bytes` start like a card download file of ours: the header of a 25-byte data
// block 0002.
[[nodiscard]] bool StartsWithFirstDddBlock(std::span<const std::uint8_t> bytes);

}  // namespace tacho
