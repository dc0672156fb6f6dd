// Loads a JPEG file into a picture.
#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>

namespace utility {

// Largest picture LoadJpegFile decodes, in pixels (width x height): room for a banner, not
// for a poster whose decoding would hold the window for seconds.
inline constexpr long long kMaxJpegPixels = 4'000'000;
// Most scans LoadJpegFile reads; a progressive picture needs about ten.
inline constexpr int kMaxJpegScans = 40;
// Largest file LoadJpegFile reads, in bytes.
inline constexpr std::uintmax_t kMaxJpegFileBytes = 16 * 1024 * 1024;

// Decodes the JPEG file into `destination` (RGB). False when the file cannot be read, is
// larger than kMaxJpegFileBytes, is not a JPEG, is damaged or truncated, has more than
// `maxPixels` pixels or more than kMaxJpegScans scans; then `destination` is left as it was.
// A file cut short counts as damaged even when only its end marker is missing, and so does
// an arithmetic-coded scan that holds no coded byte at all.
[[nodiscard]] bool LoadJpegFile(QImage& destination, const std::filesystem::path& fileName,
                                long long maxPixels = kMaxJpegPixels);

}  // namespace utility
