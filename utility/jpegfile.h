// Loads a JPEG file into a picture.
#pragma once

#include <QImage>
#include <filesystem>

namespace utility {

// Largest picture LoadJpegFile decodes, in pixels (width x height).
inline constexpr long long kMaxJpegPixels = 40'000'000;

// Decodes the JPEG file into `destination` (RGB). False when the file cannot be read, is
// not a JPEG, is damaged or truncated, or has more than `maxPixels` pixels; then
// `destination` is left as it was. A file cut short counts as damaged even when only its
// end marker is missing.
[[nodiscard]] bool LoadJpegFile(QImage& destination, const std::filesystem::path& fileName,
                                long long maxPixels = kMaxJpegPixels);

} // namespace utility
